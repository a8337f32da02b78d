// A window host without windows, for tests: records control state, timers and message boxes,
// fires timers in virtual time and answers modal dialogs and message boxes from a script.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "modbus/Clock.h"
#include "ui/dialog/WindowHost.h"

namespace kt::ui {

class InMemoryHost : public WindowHost {
 public:
  struct ControlState {
    const ControlTemplate* tmpl = nullptr;
    std::string text;
    std::vector<std::string> lines;  // of a list box
    bool checked = false;
    bool visible = true;
    bool enabled = true;
    int repaints = 0;
    CtlColor lastColor;  // what the dialog answered at the latest repaint
  };
  struct MessageRecord {
    int ownerTemplateId;  // 0 without owner
    std::string text;
  };
  // Plays the user's part while a modal dialog of the given template is open: set texts, click
  // buttons, let time pass, and end it (for example with Click(d, IDOK)).
  using ModalScript = std::function<void(Dialog&)>;
  // Plays the user's part while a message box is open; it may let time pass before returning,
  // which is when the user presses OK.
  using MessageBoxScript = std::function<void(const std::string& text)>;

  explicit InMemoryHost(modbus::VirtualClock& clock) : clock_(clock) {}

  // --- WindowHost ---
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

  // --- Script ---
  // Queues the user's part for the next modal run of template `templateId`. A modal dialog with
  // no script left is cancelled at once (and counted in UnscriptedModals()).
  void ScriptModal(int templateId, ModalScript script);
  void OnMessageBox(MessageBoxScript script) { messageBoxScript_ = std::move(script); }
  // The user's answer to each question box from now on (recorded among the messages).
  void AnswerQuestions(bool yes) { answerYes_ = yes; }

  // --- Driving ---
  // Realises a dialog without a modal loop and calls its OnInitDialog (for the main dialog in
  // whole-program tests); Close() then calls its DestroyWindow().
  void Open(Dialog& dialog);
  void Close(Dialog& dialog);
  // A user click: does nothing on a missing, hidden or disabled control or an ended dialog
  // (returns false). An automatic radio button is checked, a check box toggled, before its
  // command is sent.
  bool Click(Dialog& dialog, int controlId);
  // A click on line `line` of a list box or row of a table: false (and nothing sent) on a
  // missing, hidden or disabled one, a line it does not have or an ended dialog.
  bool ClickListLine(Dialog& dialog, int controlId, int line);
  void Type(Dialog& dialog, int controlId, const std::string& utf8);
  void PressEnter(Dialog& dialog);
  void PressEscape(Dialog& dialog);
  // Lets `ms` milliseconds of virtual time pass, firing every timer that falls due, in order.
  void RunFor(uint32_t ms);

  // --- Inspection ---
  // True from realisation until the dialog ends or is destroyed.
  bool IsOpen(const Dialog& dialog) const;
  bool HasControl(const Dialog& dialog, int controlId) const;
  const ControlState& Control(const Dialog& dialog, int controlId) const;
  bool TimerRunning(const Dialog& dialog, unsigned timerId) const;
  unsigned TimerPeriod(const Dialog& dialog, unsigned timerId) const;  // 0 when not running
  // The control the latest FocusAndSelect went to (0: none), and whether its whole text is still
  // selected (typing replaces it and clears the selection).
  int FocusedControl(const Dialog& dialog) const;
  bool FocusedTextSelected(const Dialog& dialog) const;
  const std::vector<MessageRecord>& Messages() const { return messages_; }
  void ClearMessages() { messages_.clear(); }
  int UnscriptedModals() const { return unscriptedModals_; }
  uint32_t DialogBackground() const { return background_; }
  uint32_t DialogText() const { return textColor_; }

 private:
  struct Window {
    std::map<int, ControlState> controls;
    bool modalRunning = false;
    int focus = 0;
    bool focusSelected = false;
    bool ended = false;
    int result = 0;
  };
  struct Timer {
    unsigned periodMs;
    uint64_t dueMs;  // on the clock's ElapsedMs scale
  };

  Window* Find(const Dialog& dialog);
  const Window* Find(const Dialog& dialog) const;
  ControlState* FindControl(Dialog& dialog, int controlId);
  void Realise(Dialog& dialog);

  modbus::VirtualClock& clock_;
  std::map<const Dialog*, Window> windows_;
  std::map<std::pair<Dialog*, unsigned>, Timer> timers_;
  std::map<int, std::deque<ModalScript>> modalScripts_;
  MessageBoxScript messageBoxScript_;
  bool answerYes_ = true;
  std::vector<MessageRecord> messages_;
  int unscriptedModals_ = 0;
  uint32_t background_ = 0x00FFFFFF;
  uint32_t textColor_ = kBlack;
};

}  // namespace kt::ui
