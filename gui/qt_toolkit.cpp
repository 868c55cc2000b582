#include "gui/qt_toolkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QUrl>

#ifdef QXTXT_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

#include "app/toolkit/main_window_controls.h"
#include "gui/qt_text.h"

namespace gui {

using toolkit::ControlEvent;
using toolkit::ControlId;
using toolkit::ControlKind;
using toolkit::ControlSpec;

namespace {

constexpr int kFrameMs = 16;           // widgets follow the model at screen rate
constexpr qint64 kSliceBudgetMs = 6;   // about the longest a sync may insert text
constexpr size_t kSliceBytes = 16 * 1024;
constexpr qsizetype kLargePaste = 1 << 20;  // characters

// A multi-line edit box that also takes files dropped from the shell.
class FileDropEdit : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  std::function<bool()> accepts_files = [] { return false; };
  std::function<void(std::string_view)> files_dropped;
  // Takes the box's whole new text when a paste is too large for the widget
  // to insert at once; the box then shows it in slices like any long text.
  std::function<void(const QString&)> large_paste;

 protected:
  void insertFromMimeData(const QMimeData* source) override {
    if (!large_paste || !source->hasText() || source->text().size() < kLargePaste) {
      return QPlainTextEdit::insertFromMimeData(source);
    }
    QTextCursor cursor = textCursor();
    QString whole = toPlainText();
    whole.replace(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(), source->text());
    large_paste(whole);
  }
  void dragEnterEvent(QDragEnterEvent* event) override {
    if (!IsFileDrag(event->mimeData())) return QPlainTextEdit::dragEnterEvent(event);
    if (accepts_files()) event->acceptProposedAction(); else event->ignore();
  }
  void dragMoveEvent(QDragMoveEvent* event) override {
    if (!IsFileDrag(event->mimeData())) return QPlainTextEdit::dragMoveEvent(event);
    if (accepts_files()) event->acceptProposedAction(); else event->ignore();
  }
  void dropEvent(QDropEvent* event) override {
    if (!IsFileDrag(event->mimeData())) return QPlainTextEdit::dropEvent(event);
    if (!accepts_files()) return event->ignore();
    event->acceptProposedAction();
    files_dropped(JoinedPaths(event->mimeData()->urls()));
  }

 private:
  static bool IsFileDrag(const QMimeData* data) {
    if (!data->hasUrls()) return false;
    for (const QUrl& url : data->urls()) {
      if (!url.isLocalFile()) return false;
    }
    return true;
  }
  // One path as it is; several each followed by CR LF, in the file system's
  // own encoding.
  static std::string JoinedPaths(const QList<QUrl>& urls) {
    if (urls.size() == 1) return QFile::encodeName(urls[0].toLocalFile()).toStdString();
    std::string joined;
    for (const QUrl& url : urls) joined += QFile::encodeName(url.toLocalFile()).toStdString() + "\r\n";
    return joined;
  }
};

// Reports left mouse presses on a label.
class PressFilter : public QObject {
 public:
  PressFilter(QObject* parent, std::function<void()> pressed) : QObject(parent), pressed_(std::move(pressed)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
      pressed_();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> pressed_;
};

QString Caption(const ControlSpec& spec) {
  return QString::fromUtf8(reinterpret_cast<const char*>(spec.text.data()), qsizetype(spec.text.size()));
}

QWidget* MakeWebView(QWidget* parent) {
#ifdef QXTXT_HAVE_WEBENGINE
  return new QWebEngineView(parent);
#else
  auto* fallback = new QLabel(QStringLiteral("网页视图不可用（未编译浏览器组件）"), parent);
  fallback->setAlignment(Qt::AlignCenter);
  fallback->setFrameShape(QFrame::Box);
  return fallback;
#endif
}

}  // namespace

struct QtToolkit::Shown {
  uint64_t generation = ~uint64_t{0};
  size_t end = 0;
};

QtToolkit::QtToolkit() {
  const auto& controls = MainModel().Spec().controls;
  widgets_.resize(controls.size());
  shown_.resize(controls.size());
  BuildWidgets();
  MainModel().AttachView(this);
  for (size_t i = 0; i < controls.size(); ++i) Apply(ControlId{toolkit::WindowId::kMainWindow, uint16_t(i)});
  SyncAll();
}

QtToolkit::~QtToolkit() {
  MainModel().AttachView(nullptr);
  delete window_;
}

void QtToolkit::BuildWidgets() {
  const auto& controls = MainModel().Spec().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    ControlId id{toolkit::WindowId::kMainWindow, uint16_t(i)};
    const ControlSpec& spec = controls[i];
    QWidget* parent = spec.parent < 0 ? nullptr : widgets_[spec.parent].data();
    QWidget* widget = MakeWidget(id, parent);
    widgets_[i] = widget;
    if (!widget) continue;
    if (spec.kind == ControlKind::kTabPage) {
      static_cast<QTabWidget*>(parent)->addTab(widget, Caption(spec));
    } else if (spec.kind != ControlKind::kWindow) {
      widget->setGeometry(spec.place.left, spec.place.top, spec.place.width, spec.place.height);
    }
    ConnectUserInput(id, widget);
  }
  window_ = widgets_[0];
  QFont font = window_->font();
  font.setPointSize(9);  // the size the control places were made for
  window_->setFont(font);
  const auto& place = controls[0].place;
  window_->setGeometry(place.left, place.top, place.width, place.height);
}

