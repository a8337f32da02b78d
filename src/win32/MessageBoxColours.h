// Message boxes in the dialogs' colours and centred on their owner: the box Windows makes for
// MessageBoxW is found as it is created (a CBT hook for the one call), answers WM_CTLCOLOR* with
// its owner's colours and, once it has placed itself, moves to CentredOnOwner.
#pragma once

#include <string>

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// MessageBoxW of `type` (MB_OK, ...), titled `title`, owned by `owner` (nullptr: none); returns
// the button chosen (IDOK, IDYES, ...). The box opens centred on its owner; when the owner is a
// dialog of the host, it takes that dialog's colours.
int ColouredMessageBox(HWND owner, const std::wstring& text, const std::wstring& title,
                       UINT type = MB_OK);

}  // namespace kt::ui::win32
