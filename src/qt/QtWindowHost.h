// The window host on Qt Widgets: every dialog template realised as a QDialog.
#pragma once

#include <QIcon>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "qt/ControlColors.h"
#include "ui/dialog/WindowHost.h"

namespace kt::ui::qt {

class HostedWindow;

// Needs a QApplication. Modal dialogs run in QDialog::exec and message boxes in QMessageBox::exec;
// the timers of every open dialog keep ticking inside those loops. The host owns the windows it
// makes; they go with it.
class QtWindowHost : public WindowHost {
 public:
  QtWindowHost();
  ~QtWindowHost() override;
  QtWindowHost(const QtWindowHost&) = delete;
  QtWindowHost& operator=(const QtWindowHost&) = delete;
  QtWindowHost(QtWindowHost&&) = delete;
  QtWindowHost& operator=(QtWindowHost&&) = delete;

  int RunModal(Dialog& dialog) override;
  void EndModal(Dialog& dialog, int result) override;
  void DestroyWindow(Dialog& dialog) override;
  void SetText(Dialog& dialog, int controlId, const std::string& utf8) override;
  std::string GetText(Dialog& dialog, int controlId) override;
  void SetCheck(Dialog& dialog, int controlId, bool checked) override;
  bool GetCheck(Dialog& dialog, int controlId) override;
  void SetListLines(Dialog& dialog, int controlId,
                    const std::vector<std::string>& utf8Lines) override;
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
  QWidget* WindowOf(const Dialog& dialog) const;
  bool TimerRunning(const Dialog& dialog, unsigned timerId) const;

 private:
  // Shows `utf8` in a box titled KT7340 with "确定", or with "是" and "否"; returns the
  // identifier of the button chosen.
  int RunBox(Dialog* owner, const std::string& utf8, bool yesNo);
  HostedWindow* Find(const Dialog& dialog) const;
  QWidget* TopWindow() const;

  std::map<const Dialog*, std::unique_ptr<HostedWindow>> windows_;
  std::vector<HostedWindow*> modalStack_;  // the modal windows, innermost last (not owned)
  DialogColors colors_;
  QIcon icon_;
};

}  // namespace kt::ui::qt
