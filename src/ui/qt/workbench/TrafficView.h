// The traffic log's lines on the screen, one per row in a fixed-width font. New lines scroll the
// rows already drawn up (a copy on the screen) and only the new rows are drawn: the log costs the
// same few rows a second however much of it is in view. Rows are selected with the mouse and
// copied with Ctrl+C or the context menu. The lines are the traffic log's own: the view keeps
// only which numbers it shows.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>

#include "workbench/TrafficLog.h"

namespace kt::ui::qt {

class TrafficView : public QAbstractScrollArea {
 public:
  explicit TrafficView(const workbench::TrafficLog& log, QWidget* parent = nullptr);

  // Shows the lines the log added since; a reader at the newest line stays there, one who
  // scrolled up keeps the lines in view.
  void ShowNewLines();
  // Shows the log's lines anew, all or only the errors, and scrolls to the newest.
  void Reset(bool errorsOnly);

  QString Text() const { return Text(first_, end_); }
  QString SelectedText() const;
  int LineHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // Lines [from, to) joined by '\n'; the ones the log dropped since are left out.
  QString Text(uint64_t from, uint64_t to) const;
  QString Line(uint64_t number) const;
  bool Kept(uint64_t number) const;
  int RowsInView() const;  // whole rows
  uint64_t TopLine() const;
  uint64_t LineAt(QPoint at) const;
  bool Selected(uint64_t number) const;
  void UpdateScrollRanges();
  void SelectAll();
  void CopySelection() const;

  const workbench::TrafficLog& log_;
  bool errorsOnly_ = false;
  uint64_t first_ = 0;  // the numbers of the lines shown: [first_, end_)
  uint64_t end_ = 0;
  int widestPx_ = 0;
  bool adjusting_ = false;  // the scroll bars are set by Append, which moves the rows itself
  bool hasSelection_ = false;
  uint64_t anchor_ = 0;  // selection: the line first clicked and the line the mouse is on
  uint64_t current_ = 0;
};

}  // namespace kt::ui::qt
