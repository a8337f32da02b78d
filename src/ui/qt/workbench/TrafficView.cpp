// Drawing, scrolling and selecting the traffic log's rows.
#include "ui/qt/workbench/TrafficView.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace kt::ui::qt {
namespace {

constexpr int kMarginPx = 4;

}  // namespace

TrafficView::TrafficView(std::size_t capacity, QWidget* parent)
    : QAbstractScrollArea(parent), lines_(capacity) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);

  auto* copy = new QAction(QStringLiteral("复制"), this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(copy, &QAction::triggered, this, [this] { CopySelection(); });
  auto* all = new QAction(QStringLiteral("全选"), this);
  all->setShortcut(QKeySequence::SelectAll);
  all->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(all, &QAction::triggered, this, [this] { SelectAll(); });
  addActions({copy, all});
  viewport()->addActions({copy, all});
  viewport()->setContextMenuPolicy(Qt::ActionsContextMenu);
  setFocusPolicy(Qt::StrongFocus);
}

int TrafficView::LineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

int TrafficView::RowsInView() const {
  return std::max(1, viewport()->height() / LineHeight());
}

uint64_t TrafficView::TopLine() const {
  return lines_.first() + static_cast<uint64_t>(verticalScrollBar()->value());
}

uint64_t TrafficView::LineAt(QPoint at) const {
  const int row = std::max(0, at.y()) / LineHeight();
  const uint64_t number = TopLine() + static_cast<uint64_t>(row);
  return lines_.size() == 0 ? lines_.first() : std::min(number, lines_.end() - 1);
}

bool TrafficView::Selected(uint64_t number) const {
  return hasSelection_ && number >= std::min(anchor_, current_) &&
         number <= std::max(anchor_, current_);
}

void TrafficView::UpdateScrollRanges() {
  const int lines = static_cast<int>(lines_.size());
  verticalScrollBar()->setRange(0, std::max(0, lines - RowsInView()));
  verticalScrollBar()->setPageStep(RowsInView());
  const int contentWidth = widestPx_ + 2 * kMarginPx;
  horizontalScrollBar()->setRange(0, std::max(0, contentWidth - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void TrafficView::Append(const QStringList& added) {
  if (added.isEmpty()) return;
  QScrollBar* bar = verticalScrollBar();
  const bool atNewest = bar->value() >= bar->maximum();
  const uint64_t topBefore = TopLine();
  const uint64_t endBefore = lines_.end();
  lines_.Append(added);
  for (const QString& line : added) {
    widestPx_ = std::max(widestPx_, fontMetrics().horizontalAdvance(line));
  }

  adjusting_ = true;
  UpdateScrollRanges();
  const uint64_t wantedTop =
      atNewest ? lines_.first() + static_cast<uint64_t>(bar->maximum()) : topBefore;
  bar->setValue(static_cast<int>(std::max(wantedTop, lines_.first()) - lines_.first()));
  adjusting_ = false;

  // Move the rows already drawn by as many lines as the top moved; draw only the rows of the
  // new lines that are in view.
  const uint64_t top = TopLine();
  const int h = LineHeight();
  const uint64_t rows = static_cast<uint64_t>(RowsInView()) + 1;  // and the partly shown last
  const uint64_t shift = top > topBefore ? top - topBefore : 0;
  if (shift >= rows || top < topBefore) {
    viewport()->update();
    return;
  }
  if (shift > 0) viewport()->scroll(0, -static_cast<int>(shift) * h);
  const uint64_t firstRow = endBefore > top ? endBefore - top : 0;
  const uint64_t endRow = std::min(rows, lines_.end() - top);
  if (firstRow < endRow) {
    viewport()->update(0, static_cast<int>(firstRow) * h, viewport()->width(),
                       static_cast<int>(endRow - firstRow) * h);
  }
}

void TrafficView::Reset(const QStringList& lines) {
  hasSelection_ = false;
  lines_.Reset(lines);
  widestPx_ = 0;
  for (const QString& line : lines) {
    widestPx_ = std::max(widestPx_, fontMetrics().horizontalAdvance(line));
  }
  adjusting_ = true;
  UpdateScrollRanges();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  adjusting_ = false;
  viewport()->update();
}

void TrafficView::scrollContentsBy(int dx, int dy) {
  if (adjusting_) return;
  viewport()->scroll(dx, dy * LineHeight());
}

void TrafficView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  QScrollBar* bar = verticalScrollBar();
  const bool atNewest = bar->value() >= bar->maximum();
  adjusting_ = true;
  UpdateScrollRanges();
  if (atNewest) bar->setValue(bar->maximum());
  adjusting_ = false;
  viewport()->update();
}

void TrafficView::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  const int h = LineHeight();
  const int ascent = fontMetrics().ascent();
  const int x = kMarginPx - horizontalScrollBar()->value();
  const QRect area = event->rect();
  for (int row = area.top() / h; row <= area.bottom() / h; ++row) {
    const uint64_t number = TopLine() + static_cast<uint64_t>(row);
    if (number >= lines_.end()) break;
    const bool selected = Selected(number);
    if (selected) painter.fillRect(0, row * h, viewport()->width(), h, palette().highlight());
    painter.setPen(selected ? palette().highlightedText().color() : palette().text().color());
    painter.drawText(x, row * h + ascent, lines_.Line(number));
  }
}

void TrafficView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || lines_.size() == 0) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  current_ = LineAt(event->position().toPoint());
  if (!(hasSelection_ && (event->modifiers() & Qt::ShiftModifier))) anchor_ = current_;
  hasSelection_ = true;
  viewport()->update();
}

void TrafficView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !hasSelection_) return;
  const uint64_t line = LineAt(event->position().toPoint());
  if (line == current_) return;
  current_ = line;
  viewport()->update();
}

void TrafficView::SelectAll() {
  if (lines_.size() == 0) return;
  hasSelection_ = true;
  anchor_ = lines_.first();
  current_ = lines_.end() - 1;
  viewport()->update();
}

QString TrafficView::SelectedText() const {
  if (!hasSelection_) return {};
  return lines_.Text(std::min(anchor_, current_), std::max(anchor_, current_) + 1);
}

void TrafficView::CopySelection() const {
  const QString text = SelectedText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

}  // namespace kt::ui::qt
