// The workbench window through the real widgets against kt7340-sim: opened by the main dialog's
// button, its log shows the configuration exchange, a recording has a row per decoded block.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <string>

#include "Frames.h"
#include "SessionDriver.h"
#include "SimulatedSession.h"
#include "qt/workbench/RecordingTab.h"
#include "qt/workbench/TrafficTab.h"
#include "qt/workbench/TrafficView.h"
#include "qt/workbench/WorkbenchWindow.h"
#include "ui/MainDialogIds.h"

namespace kt::ui::qt::test {
namespace {

constexpr int kSimAddress = 3;
constexpr int kBlocksToRecord = 3;

void ClickIn(QWidget* window, const char* name) {
  auto* button = window == nullptr ? nullptr : window->findChild<QAbstractButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  QTest::mouseClick(button, Qt::LeftButton);
}

QString LogText(WorkbenchWindow& w) {
  return w.Traffic().ShownText();
}

size_t LinesIn(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  size_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

TEST(Workbench, OpensFromTheMainDialogShowsTheTrafficAndRecordsEveryBlock) {
  SimulatedSession session(
      {"--status-trailer", "--quiet", "--address", std::to_string(kSimAddress)});
  ASSERT_FALSE(session.sim.path().empty()) << "kt7340-sim printed no device";
  const auto csv = std::filesystem::path(::testing::TempDir()) / "workbench_test.csv";
  std::filesystem::remove(csv);

  WorkbenchWindow workbench;
  session.theApp.onMainDialog = [&workbench](CMonitorDlg& dialog) { workbench.Attach(dialog); };
  int blocksWhileRecording = 0;
  workbench.SubscribeBlocks([&](const values::MeasuredBlock&) {
    if (workbench.Recorder().Recording()) ++blocksWhileRecording;
  });

  SessionDriver user;
  user.Then(
      "settings dialog", [] { return ActiveModal() != nullptr; },
      [] { QTest::mouseClick(ControlIn(ActiveModal(), IDOK), Qt::LeftButton); });
  user.Then(
      "main dialog", [] { return Modal(main_ids::kTemplateId) != nullptr; },
      [&] {
        auto* address =
            ControlIn<QLineEdit>(Modal(main_ids::kTemplateId), main_ids::kSlaveAddressEdit);
        address->setText(QString::number(kSimAddress));
        Click(main_ids::kTemplateId, main_ids::kRunButton);
        EXPECT_FALSE(workbench.isVisible());
        Click(main_ids::kTemplateId, main_ids::kWorkbenchButton);
      });
  user.Then(
      "the configuration exchange in the log",
      [&] {
        return workbench.isVisible() &&
               LogText(workbench).contains(QStringLiteral("应答 (95 字节)"));
      },
      [&] {
        const QString log = LogText(workbench);
        EXPECT_TRUE(log.contains(QStringLiteral("\t发\t3\t03\t读 0x0300 ×19\t03 03 03 00 00 13 ")))
            << log.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("应答 (43 字节)")));
        // The window takes input while the main dialog runs modally.
        ClickIn(&workbench, "errorsOnly");
        EXPECT_FALSE(LogText(workbench).contains(QStringLiteral("应答 (43 字节)")));
        ClickIn(&workbench, "errorsOnly");
        ClickIn(&workbench, "startRecording");
      });
  user.Then(
      "the file dialog", [] { return qobject_cast<QFileDialog*>(ActiveModal()) != nullptr; },
      [&] {
        auto* files = qobject_cast<QFileDialog*>(ActiveModal());
        EXPECT_TRUE(files->selectedFiles().value(0).contains(QStringLiteral("kt7340-")));
        auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(csv.string()));
        static_cast<QDialog*>(files)->accept();  // as the save button does
      });
  user.Then(
      "a few blocks recorded",
      [&] { return workbench.Recorder().RowsWritten() >= kBlocksToRecord; },
      [&] {
        ClickIn(&workbench, "stopRecording");
        EXPECT_EQ(workbench.findChild<QLabel*>(QStringLiteral("recordRows"))->text(),
                  QString::number(blocksWhileRecording));
        workbench.close();
        EXPECT_FALSE(workbench.isVisible());
        Click(main_ids::kTemplateId, IDCANCEL);
      });

  user.Start();
  EXPECT_FALSE(session.theApp.InitInstance());
  EXPECT_EQ(user.Failure(), "");
  EXPECT_TRUE(user.Done());
  EXPECT_GE(blocksWhileRecording, kBlocksToRecord);
  EXPECT_EQ(workbench.Recorder().Path(), csv.string());
  EXPECT_EQ(LinesIn(csv), 1 + static_cast<size_t>(blocksWhileRecording));  // the header first
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
}  // namespace
}  // namespace kt::ui::qt::test