QWidget* QtToolkit::MakeWidget(ControlId control, QWidget* parent) {
  const ControlSpec& spec = MainModel().SpecOf(control);
  switch (spec.kind) {
    case ControlKind::kWindow:
      return new QWidget(nullptr);
    case ControlKind::kStatusBar:
      return new QStatusBar(parent);
    case ControlKind::kTabControl:
      return new QTabWidget(parent);
    case ControlKind::kTabPage:
      return new QWidget(parent);
    case ControlKind::kGroupBox:
      return new QGroupBox(Caption(spec), parent);
    case ControlKind::kLabel: {
      auto* label = new QLabel(parent);
      if (spec.style & toolkit::kLink) {
        label->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
        label->setCursor(Qt::PointingHandCursor);
      }
      if (spec.style & toolkit::kStatus) label->setStyleSheet(QStringLiteral("color: green;"));
      return label;
    }
    case ControlKind::kButton:
      return new QPushButton(Caption(spec), parent);
    case ControlKind::kCheckBox:
      return new QCheckBox(Caption(spec), parent);
    case ControlKind::kRadioButton:
      return new QRadioButton(Caption(spec), parent);
    case ControlKind::kEditBox: {
      if (!(spec.style & toolkit::kMultiLine)) {
        auto* line = new QLineEdit(parent);
        if (spec.style & toolkit::kCentred) line->setAlignment(Qt::AlignCenter);
        return line;
      }
      auto* edit = new FileDropEdit(parent);
      edit->setLineWrapMode(QPlainTextEdit::NoWrap);
      edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      return edit;
    }
    case ControlKind::kDropObject:
      return nullptr;
    case ControlKind::kWebView:
      return MakeWebView(parent);
  }
  return nullptr;
}

void QtToolkit::ConnectUserInput(ControlId control, QWidget* widget) {
  const ControlSpec& spec = MainModel().SpecOf(control);
  auto raise = [this, control] { RaiseEvent(control); };
  switch (spec.kind) {
    case ControlKind::kButton:
      connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this, raise);
      break;
    case ControlKind::kCheckBox:
      connect(static_cast<QCheckBox*>(widget), &QCheckBox::clicked, this,
              [this, control](bool ticked) { MainModel().SetTicked(control, ticked); });
      break;
    case ControlKind::kRadioButton:
      connect(static_cast<QRadioButton*>(widget), &QRadioButton::clicked, this,
              [this, control] { MainModel().SetTicked(control, true); });
      break;
    case ControlKind::kLabel:
      if (spec.event == ControlEvent::kLeftMousePressed) widget->installEventFilter(new PressFilter(widget, raise));
      break;
    case ControlKind::kEditBox:
      if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        connect(line, &QLineEdit::textEdited, this, [this, control](const QString& text) {
          MainModel().MarkEditedInView(control);
          MainModel().ReplaceFromView(control, FromQString(text));
        });
      } else {
        auto* edit = static_cast<FileDropEdit*>(widget);
        connect(edit, &QPlainTextEdit::textChanged, this, [this, control, event = spec.event] {
          if (applying_) return;
          MainModel().MarkEditedInView(control);
          if (event == ControlEvent::kTextChanged) RaiseEvent(control);
        });
        edit->accepts_files = [this, control] {
          ControlId drop_object;
          return DropObjectOf(control, &drop_object) && AcceptsDrops(drop_object);
        };
        edit->files_dropped = [this, control](std::string_view paths) {
          ControlId drop_object;
          if (DropObjectOf(control, &drop_object)) RaiseEvent(drop_object, paths);
        };
        edit->large_paste = [this, control, event = spec.event](const QString& text) {
          MainModel().WriteText(control, FromQString(text));
          if (event == ControlEvent::kTextChanged) RaiseEvent(control);
        };
      }
      break;
    default:
      break;
  }
}

void QtToolkit::Show() {
  window_->show();
  // Page places count from the tab control's corner, tab headers included;
  // Qt counts from below the headers, so move page children by the offset.
  const auto& controls = MainModel().Spec().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    const ControlSpec& spec = controls[i];
    if (!widgets_[i] || spec.parent < 0 || controls[spec.parent].kind != ControlKind::kTabPage) continue;
    QWidget* page = widgets_[spec.parent];
    QPoint origin = page->mapTo(widgets_[controls[spec.parent].parent], QPoint(0, 0));
    widgets_[i]->move(spec.place.left - origin.x(), spec.place.top - origin.y());
  }
}

void QtToolkit::ControlChanged(ControlId) {
  if (sync_scheduled_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this, [this] { QTimer::singleShot(kFrameMs, this, [this] { Sync(false); }); }, Qt::QueuedConnection);
}

void QtToolkit::SyncAll() { Sync(true); }

