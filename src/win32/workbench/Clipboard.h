// Text onto the clipboard, for the tabs' copy keys.
#pragma once

#include <string>

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// Puts `utf8` (lines separated by '\n') on the clipboard as Unicode text with CR LF line ends;
// false when the clipboard could not be had.
bool CopyToClipboard(HWND owner, const std::string& utf8);
// The clipboard's Unicode text in UTF-8, "" when it holds none.
std::string ClipboardText(HWND owner);

}  // namespace kt::ui::win32
