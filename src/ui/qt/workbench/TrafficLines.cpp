// The traffic view's bounded, numbered lines.
#include "ui/qt/workbench/TrafficLines.h"

#include <algorithm>

namespace kt::ui::qt {

TrafficLines::TrafficLines(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1)) {}

void TrafficLines::Append(const QStringList& lines) {
  // Of the new lines only the newest `capacity_` can stay.
  const auto adding =
      static_cast<qsizetype>(std::min(static_cast<std::size_t>(lines.size()), capacity_));
  const std::size_t skipped = static_cast<std::size_t>(lines.size() - adding);
  lines_.insert(lines_.end(), lines.end() - adding, lines.end());
  const std::size_t dropping = lines_.size() > capacity_ ? lines_.size() - capacity_ : 0;
  lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(dropping));
  first_ += dropping + skipped;
}

void TrafficLines::Reset(const QStringList& lines) {
  first_ = end();
  lines_.clear();
  Append(lines);
}

QString TrafficLines::Text(uint64_t from, uint64_t to) const {
  QStringList joined;
  for (uint64_t n = std::max(from, first_); n < std::min(to, end()); ++n) joined << Line(n);
  return joined.join(QLatin1Char('\n'));
}

}  // namespace kt::ui::qt