void QtToolkit::Sync(bool without_budget) {
  sync_scheduled_ = false;
  const auto& controls = MainModel().Spec().controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    ControlId id{toolkit::WindowId::kMainWindow, uint16_t(i)};
    if (MainModel().TakeChanged(id)) Apply(id);
  }
  std::vector<ControlId> behind;
  for (ControlId id : catching_up_) {
    if (!CatchUpText(id, without_budget)) behind.push_back(id);
  }
  catching_up_ = std::move(behind);
  if (!catching_up_.empty()) ControlChanged(catching_up_.front());
}

void QtToolkit::Apply(ControlId control) {
  const ControlSpec& spec = MainModel().SpecOf(control);
  QWidget* widget = widgets_[control.index];
  if (!widget) return;
  applying_ = true;
  if (spec.kind != ControlKind::kWindow) widget->setEnabled(MainModel().IsEnabled(control));
  switch (spec.kind) {
    case ControlKind::kWindow:
      widget->setWindowTitle(ToQString(MainModel().ReadText(control)));
      break;
    case ControlKind::kLabel:
      static_cast<QLabel*>(widget)->setText(ToQString(MainModel().ReadText(control)));
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      static_cast<QAbstractButton*>(widget)->setChecked(MainModel().IsTicked(control));
      break;
    case ControlKind::kEditBox:
      if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        QString text = ToQString(MainModel().ReadText(control));
        if (line->text() != text) line->setText(text);
      } else if (std::find(catching_up_.begin(), catching_up_.end(), control) == catching_up_.end()) {
        catching_up_.push_back(control);
      }
      break;
    default:
      break;
  }
  applying_ = false;
}

bool QtToolkit::CatchUpText(ControlId control, bool without_budget) {
  auto* edit = static_cast<QPlainTextEdit*>(widgets_[control.index].data());
  Shown& shown = shown_[control.index];
  QElapsedTimer elapsed;
  elapsed.start();
  applying_ = true;
  bool caught_up = false, appended = false, changed = false;
  while (!caught_up && (without_budget || elapsed.elapsed() < kSliceBudgetMs)) {
    std::optional<toolkit::TextChunk> next = MainModel().ReadChunk(control, shown.generation, shown.end, kSliceBytes);
    if (!next) {
      if (!without_budget) break;  // busy: try again at the next frame
      continue;
    }
    toolkit::TextChunk& chunk = *next;
    if (chunk.generation != shown.generation) {
      edit->clear();
      shown = Shown{chunk.generation, 0};
      changed = true;
    }
    if (!chunk.bytes.empty()) {
      QTextCursor cursor(edit->document());
      cursor.movePosition(QTextCursor::End);
      cursor.insertText(ToPlatformLines(chunk.bytes));
      changed = true;
    }
    shown.end = chunk.end;
    caught_up = chunk.end == chunk.length;
    appended = chunk.length > chunk.written;
  }
  // The user may edit the box only once it shows the whole text.
  edit->setReadOnly(!caught_up);
  if (changed) {
    // Appended output grows at the caret, in view; a replaced text shows its start.
    edit->moveCursor(appended ? QTextCursor::End : QTextCursor::Start);
    edit->ensureCursorVisible();
  }
  applying_ = false;
  return caught_up;
}

void QtToolkit::SyncFromView(ControlId control) {
  RunOnUiThread([this, control] {
    auto* edit = static_cast<QPlainTextEdit*>(widgets_[control.index].data());
    shown_[control.index].end = MainModel().ReplaceFromView(control, FromQString(edit->toPlainText()));
  });
}

void QtToolkit::RunOnUiThread(const std::function<void()>& work) {
  if (QThread::currentThread() == thread()) return work();
  QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
}

void QtToolkit::SetClipboardText(std::string_view text) {
  QString string = ToPlatformLines(text);
  RunOnUiThread([&string] { QGuiApplication::clipboard()->setText(string); });
}

void QtToolkit::OpenUrl(std::string_view text) {
  QUrl url(ToQString(text));
  RunOnUiThread([&url] { QDesktopServices::openUrl(url); });
}

int QtToolkit::ShowMessageBox(std::string_view text, std::string_view caption) {
  QString body = ToQString(text), title = ToQString(caption);
  RunOnUiThread([&] {
    QMessageBox box(QMessageBox::NoIcon, title, body, QMessageBox::Ok, window_);
    box.exec();
  });
  return 1;  // the OK button
}

bool QtToolkit::RegisterFileDrop(ControlId drop_object, ControlId edit_box) {
  if (!InMemoryToolkit::RegisterFileDrop(drop_object, edit_box)) return false;
  RunOnUiThread([this, edit_box] { widgets_[edit_box.index]->setAcceptDrops(true); });
  return true;
}

void QtToolkit::SetBrowserAddress(ControlId web_view, std::string_view address) {
  InMemoryToolkit::SetBrowserAddress(web_view, address);
#ifdef QXTXT_HAVE_WEBENGINE
  QUrl url(ToQString(address));
  RunOnUiThread([this, web_view, &url] { static_cast<QWebEngineView*>(widgets_[web_view.index].data())->setUrl(url); });
#endif
}

}  // namespace gui
