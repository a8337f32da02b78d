// The lines a user picked in a view of the traffic log: from an anchor (where the selection
// started) to a caret (where the mouse or the keys took it), both by the filter's numbers, which
// stay put while the log drops its oldest lines. Both front ends keep their selection here, so a
// click, a drag, the arrows, the page keys and Home/End mean the same on each.
#pragma once

#include <cstdint>

namespace kt::workbench {

// What a key asks of the caret. Home and Ctrl+Home both go to the first line, End and Ctrl+End
// to the last.
enum class LogMove { Up, Down, PageUp, PageDown, First, Last };

class LogSelection {
 public:
  // The view shows numbers [first, end) from now on: a selection whose lines are all gone is
  // gone, one partly gone keeps the lines still shown.
  void Keep(uint64_t first, uint64_t end);
  void Clear() { any_ = false; }
  void SelectAll();
  // A click on `number`: it alone is selected, or with `extend` (Shift) the lines from the
  // anchor to it.
  void Click(uint64_t number, bool extend);
  // The mouse dragged with its button held over `number`: the selection reaches to it.
  void DragTo(uint64_t number);
  // A key moves the caret and selects its line alone, or with `extend` (Shift) the lines from
  // the anchor to it. A page is `page` lines. Without a selection an arrow or a page key first
  // selects `top`, the first line in view. Returns false when nothing is shown.
  bool Move(LogMove move, bool extend, uint64_t top, uint64_t page);

  bool Any() const { return any_; }
  uint64_t Caret() const { return caret_; }
  // The first and the last line selected.
  uint64_t Low() const { return anchor_ < caret_ ? anchor_ : caret_; }
  uint64_t High() const { return anchor_ < caret_ ? caret_ : anchor_; }
  bool Selected(uint64_t number) const { return any_ && number >= Low() && number <= High(); }

 private:
  uint64_t Within(uint64_t number) const;
  // Where `move` takes a caret at `from`, before it is held within the lines.
  uint64_t Target(LogMove move, uint64_t from, uint64_t page) const;

  uint64_t first_ = 0;
  uint64_t end_ = 0;
  bool any_ = false;
  uint64_t anchor_ = 0;
  uint64_t caret_ = 0;
};

}  // namespace kt::workbench
