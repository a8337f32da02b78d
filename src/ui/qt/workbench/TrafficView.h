// The traffic log's lines on the screen, one per row in a fixed-width font. New lines scroll the
// rows already drawn up (a copy on the screen) and only the new rows are drawn: the log costs the
// same few rows a second however much of it is in view. Rows are selected with the mouse and
// copied with Ctrl+C or the context menu.
#pragma once

#include <QAbstractScrollArea>
#include <QStringList>
#include <cstdint>

#include "ui/qt/workbench/TrafficLines.h"

namespace kt::ui::qt {

class TrafficView : public QAbstractScrollArea {
 public:
  explicit TrafficView(std::size_t capacity, QWidget* parent = nullptr);

  // Adds lines at the bottom; a reader at the newest line stays there, one who scrolled up keeps
  // the lines in view.
  void Append(const QStringList& lines);
  // Replaces every line and shows the newest.
  void Reset(const QStringList& lines);

  QString Text() const { return lines_.Text(lines_.first(), lines_.end()); }
  QString SelectedText() const;
  int LineHeight() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  int RowsInView() const;  // whole rows
  uint64_t TopLine() const;
  uint64_t LineAt(QPoint at) const;
  bool Selected(uint64_t number) const;
  void UpdateScrollRanges();
  void SelectAll();
  void CopySelection() const;

  TrafficLines lines_;
  int widestPx_ = 0;
  bool adjusting_ = false;  // the scroll bars are set by Append, which moves the rows itself
  bool hasSelection_ = false;
  uint64_t anchor_ = 0;  // selection: the line first clicked and the line the mouse is on
  uint64_t current_ = 0;
};

}  // namespace kt::ui::qt
