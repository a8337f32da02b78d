// What both views of the traffic log decide alike: the selection moved by the mouse and the keys
// at the edges of what is shown (the log trimmed while a selection exists among them), and the
// slave-address filter as it is shown and typed.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "workbench/LogSelection.h"
#include "workbench/TrafficLogFilter.h"

namespace {

using kt::workbench::LogMove;
using kt::workbench::LogSelection;
using Act = std::function<void(LogSelection&)>;

// The view shows lines 100..109 (the log dropped the older ones), lines 104..107 in view.
constexpr uint64_t kFirst = 100;
constexpr uint64_t kEnd = 110;
constexpr uint64_t kTop = 104;
constexpr uint64_t kPage = 4;
constexpr int kNone = -1;

Act Key(LogMove move, bool shift = false, uint64_t page = kPage) {
  return [=](LogSelection& s) { s.Move(move, shift, kTop, page); };
}
Act Keep(uint64_t first, uint64_t end) {
  return [=](LogSelection& s) { s.Keep(first, end); };
}
Act Click(uint64_t number) {
  return [=](LogSelection& s) { s.Click(number, false); };
}

TEST(LogSelection, KeysAndTheMouseStayWithinTheLinesShown) {
  struct Case {
    const char* what;
    int anchor;  // the selection before (kNone: nothing selected), from anchor to caret
    int caret;
    std::vector<Act> acts;
    int low;  // kNone: nothing selected after
    int high;
    int caretAfter;
  };
  const Case cases[] = {
      {"Down on the last line", 109, 109, {Key(LogMove::Down)}, 109, 109, 109},
      {"Up on the first line", 100, 100, {Key(LogMove::Up)}, 100, 100, 100},
      {"Down within", 105, 105, {Key(LogMove::Down)}, 106, 106, 106},
      {"Shift+Down twice",
       105,
       105,
       {Key(LogMove::Down, true), Key(LogMove::Down, true)},
       105,
       107,
       107},
      {"Shift+Up past the anchor",
       105,
       106,
       {Key(LogMove::Up, true), Key(LogMove::Up, true)},
       104,
       105,
       104},
      {"Down after Shift drops the rest", 103, 106, {Key(LogMove::Down)}, 107, 107, 107},
      {"PgDn a page short of the end", 105, 105, {Key(LogMove::PageDown)}, 109, 109, 109},
      {"PgDn past the end", 108, 108, {Key(LogMove::PageDown)}, 109, 109, 109},
      {"PgUp by a page", 108, 108, {Key(LogMove::PageUp)}, 104, 104, 104},
      {"PgUp past the first", 103, 103, {Key(LogMove::PageUp)}, 100, 100, 100},
      {"a page larger than the log, up",
       105,
       105,
       {Key(LogMove::PageUp, false, 50)},
       100,
       100,
       100},
      {"a page larger than the log, Shift down",
       105,
       105,
       {Key(LogMove::PageDown, true, 50)},
       105,
       109,
       109},
      {"Ctrl+Shift+Home", 105, 105, {Key(LogMove::First, true)}, 100, 105, 100},
      {"Ctrl+Shift+End", 105, 102, {Key(LogMove::Last, true)}, 105, 109, 109},
      {"Down with nothing selected: the top line in view",
       kNone,
       0,
       {Key(LogMove::Down)},
       104,
       104,
       104},
      {"Shift+PgUp with nothing selected", kNone, 0, {Key(LogMove::PageUp, true)}, 104, 104, 104},
      {"End with nothing selected", kNone, 0, {Key(LogMove::Last)}, 109, 109, 109},
      {"Shift+click with nothing selected",
       kNone,
       0,
       {[](LogSelection& s) { s.Click(107, true); }},
       107,
       107,
       107},
      {"Shift+click after a click",
       102,
       102,
       {[](LogSelection& s) { s.Click(107, true); }},
       102,
       107,
       107},
      {"dragged below the last line",
       105,
       105,
       {[](LogSelection& s) { s.DragTo(200); }},
       105,
       109,
       109},
      {"an empty log takes no key", kNone, 0, {Keep(110, 110), Key(LogMove::Last)}, kNone, 0, 0},
      {"an empty log selects nothing at all",
       kNone,
       0,
       {Keep(110, 110), [](LogSelection& s) { s.SelectAll(); }},
       kNone,
       0,
       0},
      {"trimmed below the anchor: the rest kept", 101, 105, {Keep(103, 113)}, 103, 105, 105},
      {"trimmed below the caret, then Shift+Down",
       105,
       101,
       {Keep(103, 113), Key(LogMove::Down, true)},
       104,
       105,
       104},
      {"trimmed past the whole selection", 100, 102, {Keep(103, 113)}, kNone, 0, 0},
      {"trimmed, Shift+Home reaches the new first",
       105,
       105,
       {Keep(103, 113), Key(LogMove::First, true)},
       103,
       105,
       103},
      {"the log cleared", 100, 109, {Keep(110, 110)}, kNone, 0, 0},
      {"a fresh log: PgUp near line 0",
       kNone,
       0,
       {Keep(0, 10), Click(2), Key(LogMove::PageUp)},
       0,
       0,
       0},
      {"a fresh log: Up on line 0",
       kNone,
       0,
       {Keep(0, 10), Click(0), Key(LogMove::Up, true)},
       0,
       0,
       0},
  };
  for (const Case& c : cases) {
    LogSelection s;
    s.Keep(kFirst, kEnd);
    if (c.anchor != kNone) {
      s.Click(static_cast<uint64_t>(c.anchor), false);
      s.Click(static_cast<uint64_t>(c.caret), true);
    }
    for (const Act& act : c.acts) act(s);
    ASSERT_EQ(s.Any(), c.low != kNone) << c.what;
    if (c.low == kNone) continue;
    EXPECT_EQ(s.Low(), static_cast<uint64_t>(c.low)) << c.what;
    EXPECT_EQ(s.High(), static_cast<uint64_t>(c.high)) << c.what;
    EXPECT_EQ(s.Caret(), static_cast<uint64_t>(c.caretAfter)) << c.what;
    EXPECT_FALSE(s.Selected(static_cast<uint64_t>(c.low) - 1)) << c.what;
    EXPECT_FALSE(s.Selected(static_cast<uint64_t>(c.high) + 1)) << c.what;
  }
}

TEST(AddressChoice, ShownAndTypedAsInBothFrontEnds) {
  struct Case {
    const char* typed;
    std::optional<int> chosen;
  };
  const Case cases[] = {
      {"全部地址", -1}, {"0", 0},         {"地址 0", 0}, {"7", 7},   {"地址 255", 255},
      {"256", {}},      {"地址 256", {}}, {"-1", {}},    {"", {}},   {"地址 ", {}},
      {"7x", {}},       {"地址7", {}},    {"全部", {}},  {" 7", {}}, {"99999999999", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(kt::workbench::ParseAddressChoice(c.typed), c.chosen) << c.typed;
  // Each choice reads back as itself: the prefix and the number, or the words for all.
  for (int a = -1; a <= 255; ++a) {
    const std::string shown = kt::workbench::AddressChoiceText(a);
    EXPECT_EQ(shown, a < 0 ? std::string("全部地址") : "地址 " + std::to_string(a));
    EXPECT_EQ(kt::workbench::ParseAddressChoice(shown), a);
  }
  struct Step {
    int from;
    int steps;
    int to;
  };
  for (const Step& s : {Step{-1, -1, -1}, Step{-1, 1, 0}, Step{255, 1, 255}, Step{254, 10, 255},
                        Step{0, -5, -1}, Step{3, 2147483647, 255}}) {
    EXPECT_EQ(kt::workbench::StepAddressChoice(s.from, s.steps), s.to) << s.from << s.steps;
  }
}

}  // namespace
