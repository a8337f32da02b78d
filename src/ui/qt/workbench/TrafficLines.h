// The traffic log's lines as the view shows them: appended in batches, the oldest dropped beyond
// the log's capacity. Lines are numbered from the first ever added, so a number keeps naming the
// same line while older ones are dropped.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>

namespace kt::ui::qt {

class TrafficLines {
 public:
  explicit TrafficLines(std::size_t capacity);

  // Adds the lines at the end and drops the oldest beyond the capacity.
  void Append(const QStringList& lines);
  // Replaces every line (the filter changed, or the log was cleared); numbering goes on.
  void Reset(const QStringList& lines);

  std::size_t size() const { return lines_.size(); }
  uint64_t first() const { return first_; }  // the number of the oldest line kept
  uint64_t end() const { return first_ + lines_.size(); }
  const QString& Line(uint64_t number) const { return lines_[number - first_]; }
  // Lines [from, to) joined by '\n'.
  QString Text(uint64_t from, uint64_t to) const;

 private:
  std::size_t capacity_;
  uint64_t first_ = 0;
  std::deque<QString> lines_;
};

}  // namespace kt::ui::qt
