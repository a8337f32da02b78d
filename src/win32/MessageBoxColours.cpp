// The colours and the place of a message box from the window that owns it.
#include "win32/MessageBoxColours.h"

#include "win32/DialogWindow.h"
#include "win32/ScreenPlacement.h"

namespace kt::ui::win32 {
namespace {

constexpr UINT_PTR kOwnerSubclass = 2;
constexpr wchar_t kDialogClass[] = L"#32770";

LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                         DWORD_PTR refData) {
  // The owner lives as long as the box: the box is destroyed with it.
  const auto owner = PointerFrom<HWND>(refData);
  switch (message) {
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &BoxProc, id);
      return DefSubclassProc(hwnd, message, wParam, lParam);
    case WM_INITDIALOG: {
      const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
      // A dialog of the host made while the box is open places itself.
      if (DialogWindow::Of(hwnd) == nullptr) CentreOverOwner(hwnd, owner);
      return result;
    }
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORMSGBOX: {
      // A dialog of the host made while the box is open has colours of its own; a box owned by
      // another window keeps the system's.
      DialogWindow* dialog = DialogWindow::Of(owner);
      if (dialog == nullptr || DialogWindow::Of(hwnd) != nullptr) break;
      return reinterpret_cast<LRESULT>(
          ColourDialog(PointerFrom<HDC>(wParam), dialog->Colors(), dialog->Brushes()));
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    const auto box = PointerFrom<HWND>(wParam);
    const auto* create = PointerFrom<const CBT_CREATEWNDW*>(lParam);
    wchar_t cls[16] = {};
    GetClassNameW(box, cls, 16);
    if (create->lpcs->hwndParent != nullptr && lstrcmpW(cls, kDialogClass) == 0) {
      SetWindowSubclass(box, &BoxProc, kOwnerSubclass,
                        reinterpret_cast<DWORD_PTR>(create->lpcs->hwndParent));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int ColouredMessageBox(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) {
  HHOOK hook = owner != nullptr
                   ? SetWindowsHookExW(WH_CBT, &CreationHook, nullptr, GetCurrentThreadId())
                   : nullptr;
  // The hook is only wanted for the box's own creation.
  const int chosen = MessageBoxW(owner, text.c_str(), title.c_str(), type);
  if (hook != nullptr) UnhookWindowsHookEx(hook);
  return chosen;
}

}  // namespace kt::ui::win32
