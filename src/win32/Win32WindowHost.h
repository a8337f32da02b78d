// The window host on Win32: every dialog template realised as a dialog window from an
// in-memory template.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "ui/dialog/WindowHost.h"
#include "win32/ControlColouring.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

class DialogWindow;

// Modal dialogs run in a loop of their own (the owner disabled, keys through
// IsDialogMessageW); message boxes are MessageBoxW. The timers of every open dialog keep
// ticking inside those loops. The host owns the windows it makes; they go with it.
class Win32WindowHost : public WindowHost {
 public:
  // `icon`: the program's icon for the dialogs' title bars (nullptr: Windows' default).
  explicit Win32WindowHost(HICON icon = nullptr);
  ~Win32WindowHost() override;
  Win32WindowHost(const Win32WindowHost&) = delete;
  Win32WindowHost& operator=(const Win32WindowHost&) = delete;
  Win32WindowHost(Win32WindowHost&&) = delete;
  Win32WindowHost& operator=(Win32WindowHost&&) = delete;

  int RunModal(Dialog& dialog) override;
  void EndModal(Dialog& dialog, int result) override;
  void DestroyWindow(Dialog& dialog) override;
  void SetText(Dialog& dialog, int controlId, const std::string& utf8) override;
  std::string GetText(Dialog& dialog, int controlId) override;
  void SetListLines(Dialog& dialog, int controlId,
                    const std::vector<std::string>& utf8Lines) override;
  void SetCheck(Dialog& dialog, int controlId, bool checked) override;
  bool GetCheck(Dialog& dialog, int controlId) override;
  void ShowControl(Dialog& dialog, int controlId, bool visible) override;
  void EnableControl(Dialog& dialog, int controlId, bool enabled) override;
  void Repaint(Dialog& dialog, int controlId) override;
  void FocusAndSelect(Dialog& dialog, int controlId) override;
  void SetTimer(Dialog& dialog, unsigned timerId, unsigned periodMs) override;
  void KillTimer(Dialog& dialog, unsigned timerId) override;
  void MessageBox(Dialog* owner, const std::string& utf8) override;
  bool AskYesNo(Dialog* owner, const std::string& utf8) override;
  void SetDialogBkColor(uint32_t background, uint32_t text) override;

  // The dialog's window while it exists, else nullptr (for tests and tools).
  HWND WindowOf(const Dialog& dialog) const;
  bool TimerRunning(const Dialog& dialog, unsigned timerId) const;
  // The title of every message box.
  static constexpr const wchar_t* kMessageBoxTitle = L"KT7340";

 private:
  DialogWindow* Find(const Dialog& dialog) const;
  HWND TopWindow() const;
  // Frees the windows destroyed while one of their handlers ran, once none runs.
  void FreeRetired();

  std::map<const Dialog*, std::unique_ptr<DialogWindow>> windows_;
  std::vector<DialogWindow*> modalStack_;  // the modal windows, innermost last (not owned)
  std::vector<std::unique_ptr<DialogWindow>> retired_;
  DialogColors colors_;
  HICON icon_;
};

}  // namespace kt::ui::win32
