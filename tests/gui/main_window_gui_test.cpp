// The real main window, driven through its widgets as a user would.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

// moc needs none of the tool's own headers (and cannot read the control table).
#ifndef Q_MOC_RUN
#include "app/main_window.h"
#include "app/toolkit/main_window_controls.h"
#include "gui/qt_text.h"
#include "gui/qt_toolkit.h"
#endif

using namespace main_window;

class MainWindowGuiTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<gui::QtToolkit> tk_;

  template <typename W>
  W* Get(toolkit::ControlId control) {
    return qobject_cast<W*>(tk_->Widget(control));
  }
  QPlainTextEdit* Edit(toolkit::ControlId control) { return Get<QPlainTextEdit>(control); }

  void DropFiles(QPlainTextEdit* edit, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QPoint at = edit->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edit->viewport(), &drop);
  }

 private slots:
  void init() {
    tk_ = std::make_unique<gui::QtToolkit>();
    tk_->SetEventHandler([this](toolkit::ControlId control, std::string_view argument) {
      app::HandleMainWindowEvent(*tk_, control, argument);
    });
    tk_->Show();
    app::OnMainWindowCreated(*tk_);
    tk_->SyncAll();
  }
  void cleanup() {
    tk_->WaitForWorkers();
    tk_.reset();
  }

  void windowAsDescribed() {
    QWidget* window = tk_->Window();
    QCOMPARE(window->windowTitle(), QStringLiteral("穹溪文本处理工具 V1"));
    QCOMPARE(window->geometry(), QRect(50, 50, 800, 586));
    auto* tabs = Get<QTabWidget>(选择夹1);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("文本分隔"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("文本合并"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("帮助反馈"));
    for (auto box : {选择框1, 选择框11, 选择框22, 选择框23, 选择框24}) QVERIFY(Get<QCheckBox>(box)->isChecked());
    QVERIFY(!Get<QCheckBox>(选择框2)->isChecked());
    QVERIFY(Get<QRadioButton>(单选框2)->isChecked());
    QVERIFY(!Get<QRadioButton>(单选框1)->isChecked());
    for (auto box : {编辑框_提取_分隔符旧, 编辑框_提取_分隔符新, 编辑框_提取_分隔符旧1, 编辑框_提取_分隔符新1}) {
      QCOMPARE(Get<QLineEdit>(box)->text(), QStringLiteral("----"));
      QCOMPARE(Get<QLineEdit>(box)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }
    QCOMPARE(Edit(编辑框_提取_输入)->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(Get<QLabel>(透明标签10)->styleSheet().contains("underline"));
  }

  void typingAndProcessing() {
    QPlainTextEdit* input = Edit(编辑框_提取_输入);
    input->setFocus();
    QTest::keyClicks(input, "a----b----c");
    QTest::keyClick(input, Qt::Key_Return);
    QTest::keyClicks(input, "d----e");
    QTest::sendKeyEvent(QTest::Click, input, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
    Get<QCheckBox>(选择框2)->click();
    QTest::mouseClick(Get<QPushButton>(按钮4), Qt::LeftButton);
    QTRY_COMPARE(Get<QLabel>(透明标签2)->text(), QStringLiteral("处理完成"));
    QTRY_COMPARE(Edit(编辑框_提取_输出)->toPlainText(), QStringLiteral("a----b\nd----e中\n"));
    QCOMPARE(tk_->ReadControlText(编辑框_提取_输出), gui::FromQString("a----b\r\nd----e中\r\n"));
    QVERIFY(Edit(编辑框_提取_输出)->isEnabled());
  }

  void samplesAndClearThroughTheWindow() {
    QTest::mouseClick(Get<QPushButton>(按钮5), Qt::LeftButton);
    QTRY_COMPARE(Get<QLabel>(透明标签2)->text(), QStringLiteral("处理完成"));
    QTRY_COMPARE(Edit(编辑框_提取_输出)->toPlainText(), QStringLiteral("1----5----7\n1----5----7\n"));
    QVERIFY(Get<QCheckBox>(选择框5)->isChecked());
    QTest::mouseClick(Get<QPushButton>(按钮8), Qt::LeftButton);
    QTRY_COMPARE(Get<QLabel>(透明标签9)->text(), QStringLiteral("处理完成"));
    QTRY_VERIFY(Edit(编辑框_合并_输出1)->toPlainText().startsWith(QStringLiteral("123456----v0fo7ne6----")));
    QCOMPARE(Edit(编辑框_合并_输出1)->blockCount(), 3);  // two lines and the empty one after the last line end
    QTest::mouseClick(Get<QPushButton>(按钮1), Qt::LeftButton);
    QTest::mouseClick(Get<QPushButton>(按钮3), Qt::LeftButton);
    QTest::mouseClick(Get<QPushButton>(按钮11), Qt::LeftButton);
    QTRY_COMPARE(Edit(编辑框_提取_输出)->toPlainText(), QString());
    QTRY_COMPARE(Edit(编辑框_提取_输入)->toPlainText(), QString());
    QTRY_COMPARE(Edit(编辑框_合并_输出1)->toPlainText(), QString());
    QCOMPARE(Get<QLabel>(透明标签2)->text(), QString());
    QCOMPARE(Get<QLabel>(透明标签9)->text(), QStringLiteral("处理完成"));  // the merge's 清空 keeps its status
  }

  void pastedLinuxLinesReadBackAsCrLf() {
    Edit(编辑框_合并_输入1)->insertPlainText(QStringLiteral("x\ny\n"));
    QCOMPARE(tk_->ReadControlText(编辑框_合并_输入1), std::string("x\r\ny\r\n"));
  }

  void aLargePasteGoesToTheBoxInSlices() {
    tk_->WriteControlText(透明标签2, "s");
    QString line = QStringLiteral("人脸----1234567890----abcdefghij\n");
    QString big;
    for (int i = 0; i < 60000; ++i) big += line;  // about 2 million characters
    QGuiApplication::clipboard()->setText(big);
    QPlainTextEdit* input = Edit(编辑框_提取_输入);
    input->setFocus();
    input->paste();
    std::string expected = gui::FromQString(big);
    for (size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2) expected.insert(at, 1, '\r');
    QCOMPARE(tk_->ReadControlText(编辑框_提取_输入), expected);  // at once, in the model
    QCOMPARE(tk_->ReadControlText(透明标签2), std::string());     // a user edit: the status clears
    QTRY_COMPARE_WITH_TIMEOUT(input->blockCount(), 60001, 30000);
  }

  void typingClearsTheExtractionStatus() {
    tk_->WriteControlText(透明标签2, "s");
    tk_->SyncAll();
    QTest::keyClicks(Edit(编辑框_提取_输入), "z");
    QCOMPARE(tk_->ReadControlText(透明标签2), std::string());
  }

  void copyGoesToTheClipboardInThePlatformsForm() {
    tk_->WriteControlText(编辑框_合并_输出1, gui::FromQString("第一\r\n第二\r\n"));
    QTest::mouseClick(Get<QPushButton>(按钮10), Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("第一\n第二\n"));
    tk_->SyncAll();
    QCOMPARE(Get<QLabel>(透明标签9)->text(), QStringLiteral("复制成功"));
  }

  void droppedFilesLoad() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("数据.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF" "人脸----1\r\n");
    file.close();
    QPlainTextEdit* box = Edit(编辑框_合并_输入2);
    DropFiles(box, {QUrl::fromLocalFile(path)});
    QCOMPARE(tk_->ReadControlText(编辑框_合并_输入2), gui::FromQString("人脸----1\r\n"));
    tk_->SyncAll();
    QCOMPARE(box->toPlainText(), QStringLiteral("人脸----1\n"));
    DropFiles(box, {QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)});
    QCOMPARE(tk_->ReadControlText(编辑框_合并_输入2), std::string());
  }

  void longOutputReachesTheWidgetInSlices() {
    std::string line(100, 'x');
    line += "\r\n";
    std::string many;
    for (int i = 0; i < 20000; ++i) many += line;
    tk_->WriteControlText(编辑框_提取_输出, many);  // 2 MB
    QCOMPARE(tk_->ReadControlText(编辑框_提取_输出), many);  // reads see it at once
    QTRY_COMPARE_WITH_TIMEOUT(Edit(编辑框_提取_输出)->blockCount(), 20001, 20000);
    QVERIFY(!Edit(编辑框_提取_输出)->isReadOnly());
  }
};

QTEST_MAIN(MainWindowGuiTest)
#include "main_window_gui_test.moc"
