// What both views of the traffic log decide alike: the selection moved by the mouse and the keys
// at the edges of what is shown (the log trimmed while a selection exists among them), and the
// slave-address filter as it is shown and typed.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "workbench/LogSelection.h"
#include "workbench/TrafficLogFilter.h"

namespace {

using kt::workbench::LogMove;

// Runs `script` on a view of lines 100..109 (the log dropped the older ones), 104..107 in view,
// and tells the selection as "low-high@caret" or "none". Steps: c5 click line 5, s5 Shift+click,
// g5 drag, k3-9 the view shows lines [3, 9) from now on, a select all; the keys u d (arrows),
// pu pd (a page of 4), PD (a page of 50), h e (Home, End), with + for Shift.
std::string Selection(const std::string& script) {
  kt::workbench::LogSelection s;
  s.Keep(100, 110);
  std::istringstream steps(script);
  for (std::string step; steps >> step;) {
    const bool shift = step[0] == '+';
    if (shift) step.erase(0, 1);
    const auto number = [&step] { return std::stoull(step.substr(1)); };
    const std::string keys[] = {"u", "d", "pu", "pd", "h", "e", "PD"};
    const LogMove moves[] = {LogMove::Up,    LogMove::Down, LogMove::PageUp,  LogMove::PageDown,
                             LogMove::First, LogMove::Last, LogMove::PageDown};
    for (int k = 0; k < 7; ++k) {
      if (step == keys[k]) s.Move(moves[k], shift, 104, k < 6 ? 4 : 50);
    }
    if (step[0] == 'c' || step[0] == 's') s.Click(number(), step[0] == 's');
    if (step[0] == 'g') s.DragTo(number());
    if (step[0] == 'a') s.SelectAll();
    if (step[0] == 'k') s.Keep(number(), std::stoull(step.substr(step.find('-') + 1)));
  }
  if (!s.Any()) return "none";
  EXPECT_FALSE(s.Selected(s.Low() - 1) || s.Selected(s.High() + 1)) << script;
  return std::to_string(s.Low()) + "-" + std::to_string(s.High()) + "@" + std::to_string(s.Caret());
}

TEST(LogSelection, KeysAndTheMouseStayWithinTheLinesShown) {
  const std::pair<const char*, const char*> cases[] = {
      {"c109 d", "109-109@109"},           // Down on the last line
      {"c105 +d +d", "105-107@107"},       // Shift+Down extends
      {"c105 s106 +u +u", "104-105@104"},  // Shift+Up past the anchor turns
      {"c103 s106 d", "107-107@107"},      // Down after Shift drops the rest
      {"c108 pu", "104-104@104"},          // PgUp by a page
      {"c103 pu", "100-100@100"},          // PgUp past the first
      {"c105 +PD", "105-109@109"},
      {"c105 +h", "100-105@100"},                // Ctrl+Shift+Home
      {"c105 s102 +e", "105-109@109"},           // Ctrl+Shift+End from the anchor
      {"d", "104-104@104"},                      // nothing selected: the top line in view first
      {"e", "109-109@109"},                      // End goes to the last all the same
      {"s107", "107-107@107"},                   // Shift+click with nothing selected
      {"c105 g200", "105-109@109"},              // dragged below the last line
      {"k110-110 e", "none"},                    // an empty log takes no key
      {"k110-110 a", "none"},                    // nor a select all
      {"c101 s105 k103-113", "103-105@105"},     // trimmed below the anchor: the rest kept
      {"c105 s101 k103-113 +d", "104-105@104"},  // below the caret, then Shift+Down
      {"c100 s102 k103-113", "none"},            // trimmed past the whole selection
      {"c105 k103-113 +h", "103-105@103"},       // Shift+Home reaches the new first
      {"c100 s109 k110-110", "none"},            // the log cleared
      {"k0-10 c2 pu", "0-0@0"},                  // a fresh log: no step below line 0
      {"k0-10 c0 +u", "0-0@0"},
  };
  for (const auto& [script, selected] : cases) EXPECT_EQ(Selection(script), selected) << script;
}

TEST(AddressChoice, ShownAndTypedAsInBothFrontEnds) {
  const std::pair<const char*, std::optional<int>> typed[] = {
      {"全部地址", -1}, {"0", 0},      {"地址 0", 0}, {"地址 255", 255},
      {"256", {}},      {"-1", {}},    {"", {}},      {"地址 ", {}},
      {"7x", {}},       {"地址7", {}}, {" 7", {}},    {"99999999999", {}}};
  for (const auto& [text, chosen] : typed) {
    EXPECT_EQ(kt::workbench::ParseAddressChoice(text), chosen) << text;
  }
  // Each choice reads back as itself: the prefix and the number, or the words for all.
  for (int a = -1; a <= 255; ++a) {
    const std::string shown = kt::workbench::AddressChoiceText(a);
    EXPECT_EQ(shown, a < 0 ? std::string("全部地址") : "地址 " + std::to_string(a));
    EXPECT_EQ(kt::workbench::ParseAddressChoice(shown), a);
  }
  const int steps[][3] = {{-1, -1, -1},   {-1, 1, 0},  {255, 1, 255},
                          {254, 10, 255}, {0, -5, -1}, {3, 2147483647, 255}};
  for (const auto& [from, by, to] : steps) {
    EXPECT_EQ(kt::workbench::StepAddressChoice(from, by), to) << from << " " << by;
  }
}

}  // namespace
