// Values are set on every poll: on every window host a text or colour set again draws nothing,
// while a new text, a new colour and an explicit redraw draw the control. Played in order on the
// main dialog: each step sets a control's text in the colour the dialog then gives it (red, or
// the dialog's default), or asks for a redraw, and says whether the control is drawn again.
#pragma once

#include <vector>

#include "ui/MainDialogIds.h"

namespace kt::testing {

struct RedrawStep {
  int control;
  const char* text;  // nullptr: Dialog::RedrawControl
  bool red;
  bool drawn;
};

inline const std::vector<RedrawStep>& RedrawSteps() {
  namespace main = ui::main_ids;
  static const std::vector<RedrawStep> steps = {
      {main::kLinkStateBox, "未运行", false, true},  // a new text (the box is read-only)
      {main::kLinkStateBox, "未运行", false, false},
      {main::kRunButton, "运行", false, false},  // the template's own
      {main::kRunButton, "停止", false, true},
      {main::kLinkStateBox, "未运行 ", false, true},
      {main::kLinkStateBox, "未运行 ", true, true},  // the same text in a new colour
      {main::kLinkStateBox, "未运行 ", true, false},
      {main::kLinkStateBox, nullptr, true, true},
  };
  return steps;
}

}  // namespace kt::testing
