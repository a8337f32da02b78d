// The right-click menu "复制" / "全选" of the workbench's read-only lists and texts, in the words
// the Linux program uses, and the text of a report-view list's chosen rows.
#pragma once

#include <string>

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

enum class CopyChoice { None, Copy, SelectAll };

// Shows the menu for `control` at `screenPoint` (a WM_CONTEXTMENU's point: the pointer, or -1,-1
// from the keyboard, which opens it at the control's corner) and returns what the user picked.
CopyChoice AskCopyChoice(HWND control, LPARAM screenPoint);
// Gives a read-only edit this menu in place of the system's own.
void UseCopyMenu(HWND edit);

// The selected rows of a report-view list, top to bottom, each its cells separated by tabs and
// ended by '\n'; "" when none is selected.
std::string SelectedRowsText(HWND list);
void SelectAllRows(HWND list);
// SelectedRowsText onto the clipboard, when a row is selected.
void CopySelectedRows(HWND list);
// Ctrl+C and Ctrl+A on such a list (its LVN_KEYDOWN): copies the selected rows or selects every
// row; true when it was one of them.
bool AnswerCopyKeys(HWND list, WORD key);

}  // namespace kt::ui::win32
