#include "gui/qt_text.h"

#include "platform/code_page.h"

namespace gui {

QString ToQString(std::string_view text) {
  std::u16string units = platform::Cp936ToUtf16(text);
  return QString::fromUtf16(units.data(), qsizetype(units.size()));
}

text::Text FromQString(const QString& string) {
  return platform::Utf16ToCp936(std::u16string_view(reinterpret_cast<const char16_t*>(string.utf16()),
                                                    size_t(string.size())));
}

QString ToPlatformLines(std::string_view text) {
  QString string = ToQString(text);
  string.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return string;
}

}  // namespace gui
