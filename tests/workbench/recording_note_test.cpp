// The main dialog's link band tells what happens to the recording, the workbench closed.
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
  fs::create_directories(dir);
  MemorySettings settings;
  workbench::WorkbenchModel model(settings, workbench::SystemRecordFiles());
  MainDialogHarness h(SimulatedMeter());
  model.AttachTo(h.Dlg(), [] {});
  ASSERT_TRUE(h.PollUntil(3));
  auto& recording = model.Recording();
  const auto start = [&](const char* name) { recording.Start((dir / name).string()); };
  constexpr int kNote = ui::main_ids::kRecordingNoteBox;
  // What happens (no tick runs unless it says so), the note shown and whether it is red.
  const std::tuple<std::function<void()>, const char*, bool> steps[] = {
      {[] {}, "", false},
      {[&] { start("a.csv"); }, "记录中", false},
      {[&] {
         fs::remove(dir / "a.csv");
         ASSERT_TRUE(h.DecodesABlock(6));
       },
       "记录已停止", true},
      {[&] { start("b.csv"); }, "记录中", false},
      {[&] { recording.Stop(); }, "", false},
      {[&] { start("no/c.csv"); }, "记录已停止", true},  // refused: no such folder
      {[&] { recording.Stop(); }, "", false},
  };
  for (const auto& [act, note, red] : steps) {
    act();
    EXPECT_EQ(h.Text(kNote), note);
    EXPECT_EQ(h.host.Control(h.Dlg(), kNote).lastColor.textColor == ui::kRed, red) << note;
  }
  // With the dialog ended and gone, the recording goes on without it.
  h.Close();
  h.dialog.reset();
  EXPECT_EQ(recording.Start((dir / "d.csv").string()), "");
}

}  // namespace
}  // namespace kt::testing
