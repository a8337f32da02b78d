// The traffic log's selection: the caret moved by keys and the mouse, held within the lines shown.
#include "workbench/LogSelection.h"

#include <algorithm>

namespace kt::workbench {

uint64_t LogSelection::Within(uint64_t number) const {
  return std::clamp(number, first_, end_ - 1);
}

void LogSelection::Keep(uint64_t first, uint64_t end) {
  first_ = first;
  end_ = std::max(first, end);
  if (!any_) return;
  if (first_ == end_ || High() < first_ || Low() >= end_) {
    any_ = false;
    return;
  }
  anchor_ = Within(anchor_);
  caret_ = Within(caret_);
}

void LogSelection::SelectAll() {
  any_ = first_ < end_;
  anchor_ = first_;
  caret_ = end_ - 1;
}

void LogSelection::Click(uint64_t number, bool extend) {
  if (first_ == end_) return;
  caret_ = Within(number);
  if (!(extend && any_)) anchor_ = caret_;
  any_ = true;
}

void LogSelection::DragTo(uint64_t number) {
  if (any_) caret_ = Within(number);
}

bool LogSelection::Move(LogMove move, bool extend, uint64_t top, uint64_t page) {
  if (first_ == end_) return false;
  const uint64_t from = any_ ? caret_ : Within(top);
  const uint64_t room = std::max<uint64_t>(page, 1);
  uint64_t to = from;
  switch (move) {
    case LogMove::Up:
      to = from > first_ ? from - 1 : first_;
      break;
    case LogMove::Down:
      to = from + 1;
      break;
    case LogMove::PageUp:
      to = from - first_ > room ? from - room : first_;
      break;
    case LogMove::PageDown:
      to = from + room;  // held within the lines by Click
      break;
    case LogMove::First:
      to = first_;
      break;
    case LogMove::Last:
      to = end_ - 1;
      break;
  }
  // Without a selection the first step of the caret is onto the top line in view.
  if (!any_ && move != LogMove::First && move != LogMove::Last) to = from;
  Click(to, extend);
  return true;
}

}  // namespace kt::workbench
