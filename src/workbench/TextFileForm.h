// The form of every text file the workbench writes (the CSV recording, the saved log), so that
// Notepad and spreadsheets on Chinese Windows read it as Linux does: UTF-8 with a byte-order
// mark, CRLF line ends.
#pragma once

#include <string_view>

namespace kt::workbench {

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
inline constexpr std::string_view kLineEnd = "\r\n";

}  // namespace kt::workbench
