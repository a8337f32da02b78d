// The main dialog's link band tells what happens to the recording, with the workbench closed:
// shown at once after a start or a stop, at the next block after a failure, and never once the
// dialog is gone.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "MainDialogHarness.h"
#include "MemorySettings.h"
#include "workbench/WorkbenchModel.h"

using namespace kt::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kNote = kt::ui::main_ids::kRecordingNoteBox;

TEST(RecordingNote, TheLinkBandFollowsStartsStopsFailuresAndRefusals) {
  const fs::path dir = fs::path(::testing::TempDir()) / "recording_note_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  MemorySettings settings;
  kt::workbench::WorkbenchModel model(settings, kt::workbench::SystemRecordFiles());
  MainDialogHarness h(SimulatedMeter());
  model.AttachTo(h.Dlg(), [] {});
  ASSERT_TRUE(h.PollUntil(3));
  auto& recording = model.Recording();
  struct Step {
    const char* name;
    std::function<void()> act;  // no tick runs after it unless it says so
    const char* note;
    bool red;
  };
  const Step steps[] = {
      {"before any start", [] {}, "", false},
      {"started", [&] { recording.Start((dir / "a.csv").string()); }, "记录中", false},
      {"file removed, then a block",
       [&] {
         fs::remove(dir / "a.csv");
         ASSERT_TRUE(h.DecodesABlock(6));
       },
       "记录已停止", true},
      {"started again", [&] { recording.Start((dir / "b.csv").string()); }, "记录中", false},
      {"stopped by the user", [&] { recording.Stop(); }, "", false},
      {"refused", [&] { recording.Start((dir / "no" / "c.csv").string()); }, "记录已停止", true},
      {"blocks go on", [&] { ASSERT_TRUE(h.DecodesABlock(6)); }, "记录已停止", true},
      {"stopped after the refusal", [&] { recording.Stop(); }, "", false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    EXPECT_EQ(h.Text(kNote), step.note);
    EXPECT_EQ(h.host.Control(h.Dlg(), kNote).lastColor.textColor == kt::ui::kRed, step.red);
  }
  // The dialog ended and gone, the recording goes on without it.
  h.Close();
  h.dialog.reset();
  EXPECT_EQ(recording.Start((dir / "d.csv").string()), "");
  recording.Stop();
}

}  // namespace
