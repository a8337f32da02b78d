// The traffic log's lines on the screen, one per row in a fixed-width font, in columns: time,
// direction, slave address, function, reading, then the bytes; coloured by what each line is
// (the core's colour table). New lines scroll the rows already drawn up (a copy on the screen)
// and only the new rows are drawn: the log costs the same few rows a second however much of it
// is in view. Rows are selected with the mouse or the keys (the arrows, the page keys, Home and
// End, with Shift to extend; the core's LogSelection) and copied with Ctrl+C or the context menu
// ("复制", "全选"), as tab-separated columns. The lines are the traffic log's own: the view keeps
// only which numbers it shows.
#pragma once

#include <QAbstractScrollArea>
#include <array>
#include <cstdint>
#include <vector>

#include "workbench/LogSelection.h"
#include "workbench/TrafficLog.h"
#include "workbench/TrafficLogFilter.h"

namespace kt::ui::qt {

class TrafficView : public QAbstractScrollArea {
 public:
  explicit TrafficView(const workbench::TrafficLog& log, QWidget* parent = nullptr);

  // Shows the lines the log added since; a reader at the newest line stays there, one who
  // scrolled up keeps the lines in view.
  void ShowNewLines();
  // Shows the log's lines anew as chosen (all or the errors with their requests, any slave
  // address or one) and scrolls to the newest.
  void Reset(workbench::TrafficChoice choice);
  // The log's numbers of the lines this view shows.
  std::vector<uint64_t> ShownNumbers() const { return filter_.LogNumbers(); }

  QString Text() const { return Text(first_, end_); }
  QString SelectedText() const;
  int LineHeight() const;
  // Where each column starts, from the left edge of the rows (before scrolling).
  static constexpr int kColumnCount = 6;
  std::array<int, kColumnCount> ColumnStarts() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Lines [from, to) joined by '\n'; the ones the log dropped since are left out.
  QString Text(uint64_t from, uint64_t to) const;
  bool Kept(uint64_t number) const;
  // Widens the reading and byte columns for lines [from, to); true when the readings widened.
  bool Measure(uint64_t from, uint64_t to);
  int RowsInView() const;  // whole rows
  uint64_t TopLine() const;
  uint64_t LineAt(QPoint at) const;
  void UpdateScrollRanges();
  void ScrollToCaret();
  void SelectAll();
  void CopySelection() const;

  workbench::TrafficLogFilter filter_;
  uint64_t first_ = 0;  // the filter's numbers of the lines shown: [first_, end_)
  uint64_t end_ = 0;
  int readingPx_ = 0;       // the widest reading of a line with bytes so far
  int loneReadingPx_ = 0;   // the widest reading of a line without bytes
  int hexPx_ = 0;           // the widest bytes
  bool adjusting_ = false;  // the scroll bars are set by Append, which moves the rows itself
  workbench::LogSelection selection_;
};

}  // namespace kt::ui::qt
