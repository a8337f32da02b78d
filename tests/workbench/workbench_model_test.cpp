// The workbench model: where the window goes and what it remembers (by the whole frame, title bar
// included), the recording's texts, the trend's axis rule and export title, and the block
// fan-out to the tabs and a further one.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "MemorySettings.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchModel.h"

namespace kt::workbench {
namespace {

using namespace std::chrono_literals;
using values::MeasuredBlock;
using values::Quantity;

using testing::MemorySettings;

// 1366x768 less a 40 px task bar; a title bar of 27 px and borders of 4 px; the main dialog's
// frame at 96 dpi. The workbench's frame is then 768x551 at first and at least 568x431.
constexpr ScreenRect kScreen{0, 0, 1366, 728};
constexpr FrameMargins kMargins{4, 27, 4, 4};
constexpr int kMainWidth = 674;
constexpr int kMainHeight = 725;

struct FrameRow {
  const char* what;
  int mainX, mainY;                       // the main dialog's frame (its size kMain*)
  ScreenRect window;                      // expected, worked out by hand from the gaps of 8 px
  int mainMovedToX;                       // expected
  std::optional<ScreenRect> stored = {};  // read back from the settings
};

constexpr int kFar = INT_MAX - 10;  // a frame at the integer limits

const std::vector<FrameRow> kFrameRows = {
    // A message box at start-up left the main dialog's title bar above the screen: the
    // workbench's own title bar stays on it; the main dialog slides left to make room.
    {"main dialog high", 346, -20, {682, 0, 684, 551}, 0},
    // Dragged low: the workbench beside it would reach below the screen; it rises to fit.
    {"main dialog low", 346, 600, {682, 177, 684, 551}, 0},
    {"main dialog at the right edge", 692, 3, {0, 3, 684, 551}, 692},
    // A monitor since removed: its size kept, placed beside the main dialog.
    {"remembered off the screen", 0, 0, {682, 0, 684, 600}, 0, ScreenRect{3000, 200, 800, 600}},
    {"remembered, far", 0, 0, {682, 0, 684, 728}, 0, ScreenRect{kFar, kFar, INT_MAX, INT_MAX}},
    {"remembered, no area", 0, 0, {682, 0, 684, 551}, 0, ScreenRect{INT_MIN, 5, -40, 300}},
};

TEST(WorkbenchFrame, PlacesByTheWholeFrameOnTheScreenOverATable) {
  for (const FrameRow& row : kFrameRows) {
    SCOPED_TRACE(row.what);
    MemorySettings settings;
    settings.frame = row.stored;
    const WindowFrameModel frame(settings);
    const ScreenRect main{row.mainX, row.mainY, kMainWidth, kMainHeight};
    const WindowPlacement placed = frame.Place(kScreen, main, kMargins, kWorkbenchLeastClientSize);
    EXPECT_EQ(placed.window, row.window);
    EXPECT_EQ(placed.mainDialog.x, row.mainMovedToX);
    EXPECT_EQ(placed.mainDialog.y, row.mainY);
    EXPECT_TRUE(kScreen.Contains(placed.window));
    EXPECT_FALSE(placed.window.Intersects(placed.mainDialog));
  }
}

TEST(WorkbenchFrame, RemembersWhatWasShownSoItDoesNotCreepFromStartToStart) {
  MemorySettings settings;
  const ScreenRect main{100, 0, kMainWidth, kMainHeight};
  std::optional<ScreenRect> first;
  for (int start = 0; start < 3; ++start) {
    WindowFrameModel frame(settings);
    frame.Remember();  // not shown yet: nothing written
    EXPECT_EQ(settings.frame, first);
    const ScreenRect shown = frame.Place(kScreen, main, kMargins, kWorkbenchLeastClientSize).window;
    frame.Shown(shown);
    frame.Remember();
    if (!first) first = shown;
    EXPECT_EQ(shown, *first) << "start " << start;
  }
  // The client area inside it, as a front end sets it.
  EXPECT_EQ(kMargins.ClientOf(*first),
            (ScreenRect{first->x + 4, first->y + 27, first->width - 8, first->height - 31}));
}

// A block at `t` whose frequency is `hz`.
MeasuredBlock FrequencyAt(std::chrono::system_clock::time_point t, double hz) {
  MeasuredBlock b;
  b.time = t;
  b[Quantity::Frequency] = hz;
  return b;
}

TEST(TrendModel, AValueAxisHoldsWhileTheDataStaysInsideAndFillsHalfOfIt) {
  TrendModel trend;
  trend.SetShown(TrendSeries::Frequency, true);
  const auto start = std::chrono::system_clock::time_point(std::chrono::hours(24 * 20000));
  struct Step {
    double hz;
    bool moves;
  };
  // A flat 50 Hz padded by 0.5 % (49.75..50.25) is drawn on 49.7..50.3 in steps of 0.1; 50.15
  // and 50.3 (its edge) stay on it, 50.35 leaves it: 49.6..50.8 in steps of 0.2.
  const std::vector<Step> steps = {{50.0, true}, {50.15, false}, {50.3, false}, {50.35, true}};
  int t = 0;
  for (const Step& step : steps) {
    trend.AddBlock(FrequencyAt(start + std::chrono::seconds(2 * t++), step.hz));
    const TrendModel::Refreshed r = trend.Refresh(600);
    EXPECT_EQ(r.axesMoved[static_cast<std::size_t>(UnitGroup::Frequency)], step.moves) << step.hz;
    const GroupAxis& axis = trend.Axis(UnitGroup::Frequency);
    EXPECT_LE(axis.range.low, step.hz);
    EXPECT_GE(axis.range.high, step.hz);
  }
  const GroupAxis wide = trend.Axis(UnitGroup::Frequency);
  EXPECT_NEAR(wide.range.low, 49.6, 1e-9);
  EXPECT_NEAR(wide.range.high, 50.8, 1e-9);  // 50.35 padded by 0.5 %: 50.60175
  EXPECT_EQ(wide.range.ticks, 7);
  EXPECT_EQ(GroupAxisTitle(UnitGroup::Frequency, wide.unit), "频率 (Hz)");
  // Zoomed to a box, the axis stays where the box put it; a reset fits it to the data again.
  trend.ZoomToBox({0, 0, 600, 300}, {0, 0, 600, 150});
  trend.Refresh(600);
  EXPECT_NEAR(trend.Axis(UnitGroup::Frequency).range.low,
              wide.range.low + (wide.range.high - wide.range.low) / 2, 1e-9);
  EXPECT_TRUE(trend.Zoomed());
  trend.ResetZoom();
  trend.Refresh(600);
  EXPECT_FALSE(trend.Zoomed());
  EXPECT_EQ(trend.Axis(UnitGroup::Frequency).range.high, wide.range.high);
}

TEST(TrendModel, AViewDrawsInSightAndWhilePausedOnlyForTheUser) {
  struct Row {
    bool paused, forUser, inView, draws;
  };
  const Row rows[] = {{false, false, true, true},
                      {true, false, true, false},
                      {true, true, true, true},
                      {false, true, false, false}};
  for (const Row& row : rows) {
    TrendModel trend;
    trend.AddBlock(FrequencyAt(std::chrono::system_clock::time_point(std::chrono::hours(1)), 50));
    trend.Refresh(600);
    trend.SetPaused(row.paused);
    EXPECT_EQ(trend.DrawsNow(row.forUser, row.inView), row.draws) << row.paused << row.forUser;
    // What is not drawn now is built anew when it is.
    EXPECT_EQ(trend.Refresh(600).rebuilt, !row.draws) << row.paused << row.forUser;
  }
}

std::string LocalDate(std::chrono::system_clock::time_point t) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
  std::ostringstream text;
  text << std::put_time(std::localtime(&seconds), "%Y-%m-%d");
  return text.str();
}

TEST(TrendModel, TheExportTitleNamesTheDayBeforeAnyDataAndTheRangeAfter) {
  TrendModel trend;
  const auto now = std::chrono::system_clock::time_point(std::chrono::hours(24 * 20000) + 3h);
  EXPECT_EQ(trend.ExportTitle(now), "趋势  " + LocalDate(now));
  trend.AddBlock(FrequencyAt(now, 50));
  trend.SetSpan(1min);
  trend.Refresh(600);
  const TrendAxis& axis = trend.Columns().axis();
  const std::string title = trend.ExportTitle(now);
  EXPECT_EQ(title.rfind("趋势  " + LocalDate(axis.from) + " ", 0), 0u) << title;
  EXPECT_NE(title.find(" 至 "), std::string::npos) << title;
}

TEST(SaveQuestions, AChosenPathGetsItsExtensionAndItsFolderIsKeptWhileItIsOne) {
  const SaveQuestion png = ExportQuestion(std::chrono::system_clock::now());
  const std::pair<const char*, const char*> chosen[] = {{"/d.d/趋势", "/d.d/趋势.png"},
                                                        {"/d/趋势.PNG", "/d/趋势.PNG"},
                                                        {"/d/趋势.jpg", "/d/趋势.jpg.png"},
                                                        {"/d/趋势.pn", "/d/趋势.pn.png"}};
  for (const auto& [path, saved] : chosen) EXPECT_EQ(CompletedPath(png, path), saved) << path;
  const SaveQuestion log = LogSaveQuestion(std::chrono::system_clock::now());
  EXPECT_EQ(CompletedPath(log, "/d.d/报文"), "/d.d/报文.txt");
  EXPECT_EQ(CompletedPath(log, "/d/报文.log"), "/d/报文.log");
  EXPECT_EQ(FolderOf("/d.d/趋势.png"), "/d.d");
  const std::filesystem::path file =
      std::filesystem::path(::testing::TempDir()) / "workbench_model_test_file";
  std::ofstream(file) << "x";
  EXPECT_EQ(ExistingFolder(file.parent_path().string()), file.parent_path().string());
  EXPECT_EQ(ExistingFolder(file.string()), "");  // a file is no folder to open in
  EXPECT_EQ(ExistingFolder(""), "");
  // The dialog asked about the name typed; a file that only the added extension names is asked
  // about again, unless the question never asks (a recording continues its file).
  const std::string typed = file.string();
  std::ofstream(typed + ".png") << "x";
  EXPECT_TRUE(AsksAgainBeforeOverwriting(png, typed, CompletedPath(png, typed)));
  EXPECT_FALSE(AsksAgainBeforeOverwriting(png, typed + "-新", CompletedPath(png, typed + "-新")));
  EXPECT_FALSE(AsksAgainBeforeOverwriting(png, typed + ".png", typed + ".png"));
  EXPECT_FALSE(AsksAgainBeforeOverwriting(RecordingQuestion({}), typed, typed + ".png"));
}

TEST(RecordingModel, ElapsedTimeAndAFailureSaidOnceThenTheNextStartsOwnMessage) {
  const std::pair<std::chrono::seconds, const char*> elapsed[] = {{0s, "00:00:00"},
                                                                  {59s, "00:00:59"},
                                                                  {3599s, "00:59:59"},
                                                                  {3600s, "01:00:00"},
                                                                  {360000s, "100:00:00"}};
  for (const auto& [time, text] : elapsed) EXPECT_EQ(ElapsedText(time), text);
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / "workbench_model_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  RecordingModel recording(SystemRecordFiles());
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_EQ(recording.Start((dir / "a.csv").string(), t0), "");
  recording.Write(MeasuredBlock{}, t0 + 61s);
  EXPECT_TRUE(recording.TookLastBlock());
  EXPECT_EQ(recording.ElapsedText(), "00:01:01");
  fs::remove(dir / "a.csv");
  recording.Write(MeasuredBlock{}, t0 + 62s);
  EXPECT_FALSE(recording.Recording());
  EXPECT_EQ(recording.Message().rfind("记录已停止：", 0), 0u) << recording.Message();
  // A refused start says why; the failure before it is not said again over it.
  const std::string refusal = recording.Start((dir / "missing" / "b.csv").string(), t0 + 70s);
  ASSERT_NE(refusal, "");
  recording.Write(MeasuredBlock{}, t0 + 71s);
  EXPECT_FALSE(recording.TookLastBlock());
  EXPECT_EQ(recording.Message(), refusal);
  EXPECT_EQ(recording.ElapsedText(), "00:01:02");  // the stopped recording's last time
  EXPECT_EQ(RecordingQuestion(std::chrono::system_clock::time_point(std::chrono::hours(24 * 20000)))
                .suggestedName.size(),
            std::string("kt7340-20241004-000000.csv").size());
}

TEST(WorkbenchModel, BlocksReachTheTabsThenAFurtherTabAndChoicesAreRemembered) {
  MemorySettings settings;
  settings.numbers[static_cast<int>(NumberSetting::NominalHz)] = 60.0;
  settings.numbers[static_cast<int>(NumberSetting::CtSecondaryA)] = 2.5;  // not an option
  WorkbenchModel model(settings, SystemRecordFiles());
  EXPECT_EQ(model.Wiring().NominalHz(), 60.0);
  EXPECT_EQ(model.Wiring().CtSecondaryA(), 5.0);
  model.Wiring().ChooseCtSecondary(1);
  EXPECT_EQ(settings.numbers[static_cast<int>(NumberSetting::CtSecondaryA)], 1.0);

  EXPECT_EQ(model.AddTab("总线"), 4u);
  EXPECT_EQ(model.TabTitles().back(), "总线");
  std::size_t storedWhenSeen = 0;
  model.SubscribeBlocks(
      [&](const MeasuredBlock&) { storedWhenSeen = model.Trend().Store().size(); });
  EXPECT_FALSE(model.Wiring().Check());
  model.OnBlockDecoded(FrequencyAt(std::chrono::system_clock::now(), 50));
  EXPECT_EQ(storedWhenSeen, 1u);  // the model's own tabs took the block first
  EXPECT_TRUE(model.Wiring().Check());
  EXPECT_NE(model.Wiring().Diagram(), nullptr);
  EXPECT_EQ(LogCountText(model.Log()), "共 0 条");
}

}  // namespace
}  // namespace kt::workbench
