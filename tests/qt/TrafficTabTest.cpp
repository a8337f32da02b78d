// The tab "报文" and its view on the offscreen platform: the context menu, the colours of the
// rows, the reading in sight before the bytes, new lines scrolled and painted, the keys, the
// address filter and the saved file.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Frames.h"
#include "PixelCount.h"
#include "qt/workbench/TrafficTab.h"
#include "qt/workbench/TrafficView.h"
#include "workbench/TrafficLog.h"
#include "workbench/TrafficLogColours.h"

namespace kt::ui::qt::test {
namespace {

using testing::Bytes;
using testing::ReadReply;
using testing::ReadRequest;
using values::PortEvent;
using values::PortEventKind;
using values::ReadTaken;

void Read(workbench::TrafficLog& log, const Bytes& bytes, uint8_t address, int length) {
  ReadTaken read;
  read.bytes = bytes;
  read.address = address;
  read.function = 0x03;
  read.length = length;
  read.awaited = true;
  read.verdict = modbus::CheckReply(bytes, address, 0x03, length);
  log.OnReadTaken(read);
}

// Rows 0..2: a request, its reply of a whole measurement block, a missed reply.
void ThreeRows(workbench::TrafficLog& log) {
  log.OnFrameSent(ReadRequest(1, 0x0000, 45));
  Read(log, ReadReply(1, std::vector<uint16_t>(45, 0x1234)), 1, 95);
  Read(log, {}, 1, 95);
}

TEST(TrafficView, TheContextMenuOffersCopyAndSelectAll) {
  workbench::TrafficLog log;
  ThreeRows(log);
  TrafficView view(log);
  view.resize(400, 200);
  view.show();
  view.ShowNewLines();
  QStringList offered;
  QTimer::singleShot(50, [&offered] {
    QWidget* popup = QApplication::activePopupWidget();
    if (auto* menu = qobject_cast<QMenu*>(popup)) {
      for (QAction* action : menu->actions()) offered << action->text();
      menu->close();
    }
  });
  const QPoint at(20, 5);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
  QApplication::sendEvent(view.viewport(), &click);
  EXPECT_EQ(offered, (QStringList{QStringLiteral("复制"), QStringLiteral("全选")}));
}

// Pixels of a row near the colour of a role.
int PixelsOf(const QImage& image, int row, int rowHeight, workbench::TrafficRole role) {
  const workbench::Rgb want = workbench::ColourOf(role);
  return PixelsNear(image, QRect(0, row * rowHeight, image.width(), rowHeight),
                    QColor(want.red, want.green, want.blue), 24);
}

// A request, a reply and an error each drawn in their own colour, and the reading of a whole
// block in sight without scrolling: before its 95 bytes.
TEST(TrafficView, RowsAreColouredByWhatTheyAreAndTheReadingComesFirst) {
  using workbench::TrafficRole;
  workbench::TrafficLog log;
  ThreeRows(log);
  TrafficView view(log);
  view.resize(420, 200);
  view.show();
  view.ShowNewLines();
  const QImage image = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int h = view.LineHeight();
  const TrafficRole roles[] = {TrafficRole::Request, TrafficRole::Reply, TrafficRole::Error};
  for (int row = 0; row < 3; ++row) {
    for (const TrafficRole role : roles) {
      if (role == roles[row]) {
        EXPECT_GT(PixelsOf(image, row, h, role), 20) << row;
      } else {
        EXPECT_EQ(PixelsOf(image, row, h, role), 0) << row;
      }
    }
  }
  const auto starts = view.ColumnStarts();
  const int readingEnd =
      starts[4] + view.fontMetrics().horizontalAdvance(QStringLiteral("应答 (95 字节)"));
  EXPECT_LE(readingEnd, view.viewport()->width());
  EXPECT_GT(starts[5], readingEnd);  // the bytes after it
}

// The registers of the requests whose lines `text` holds, in order.
std::vector<int> RegistersIn(const QString& text) {
  std::vector<int> registers;
  for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const qsizetype at = line.indexOf(QStringLiteral("读 0x"));
    if (at >= 0) registers.push_back(line.mid(at + 4, 4).toInt(nullptr, 16));
  }
  return registers;
}

// The keys move the selection as a list's do, the rows in view follow the caret, and lines the
// full log drops leave the selection with what is still shown.
TEST(TrafficView, TheKeysSelectLinesAndTheLogTrimsTheSelection) {
  workbench::TrafficLog log({}, 40);
  const auto add = [&log](int from, int to) {
    for (int n = from; n < to; ++n) log.OnFrameSent(ReadRequest(1, static_cast<uint16_t>(n), 1));
  };
  add(0, 30);
  TrafficView view(log);
  view.resize(400, 8 * view.LineHeight());
  view.show();
  view.ShowNewLines();
  const auto selected = [&view] { return RegistersIn(view.SelectedText()); };
  QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(selected(), (std::vector<int>{28, 29}));
  QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(selected(), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(view.verticalScrollBar()->value(), 0);  // scrolled up to the caret
  // Twelve more: the log keeps 40, so lines 0 and 1 go and the selection keeps the line kept;
  // Shift+End then reaches the newest.
  add(30, 42);
  view.ShowNewLines();
  EXPECT_EQ(selected(), (std::vector<int>{2}));
  QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(selected().size(), 40U);
}

// Collects what the view's rows area is asked to paint.
struct PaintedRegion : QObject {
  QRegion region;
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

// Requests for registers from..to-1 into `log`, one line each, then onto the view.
void Numbered(workbench::TrafficLog& log, TrafficView& view, int from, int to) {
  for (int n = from; n < to; ++n) {
    log.OnFrameSent(testing::WithCrc(
        {1, 3, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n & 0xFF), 0, 1}));
  }
  view.ShowNewLines();
}

QString RegisterOfLine(const QString& text, int row) {
  return text.section(QLatin1Char('\n'), row, row).section(QLatin1Char('\t'), 4, 4);
}

TEST(TrafficView, NewLinesScrollTheRowsDrawnAndOnlyTheirRowsArePainted) {
  workbench::TrafficLog log({}, 1000);
  TrafficView view(log);
  view.resize(400, 300);
  view.show();
  Numbered(log, view, 0, 200);
  QApplication::processEvents();
  QScrollBar* bar = view.verticalScrollBar();
  ASSERT_EQ(bar->value(), bar->maximum());

  PaintedRegion painted;
  view.viewport()->installEventFilter(&painted);
  Numbered(log, view, 200, 202);
  QApplication::processEvents();
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_FALSE(painted.region.isEmpty());
  EXPECT_LE(painted.region.boundingRect().height(), 3 * view.LineHeight());

  // A reader scrolled up keeps the lines in view, even while the oldest are dropped.
  bar->setValue(150);
  Numbered(log, view, 202, 1100);
  EXPECT_EQ(RegisterOfLine(view.Text(), 0), QStringLiteral("读 0x0064 ×1"));             // line 100
  EXPECT_EQ(RegisterOfLine(view.Text(), bar->value()), QStringLiteral("读 0x0096 ×1"));  // 150

  // Lines the log dropped before the view caught up are left out, never shown as others.
  for (int n = 1100; n < 1105; ++n) {
    log.OnFrameSent(testing::WithCrc(
        {1, 3, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n & 0xFF), 0, 1}));
  }
  EXPECT_EQ(RegisterOfLine(view.Text(), 0), QStringLiteral("读 0x0069 ×1"));  // line 105

  // Ctrl+A and Ctrl+C copy the lines.
  view.viewport()->setFocus();
  QTest::keyClick(view.viewport(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(view.SelectedText(), view.Text());
  QTest::keyClick(view.viewport(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), view.Text());
}

TEST(TrafficTab, FiltersBySlaveAddressAndSavesWhatItShows) {
  workbench::TrafficLog log;
  log.OnFrameSent(ReadRequest(1, 0x0300, 19));
  Read(log, {}, 1, 43);
  log.OnFrameSent(ReadRequest(2, 0x0322, 1));
  Read(log, ReadReply(2, {1}), 2, 7);
  log.OnPortEvent({PortEventKind::Lost, "/dev/ttyUSB0"});
  TrafficTab tab(log);
  tab.resize(600, 300);
  tab.show();
  const auto lines = [&tab] { return tab.ShownText().split(QLatin1Char('\n')); };
  ASSERT_EQ(lines().size(), 5);

  auto* address = tab.findChild<QSpinBox*>(QStringLiteral("addressFilter"));
  ASSERT_NE(address, nullptr);
  EXPECT_EQ(address->text(), QStringLiteral("全部地址"));
  address->setValue(2);
  ASSERT_EQ(lines().size(), 3);
  EXPECT_TRUE(lines()[0].contains(QStringLiteral("\t发\t2\t03\t读 0x0322 ×1")));
  EXPECT_TRUE(lines()[1].contains(QStringLiteral("\t收\t2\t03\t应答 (7 字节)")));
  EXPECT_TRUE(lines()[2].contains(QStringLiteral("串口已断开 /dev/ttyUSB0")));

  // Errors of address 1: the missed reply after its request, and the port's event.
  address->setValue(1);
  tab.findChild<QCheckBox*>(QStringLiteral("errorsOnly"))->setChecked(true);
  ASSERT_EQ(lines().size(), 3);
  EXPECT_TRUE(lines()[0].contains(QStringLiteral("读 0x0300 ×19")));
  EXPECT_TRUE(lines()[1].contains(QStringLiteral("无应答")));

  const auto path = std::filesystem::path(::testing::TempDir()) / "traffic_tab_test.txt";
  ASSERT_EQ(tab.SaveTo(QString::fromStdString(path.string())), QString());
  // The file's own lines (date, column heads) are the core's; here: the three lines shown.
  std::ifstream in(path);
  std::vector<std::string> saved;
  for (std::string line; std::getline(in, line);) saved.push_back(line);
  ASSERT_EQ(saved.size(), 5u);
  EXPECT_NE(saved[2].find("读 0x0300 ×19"), std::string::npos);
  EXPECT_NE(saved[4].find("串口已断开 /dev/ttyUSB0"), std::string::npos);
}

}  // namespace
}  // namespace kt::ui::qt::test
