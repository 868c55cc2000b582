// Conversions between the tool's texts (code page 936) and Qt's strings.
//
// Multi-line texts cross this edge with their line ends: CR LF inside the
// tool, LF on the platform's side (widgets, clipboard). Pure functions;
// any thread.
#pragma once

#include <QString>
#include <string_view>

#include "app/text/text.h"

namespace gui {

QString ToQString(std::string_view text);
text::Text FromQString(const QString& string);

// CR LF becomes LF on the way out; the way back needs nothing, since
// multi-line boxes store every line end as CR LF.
QString ToPlatformLines(std::string_view text);

}  // namespace gui
