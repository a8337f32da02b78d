// How a control's text looks on screen: line breaks are CR LF; a lone CR shows as nothing.
#pragma once

#include <QString>
#include <string>

namespace kt::ui::qt {

// CR LF becomes a line break and a carriage return without a line feed disappears, so the echo
// text "01\r 03\r " reads "01 03 ". A lone LF stays a line break.
QString DisplayText(const std::string& utf8);

// The text a user typed into a multi-line box, with its line breaks as CR LF again.
std::string ControlText(const QString& shown);

}  // namespace kt::ui::qt
