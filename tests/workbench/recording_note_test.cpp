// The main dialog's link band tells what happens to the recording with the workbench closed: at
// once after a start or a stop, at the next block after a failure, never once the dialog is gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "MainDialogHarness.h"
#include "MemorySettings.h"
#include "workbench/WorkbenchModel.h"

namespace kt::testing {
namespace {

TEST(RecordingNote, TheLinkBandFollowsStartsStopsFailuresAndRefusals) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::path(::testing::TempDir()) / "recording_note_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  MemorySettings settings;
  workbench::WorkbenchModel model(settings, workbench::SystemRecordFiles());
  MainDialogHarness h(SimulatedMeter());
  model.AttachTo(h.Dlg(), [] {});
  ASSERT_TRUE(h.PollUntil(3));
  auto& recording = model.Recording();
  const auto start = [&](const char* name) { recording.Start((dir / name).string()); };
  const auto aBlock = [&] { ASSERT_TRUE(h.DecodesABlock(6)); };
  // What happens (no tick runs unless it says so), the note shown and whether it is red.
  const std::tuple<std::function<void()>, const char*, bool> steps[] = {
      {[] {}, "", false},
      {[&] { start("a.csv"); }, "记录中", false},
      {[&] {
         fs::remove(dir / "a.csv");
         aBlock();
       },
       "记录已停止", true},
      {[&] { start("b.csv"); }, "记录中", false},
      {[&] { recording.Stop(); }, "", false},
      {[&] { start("no/c.csv"); }, "记录已停止", true},  // refused: no such folder
      {aBlock, "记录已停止", true},
      {[&] { recording.Stop(); }, "", false},
  };
  for (const auto& [act, note, red] : steps) {
    act();
    EXPECT_EQ(h.Text(ui::main_ids::kRecordingNoteBox), note);
    EXPECT_EQ(
        h.host.Control(h.Dlg(), ui::main_ids::kRecordingNoteBox).lastColor.textColor == ui::kRed,
        red)
        << note;
  }
  // With the dialog ended and gone, the recording goes on without it.
  h.Close();
  h.dialog.reset();
  EXPECT_EQ(recording.Start((dir / "d.csv").string()), "");
  recording.Stop();
}

}  // namespace
}  // namespace kt::testing
