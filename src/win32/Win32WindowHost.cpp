// The Win32 window host: modal loops, control access by identifier, timers and message boxes.
#include "win32/Win32WindowHost.h"

#include <algorithm>
#include <exception>

#include "platform/win32/WideText.h"
#include "win32/DialogWindow.h"
#include "win32/MessageBoxColours.h"

namespace kt::ui::win32 {
namespace {

// The system's dialog face colour until SetDialogBkColor is called.
constexpr uint32_t kSystemFace = 0x00F0F0F0;

void InitCommonControlsOnce() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
}

}  // namespace

Win32WindowHost::Win32WindowHost(HICON icon) : colors_{kSystemFace, kBlack}, icon_(icon) {
  InitCommonControlsOnce();
}

Win32WindowHost::~Win32WindowHost() {
  windows_.clear();
  retired_.clear();
}

DialogWindow* Win32WindowHost::Find(const Dialog& dialog) const {
  auto it = windows_.find(&dialog);
  return it == windows_.end() ? nullptr : it->second.get();
}

HWND Win32WindowHost::TopWindow() const {
  return modalStack_.empty() ? nullptr : modalStack_.back()->Handle();
}

HWND Win32WindowHost::WindowOf(const Dialog& dialog) const {
  const DialogWindow* w = Find(dialog);
  return w != nullptr ? w->Handle() : nullptr;
}

void Win32WindowHost::FreeRetired() {
  if (!modalStack_.empty()) return;
  std::erase_if(retired_, [](const auto& w) { return !w->Dispatching(); });
}

int Win32WindowHost::RunModal(Dialog& dialog) {
  if (Find(dialog) != nullptr) DestroyWindow(dialog);
  auto owned = std::make_unique<DialogWindow>(
      dialog, TopWindow(), colors_, icon_,
      [this](Dialog& d, const std::string& what) { MessageBox(&d, FailedActionText(what)); });
  DialogWindow* window = owned.get();
  if (!window->Create()) {
    MessageBox(nullptr, FailedActionText("无法创建对话框窗口"));
    return IDCANCEL;
  }
  windows_[&dialog] = std::move(owned);
  modalStack_.push_back(window);
  try {
    dialog.InitDialog();
  } catch (const std::exception& e) {
    // Initialisation stops at the failed step; the dialog stays open, as with a refused port.
    if (Find(dialog) == window) MessageBox(&dialog, FailedActionText(e.what()));
  }
  // The window may go (DestroyWindow) while its loop runs; it is then kept until the loop is
  // left, so the pointer stays good.
  window->RunModalLoop();
  modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), window), modalStack_.end());
  const int result = Find(dialog) == window ? window->ModalResult() : IDCANCEL;
  FreeRetired();
  return result;
}

void Win32WindowHost::EndModal(Dialog& dialog, int result) {
  if (DialogWindow* w = Find(dialog)) w->EndModal(result);
}

void Win32WindowHost::DestroyWindow(Dialog& dialog) {
  auto it = windows_.find(&dialog);
  if (it == windows_.end()) return;
  std::unique_ptr<DialogWindow> w = std::move(it->second);
  windows_.erase(it);
  w->Detach();
  w->EndModal(IDCANCEL);
  if (HWND hwnd = w->Handle()) ShowWindow(hwnd, SW_HIDE);
  // A handler of the window itself, or its modal loop, may still be on the stack: the window
  // goes once they are done.
  if (w->Dispatching() ||
      std::find(modalStack_.begin(), modalStack_.end(), w.get()) != modalStack_.end()) {
    retired_.push_back(std::move(w));
  }
}

void Win32WindowHost::SetText(Dialog& dialog, int controlId, const std::string& utf8) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) w->SetControlText(*c, utf8);
  }
}

std::string Win32WindowHost::GetText(Dialog& dialog, int controlId) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) return w->ControlText(*c);
  }
  return {};
}

void Win32WindowHost::SetListLines(Dialog& dialog, int controlId,
                                   const std::vector<std::string>& utf8Lines) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) w->SetListLines(*c, utf8Lines);
  }
}

void Win32WindowHost::SetCheck(Dialog& dialog, int controlId, bool checked) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) {
      if (c->tmpl->kind == ControlKind::RadioButton || c->tmpl->kind == ControlKind::CheckBox) {
        SendMessageW(c->hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
      }
    }
  }
}

bool Win32WindowHost::GetCheck(Dialog& dialog, int controlId) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) {
      if (c->tmpl->kind == ControlKind::RadioButton || c->tmpl->kind == ControlKind::CheckBox) {
        return SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
      }
    }
  }
  return false;
}

void Win32WindowHost::ShowControl(Dialog& dialog, int controlId, bool visible) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) ShowWindow(c->hwnd, visible ? SW_SHOWNA : SW_HIDE);
  }
}

void Win32WindowHost::EnableControl(Dialog& dialog, int controlId, bool enabled) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) SetEnabled(c->hwnd, enabled);
  }
}

void Win32WindowHost::Repaint(Dialog& dialog, int controlId) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) w->Recolor(*c, true);
  }
}

void Win32WindowHost::FocusAndSelect(Dialog& dialog, int controlId) {
  if (DialogWindow* w = Find(dialog)) {
    if (auto* c = w->Find(controlId)) w->FocusAndSelect(*c);
  }
}

void Win32WindowHost::SetTimer(Dialog& dialog, unsigned timerId, unsigned periodMs) {
  if (DialogWindow* w = Find(dialog)) w->StartTimer(timerId, periodMs);
}

void Win32WindowHost::KillTimer(Dialog& dialog, unsigned timerId) {
  if (DialogWindow* w = Find(dialog)) w->StopTimer(timerId);
}

bool Win32WindowHost::TimerRunning(const Dialog& dialog, unsigned timerId) const {
  const DialogWindow* w = Find(dialog);
  return w != nullptr && w->TimerRunning(timerId);
}

void Win32WindowHost::MessageBox(Dialog* owner, const std::string& utf8) {
  HWND parent = owner != nullptr ? WindowOf(*owner) : nullptr;
  if (parent == nullptr) parent = TopWindow();
  ColouredMessageBox(parent, platform::win32::WideFromUtf8(utf8), kMessageBoxTitle);
}

bool Win32WindowHost::AskYesNo(Dialog* owner, const std::string& utf8) {
  HWND parent = owner != nullptr ? WindowOf(*owner) : nullptr;
  if (parent == nullptr) parent = TopWindow();
  return ColouredMessageBox(parent, platform::win32::WideFromUtf8(utf8), kMessageBoxTitle,
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Win32WindowHost::SetDialogBkColor(uint32_t background, uint32_t text) {
  colors_ = DialogColors{background, text};
}

}  // namespace kt::ui::win32
