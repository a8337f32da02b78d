// Drawing, scrolling and selecting the traffic log's rows.
#include "qt/workbench/TrafficView.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <optional>

#include "workbench/TrafficLogColours.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

constexpr int kMarginPx = 4;
constexpr int kGapChars = 2;  // between two columns

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

// A line's columns in their order on the screen.
std::array<QString, TrafficView::kColumnCount> ColumnTexts(const workbench::TrafficLine& line) {
  const workbench::TrafficColumns c = line.Columns();
  return {FromUtf8(c.time),     FromUtf8(c.direction), FromUtf8(c.address),
          FromUtf8(c.function), FromUtf8(c.reading),   FromUtf8(c.hex)};
}

QColor ColourOf(const workbench::TrafficLine& line) {
  const workbench::Rgb rgb = workbench::ColourOf(workbench::RoleOf(line));
  return {rgb.red, rgb.green, rgb.blue};
}

// The keys that move the caret; with Ctrl, Home and End mean the same.
std::optional<workbench::LogMove> MoveOf(int key) {
  switch (key) {
    case Qt::Key_Up:
      return workbench::LogMove::Up;
    case Qt::Key_Down:
      return workbench::LogMove::Down;
    case Qt::Key_PageUp:
      return workbench::LogMove::PageUp;
    case Qt::Key_PageDown:
      return workbench::LogMove::PageDown;
    case Qt::Key_Home:
      return workbench::LogMove::First;
    case Qt::Key_End:
      return workbench::LogMove::Last;
    default:
      return std::nullopt;
  }
}

}  // namespace

TrafficView::TrafficView(const workbench::TrafficLog& log, QWidget* parent)
    : QAbstractScrollArea(parent), filter_(log) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  viewport()->setCursor(Qt::IBeamCursor);
  horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);

  auto* copy = new QAction(QString::fromUtf8(workbench::kCopyText), this);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(copy, &QAction::triggered, this, [this] { CopySelection(); });
  auto* all = new QAction(QString::fromUtf8(workbench::kSelectAllText), this);
  all->setShortcut(QKeySequence::SelectAll);
  all->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(all, &QAction::triggered, this, [this] { SelectAll(); });
  // The scroll area, not its viewport, decides on a context menu for the rows.
  addActions({copy, all});
  setContextMenuPolicy(Qt::ActionsContextMenu);
  setFocusPolicy(Qt::StrongFocus);
}

bool TrafficView::Kept(uint64_t number) const {
  return filter_.Kept(number);
}

std::array<int, TrafficView::kColumnCount> TrafficView::ColumnStarts() const {
  const QFontMetrics m = fontMetrics();
  const int gap = m.horizontalAdvance(QLatin1Char(' ')) * kGapChars;
  const std::array<int, kColumnCount - 1> widths = {
      m.horizontalAdvance(QStringLiteral("00:00:00.000")),
      std::max(m.horizontalAdvance(QStringLiteral("丢弃")),
               m.horizontalAdvance(QStringLiteral("串口"))),
      m.horizontalAdvance(QStringLiteral("255")),
      m.horizontalAdvance(QStringLiteral("00")),
      readingPx_,
  };
  std::array<int, kColumnCount> starts{};
  starts[0] = kMarginPx;
  for (size_t i = 0; i < widths.size(); ++i) starts[i + 1] = starts[i] + widths[i] + gap;
  return starts;
}

bool TrafficView::Measure(uint64_t from, uint64_t to) {
  const int readingBefore = readingPx_;
  for (uint64_t n = std::max(from, filter_.First()); n < std::min(to, filter_.End()); ++n) {
    if (!filter_.Kept(n)) continue;
    const auto texts = ColumnTexts(filter_.Line(n));
    // A line without bytes (a port event, a missed reply) may run on into the byte column: a
    // long reason must not push every line's bytes out of sight.
    const int readingPx = fontMetrics().horizontalAdvance(texts[4]);
    if (texts[5].isEmpty()) {
      loneReadingPx_ = std::max(loneReadingPx_, readingPx);
    } else {
      readingPx_ = std::max(readingPx_, readingPx);
    }
    hexPx_ = std::max(hexPx_, fontMetrics().horizontalAdvance(texts[5]));
  }
  return readingPx_ != readingBefore;
}

QString TrafficView::Text(uint64_t from, uint64_t to) const {
  return FromUtf8(filter_.Text(std::max(from, first_), std::min(to, end_)));
}

int TrafficView::LineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

int TrafficView::RowsInView() const {
  return std::max(1, viewport()->height() / LineHeight());
}

uint64_t TrafficView::TopLine() const {
  return first_ + static_cast<uint64_t>(verticalScrollBar()->value());
}

uint64_t TrafficView::LineAt(QPoint at) const {
  const int row = std::max(0, at.y()) / LineHeight();
  const uint64_t number = TopLine() + static_cast<uint64_t>(row);
  return first_ == end_ ? first_ : std::min(number, end_ - 1);
}

