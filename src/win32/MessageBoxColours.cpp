// The colours of a message box from the dialog that owns it.
#include "win32/MessageBoxColours.h"

#include "win32/DialogWindow.h"

namespace kt::ui::win32 {
namespace {

constexpr UINT_PTR kColourSubclass = 2;
constexpr wchar_t kDialogClass[] = L"#32770";

LRESULT CALLBACK BoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                         DWORD_PTR refData) {
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &BoxProc, id);
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  // A dialog of the host made while the box is open has colours of its own.
  const bool box = DialogWindow::Of(hwnd) == nullptr;
  if (box &&
      (message == WM_CTLCOLORDLG || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORMSGBOX)) {
    // The owner lives as long as the box: the box is destroyed with it.
    auto* owner = PointerFrom<DialogWindow*>(refData);
    return reinterpret_cast<LRESULT>(
        ColourDialog(PointerFrom<HDC>(wParam), owner->Colors(), owner->Brushes()));
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
      if (DialogWindow* owner = DialogWindow::Of(create->lpcs->hwndParent)) {
        SetWindowSubclass(box, &BoxProc, kColourSubclass, reinterpret_cast<DWORD_PTR>(owner));
      }
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
