// The window host seam: what the dialog logic needs of a window toolkit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui {

class Dialog;

// Control-colour codes as the colour handler receives them.
enum class CtlColorType {
  MsgBox = 0,
  Edit = 1,  // an editable edit box (read-only edit boxes report Static)
  ListBox = 2,
  Button = 3,
  Dlg = 4,
  ScrollBar = 5,
  Static = 6,
};

// Colour values are 0x00BBGGRR.
constexpr uint32_t kDialogBackground = 0x00F9F0B5;  // red 181, green 240, blue 249
constexpr uint32_t kBlack = 0x00000000;
constexpr uint32_t kRed = 0x000000FF;
constexpr uint32_t kGrey = 0x00808080;

// What the colour handler decides for one control.
struct CtlColor {
  bool useDefault = true;  // draw the control as the dialog draws it by default
  bool transparentBackground = false;
  uint32_t textColor = kBlack;
  uint32_t brushColor = kDialogBackground;
};

// What a message box says when a handler or a dialog's initialisation failed with `reason`: the
// dialog stays open, as with a refused port.
inline std::string FailedActionText(const std::string& reason) {
  return "操作失败：" + reason;
}

// One host serves every dialog of the program. Control operations on an identifier that the
// dialog's template does not contain do nothing (GetText then returns "").
class WindowHost {
 public:
  virtual ~WindowHost() = default;

  // Realises the dialog's template as a window, calls dialog.InitDialog() and runs a modal
  // loop until EndModal is called for it; returns the result given to EndModal. The window
  // still exists when this returns: Dialog::DoModal then calls the dialog's DestroyWindow.
  virtual int RunModal(Dialog& dialog) = 0;
  virtual void EndModal(Dialog& dialog, int result) = 0;
  // Removes the dialog's window and its timers.
  virtual void DestroyWindow(Dialog& dialog) = 0;

  virtual void SetText(Dialog& dialog, int controlId, const std::string& utf8) = 0;
  virtual std::string GetText(Dialog& dialog, int controlId) = 0;
  // Replaces the lines of a list box. A click on line i calls dialog.OnListClick(controlId, i).
  virtual void SetListLines(Dialog& dialog, int controlId,
                            const std::vector<std::string>& utf8Lines) = 0;
  virtual void SetCheck(Dialog& dialog, int controlId, bool checked) = 0;
  virtual bool GetCheck(Dialog& dialog, int controlId) = 0;
  virtual void ShowControl(Dialog& dialog, int controlId, bool visible) = 0;
  virtual void EnableControl(Dialog& dialog, int controlId, bool enabled) = 0;
  // Redraws the control; its colours are asked of dialog.OnCtlColor again.
  virtual void Repaint(Dialog& dialog, int controlId) = 0;
  // Gives the control the keyboard focus and selects all its text (an edit), so that what the
  // user types next replaces it; also before the window is first shown.
  virtual void FocusAndSelect(Dialog& dialog, int controlId) = 0;

  // Numbered timers: each tick calls dialog.OnTimer(timerId). Setting a running timer restarts
  // its period; killing a timer that does not run does nothing.
  virtual void SetTimer(Dialog& dialog, unsigned timerId, unsigned periodMs) = 0;
  virtual void KillTimer(Dialog& dialog, unsigned timerId) = 0;

  // A modal message box with an OK button only; returns when the user has confirmed it. The
  // timers of open dialogs keep ticking while it is shown.
  virtual void MessageBox(Dialog* owner, const std::string& utf8) = 0;
  // A modal question with the buttons Yes and No (No the default); true when the user chose Yes.
  virtual bool AskYesNo(Dialog* owner, const std::string& utf8) = 0;

  // Default colours of the dialogs and message boxes shown from now on.
  virtual void SetDialogBkColor(uint32_t background, uint32_t text) = 0;
};

}  // namespace kt::ui

namespace kt::ui {

// The colour code a control reports when its colours are asked: only an editable edit box
// reports Edit; a read-only edit box reports Static, like a label.
inline CtlColorType ColorTypeOf(const ControlTemplate& c) {
  switch (c.kind) {
    case ControlKind::Edit:
      return c.Has(kReadOnly) ? CtlColorType::Static : CtlColorType::Edit;
    case ControlKind::PushButton:
    case ControlKind::RadioButton:
    case ControlKind::CheckBox:
    case ControlKind::GroupBox:
      return CtlColorType::Button;
    case ControlKind::ListBox:
    case ControlKind::Table:
      return CtlColorType::ListBox;
    default:
      return CtlColorType::Static;
  }
}

}  // namespace kt::ui