void TrafficView::UpdateScrollRanges() {
  const int lines = static_cast<int>(end_ - first_);
  verticalScrollBar()->setRange(0, std::max(0, lines - RowsInView()));
  verticalScrollBar()->setPageStep(RowsInView());
  const auto starts = ColumnStarts();
  const int contentWidth = std::max(starts[5] + hexPx_, starts[4] + loneReadingPx_) + kMarginPx;
  horizontalScrollBar()->setRange(0, std::max(0, contentWidth - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void TrafficView::ShowNewLines() {
  if (!filter_.Update()) {
    // An error's request went before lines already shown: all rows move, and a selection
    // would now name other lines.
    selection_.Clear();
    const bool wasAtNewest = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    first_ = filter_.First();
    end_ = filter_.End();
    Measure(first_, end_);
    adjusting_ = true;
    UpdateScrollRanges();
    if (wasAtNewest) verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    adjusting_ = false;
    viewport()->update();
    return;
  }
  if (filter_.End() == end_ && filter_.First() == first_) return;
  QScrollBar* bar = verticalScrollBar();
  const bool atNewest = bar->value() >= bar->maximum();
  const uint64_t topBefore = TopLine();
  const uint64_t endBefore = end_;
  first_ = filter_.First();
  end_ = filter_.End();
  selection_.Keep(first_, end_);
  const bool widened = Measure(std::max(endBefore, first_), end_);

  adjusting_ = true;
  UpdateScrollRanges();
  const uint64_t wantedTop = atNewest ? first_ + static_cast<uint64_t>(bar->maximum()) : topBefore;
  bar->setValue(static_cast<int>(std::max(wantedTop, first_) - first_));
  adjusting_ = false;

  // Move the rows already drawn by as many lines as the top moved; draw only the rows of the
  // new lines that are in view.
  const uint64_t top = TopLine();
  const int h = LineHeight();
  const uint64_t rows = static_cast<uint64_t>(RowsInView()) + 1;  // and the partly shown last
  const uint64_t shift = top > topBefore ? top - topBefore : 0;
  if (widened || shift >= rows || top < topBefore) {
    viewport()->update();
    return;
  }
  if (shift > 0) viewport()->scroll(0, -static_cast<int>(shift) * h);
  const uint64_t firstRow = endBefore > top ? endBefore - top : 0;
  const uint64_t endRow = std::min(rows, end_ - top);
  if (firstRow < endRow) {
    viewport()->update(0, static_cast<int>(firstRow) * h, viewport()->width(),
                       static_cast<int>(endRow - firstRow) * h);
  }
}

void TrafficView::Reset(workbench::TrafficChoice choice) {
  filter_.Choose(choice);
  first_ = filter_.First();
  end_ = filter_.End();
  selection_.Keep(first_, end_);  // the lines chosen anew: nothing selected
  readingPx_ = 0;
  loneReadingPx_ = 0;
  hexPx_ = 0;
  Measure(first_, end_);
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
  const int scrolled = horizontalScrollBar()->value();
  const std::array<int, kColumnCount> starts = ColumnStarts();
  const QRect area = event->rect();
  for (int row = area.top() / h; row <= area.bottom() / h; ++row) {
    const uint64_t number = TopLine() + static_cast<uint64_t>(row);
    if (number >= end_) break;
    if (!Kept(number)) continue;  // dropped by the log since the last lines were shown
    const workbench::TrafficLine& line = filter_.Line(number);
    const bool selected = selection_.Selected(number);
    if (selected) painter.fillRect(0, row * h, viewport()->width(), h, palette().highlight());
    painter.setPen(selected ? palette().highlightedText().color() : ColourOf(line));
    const auto texts = ColumnTexts(line);
    for (size_t c = 0; c < texts.size(); ++c) {
      if (!texts[c].isEmpty()) painter.drawText(starts[c] - scrolled, row * h + ascent, texts[c]);
    }
  }
}

void TrafficView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || first_ == end_) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  selection_.Click(LineAt(event->position().toPoint()),
                   (event->modifiers() & Qt::ShiftModifier) != 0);
  viewport()->update();
}

void TrafficView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !selection_.Any()) return;
  const uint64_t line = LineAt(event->position().toPoint());
  if (line == selection_.Caret()) return;
  selection_.DragTo(line);
  viewport()->update();
}

void TrafficView::keyPressEvent(QKeyEvent* event) {
  const std::optional<workbench::LogMove> move = MoveOf(event->key());
  if (!move) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
  if (selection_.Move(*move, shift, TopLine(), static_cast<uint64_t>(RowsInView()))) {
    ScrollToCaret();
    viewport()->update();
  }
  event->accept();
}

void TrafficView::ScrollToCaret() {
  const uint64_t caret = selection_.Caret();
  const auto rows = static_cast<uint64_t>(RowsInView());
  QScrollBar* bar = verticalScrollBar();
  if (caret < TopLine()) {
    bar->setValue(static_cast<int>(caret - first_));
  } else if (caret >= TopLine() + rows) {
    bar->setValue(static_cast<int>(caret + 1 - rows - first_));
  }
}

void TrafficView::SelectAll() {
  selection_.SelectAll();
  viewport()->update();
}

QString TrafficView::SelectedText() const {
  return FromUtf8(filter_.SelectedText(selection_));
}

void TrafficView::CopySelection() const {
  const QString text = SelectedText();
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

}  // namespace kt::ui::qt
