// The dialog base: template, data exchange, command and timer dispatch over the window host.
#pragma once

#include <string>
#include <vector>

#include "ui/dialog/DialogTemplate.h"
#include "ui/dialog/WindowHost.h"

namespace kt::ui {

class DataExchange;

class Dialog {
 public:
  Dialog(WindowHost& host, const DialogTemplate& tmpl) : host_(host), template_(tmpl) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  const DialogTemplate& Template() const { return template_; }
  WindowHost& Host() const { return host_; }

  // Shows the dialog modally; when it ends, calls DestroyWindow() and returns the result given to
  // EndDialog (IDOK, IDCANCEL, ...).
  int DoModal();
  // Ends the modal loop with `result`; the window goes when DoModal returns.
  void EndDialog(int result);

  // --- Entry points the host calls ---
  // Once the window exists: OnInitDialog, and when it leaves the focus to the dialog manager
  // (returns true), the focus to the first tab stop with its text selected, so that the first
  // key press replaces what the field shows.
  void InitDialog();
  // Base: fills the controls from the fields (UpdateData(false)); returns true.
  virtual bool OnInitDialog();
  // A command: a button click, IDOK (Enter) or IDCANCEL (Escape, close box). Base: IDOK runs
  // OnOK, IDCANCEL OnCancel. Returns whether the command was handled.
  virtual bool OnCommand(int commandId);
  virtual void OnTimer(unsigned timerId) { (void)timerId; }
  // A click on line `line` (from 0) of list box `controlId`. Base: nothing.
  virtual void OnListClick(int controlId, int line) {
    (void)controlId;
    (void)line;
  }
  // Base: the dialog's default colours.
  virtual CtlColor OnCtlColor(int controlId, CtlColorType type);
  // Base: removes the window through the host. Returns true.
  virtual bool DestroyWindow();

  // Runs the data exchange: true takes the controls into the fields (with validation), false
  // writes the fields into the controls. On a bad entry the standard prompt is shown, the field
  // keeps its last valid value, and false is returned.
  bool UpdateData(bool saveAndValidate = true);
  // True while a data-exchange prompt is open (its own loop may let timer ticks through).
  bool IsPromptOpen() const { return openPrompts_ > 0; }

  void SetDlgItemText(int controlId, const std::string& utf8);
  std::string GetDlgItemText(int controlId);
  void SetListLines(int controlId, const std::vector<std::string>& utf8Lines);
  // Checks `checkId` and clears every other button from firstId to lastId.
  void CheckRadioButton(int firstId, int lastId, int checkId);
  bool IsDlgButtonChecked(int controlId);
  void ShowControl(int controlId, bool visible);
  void EnableControl(int controlId, bool enabled);
  void RedrawControl(int controlId);
  // The keyboard focus to the control, its text selected.
  void FocusAndSelect(int controlId);
  void SetTimer(unsigned timerId, unsigned periodMs);
  void KillTimer(unsigned timerId);
  // Whether the timer was set and not killed since (nor the window destroyed).
  bool TimerSet(unsigned timerId) const;
  // A modal message box with OK.
  void AfxMessageBox(const std::string& utf8);

 protected:
  virtual void DoDataExchange(DataExchange& dx) { (void)dx; }
  // Base: UpdateData(true); ends the dialog with IDOK only if it succeeded.
  virtual void OnOK();
  // Base: ends the dialog with IDCANCEL.
  virtual void OnCancel();

 private:
  WindowHost& host_;
  const DialogTemplate& template_;
  int openPrompts_ = 0;  // a count, since a prompt's own loop may open another one
  std::vector<unsigned> timersSet_;
};

}  // namespace kt::ui
