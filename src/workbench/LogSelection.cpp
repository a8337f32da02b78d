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

uint64_t LogSelection::Target(LogMove move, uint64_t from, uint64_t page) const {
  switch (move) {
    case LogMove::Up:
      return from > first_ ? from - 1 : first_;
    case LogMove::Down:
      return from + 1;  // held within the lines by Click
    case LogMove::PageUp:
      return from - first_ > page ? from - page : first_;
    case LogMove::PageDown:
      return from + page;
    case LogMove::First:
      return first_;
    case LogMove::Last:
      return end_ - 1;
  }
  return from;
}

bool LogSelection::Move(LogMove move, bool extend, uint64_t top, uint64_t page) {
  if (first_ == end_) return false;
  // Without a selection the first step of the caret is onto the top line in view.
  const bool jump = move == LogMove::First || move == LogMove::Last;
  const uint64_t from = any_ ? caret_ : Within(top);
  Click(any_ || jump ? Target(move, from, std::max<uint64_t>(page, 1)) : from, extend);
  return true;
}

}  // namespace kt::workbench
