// What a user's keys and clicks in a running dialog come to, the same on every window host: each
// case a dialog of the program, the control the user acts on, what he does, the commands the
// dialog is sent (it keeps itself open) and the control's text afterwards. Each host's test plays
// them through its own toolkit.
#pragma once

#include <vector>

#include "commands/AddrDialogIds.h"
#include "commands/AddrDialogTemplate.h"
#include "ui/CommSetDialogIds.h"
#include "ui/CommSetDialogTemplate.h"
#include "ui/FindMeterDialogIds.h"
#include "ui/FindMeterDialogTemplate.h"
#include "ui/MainDialogIds.h"
#include "ui/MainDialogTemplate.h"

namespace kt::testing {

enum class UserInput {
  Click,
  Enter,     // with the focus on the control
  Escape,    // with the focus on the control
  CloseBox,  // the window's, whatever the control
  // The control's text set to "0" as the dialog opens, then a digit typed: the dialog focuses the
  // control itself, or leaves the focus to the dialog manager (the first tab stop).
  DigitOverTheFocusedText,
  DigitOverTheFirstTabStop,
};

// The digit typed and what the control holds before; no command sent.
inline constexpr char kTypedDigit[] = "5";
inline constexpr char kTextAtStart[] = "0";
inline constexpr int kNoCommand = 0;

struct HostInputCase {
  const char* what;
  const ui::DialogTemplate& (*dialog)();
  int control;
  UserInput input;
  int command;                      // the one command the dialog is sent
  const char* textAfter = nullptr;  // nullptr: not looked at
  bool checkedAfter = false;        // a check box or radio button checked
};

inline const std::vector<HostInputCase>& HostInputCases() {
  using ui::MainDialogTemplate;
  namespace main = ui::main_ids;
  static const std::vector<HostInputCase> cases = {
      {"Enter without a default button is OK", &MainDialogTemplate, main::kSlaveAddressEdit,
       UserInput::Enter, ui::IDOK},
      {"Enter in the read-only echo box is OK too", &MainDialogTemplate, main::kReceiveEcho,
       UserInput::Enter, ui::IDOK},
      {"Escape is Cancel", &MainDialogTemplate, main::kSlaveAddressEdit, UserInput::Escape,
       ui::IDCANCEL},
      {"Enter on a push button presses it", &MainDialogTemplate, main::kRunButton, UserInput::Enter,
       main::kRunButton},
      {"the close box is Cancel", &MainDialogTemplate, main::kRunButton, UserInput::CloseBox,
       ui::IDCANCEL},
      {"Enter presses the default button", &ui::FindMeterDialogTemplate,
       ui::find_meter_ids::kOnlyCurrentPort, UserInput::Enter, ui::find_meter_ids::kUseButton},
      {"a radio button clicked is checked and sent", &ui::CommSetDialogTemplate,
       ui::comm_set_ids::kBaud4800Radio, UserInput::Click, ui::comm_set_ids::kBaud4800Radio,
       nullptr, true},
      {"a digit replaces the text the dialog focused", &ui::AddrDialogTemplate,
       ui::addr_ids::kNewAddressEdit, UserInput::DigitOverTheFocusedText, kNoCommand, kTypedDigit},
      {"a digit replaces the first tab stop's text", &MainDialogTemplate, main::kSlaveAddressEdit,
       UserInput::DigitOverTheFirstTabStop, kNoCommand, kTypedDigit},
  };
  return cases;
}

}  // namespace kt::testing
