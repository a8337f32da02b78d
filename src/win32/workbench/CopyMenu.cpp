// The copy menu and the rows' text of a report-view list.
#include "win32/workbench/CopyMenu.h"

#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/Clipboard.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

constexpr int kCellChars = 2048;  // the longest cell text read back

// The edit's own procedure stays in its user data (UseCopyMenu).
LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_CONTEXTMENU) {
    return CallWindowProcW(PointerFrom<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA)), edit,
                           message, wParam, lParam);
  }
  SetFocus(edit);
  switch (AskCopyChoice(edit, lParam)) {
    case CopyChoice::Copy:
      SendMessageW(edit, WM_COPY, 0, 0);
      break;
    case CopyChoice::SelectAll:
      SendMessageW(edit, EM_SETSEL, 0, -1);
      break;
    case CopyChoice::None:
      break;
  }
  return 0;
}

}  // namespace

CopyChoice AskCopyChoice(HWND control, LPARAM screenPoint) {
  POINT at{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
  if (at.x == -1 && at.y == -1) {
    at = {};
    ClientToScreen(control, &at);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CopyChoice::Copy),
              Wide(workbench::kCopyText).c_str());
  AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(CopyChoice::SelectAll),
              Wide(workbench::kSelectAllText).c_str());
  const auto picked = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                     at.y, 0, control, nullptr);
  DestroyMenu(menu);
  return static_cast<CopyChoice>(picked);
}

void UseCopyMenu(HWND edit) {
  // Not SetWindowSubclass: its chain is a window property, which wine looks up with a server
  // round trip at every message (a message box whose text follows the readings gets a dozen at
  // each block).
  SetWindowLongPtrW(edit, GWLP_USERDATA, GetWindowLongPtrW(edit, GWLP_WNDPROC));
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditProc));
}

std::string SelectedRowsText(HWND list) {
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  std::wstring cell(kCellChars, L'\0');
  std::string text;
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    for (int c = 0; c < columns; ++c) {
      cell[0] = L'\0';
      ListView_GetItemText(list, row, c, cell.data(), kCellChars);
      if (c > 0) text += '\t';
      text += Utf8(cell.c_str());
    }
    text += '\n';
  }
  return text;
}

void SelectAllRows(HWND list) {
  ListView_SetItemState(list, -1, LVIS_SELECTED, LVIS_SELECTED);
}

void CopySelectedRows(HWND list) {
  const std::string text = SelectedRowsText(list);
  if (!text.empty()) CopyToClipboard(GetParent(list), text);
}

bool AnswerCopyKeys(HWND list, WORD key) {
  if ((GetKeyState(VK_CONTROL) & 0x8000) == 0) return false;
  if (key == 'C') {
    CopySelectedRows(list);
    return true;
  }
  if (key == 'A') {
    SelectAllRows(list);
    return true;
  }
  return false;
}

}  // namespace kt::ui::win32
