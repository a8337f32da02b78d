// The tab "记录": draws the recording model (its file, rows written, time since start and
// message) and forwards "开始记录…" and "停止记录" to it.
#pragma once

#include <string>

#include "win32/workbench/ChildPanel.h"
#include "workbench/RecordingModel.h"

namespace kt::ui::win32 {

class RecordingPanel : public ChildPanel {
 public:
  explicit RecordingPanel(workbench::RecordingModel& recording) : recording_(recording) {}

  void Layout(int width, int height) override;
  void OnShown() override { Refresh(); }

  // Starts recording to `path` (UTF-8; RecordingModel::Start); returns "" or the Chinese refusal.
  std::string StartRecording(const std::string& path);
  void StopRecording();
  // Draws the model's texts again (after a row was written, or failed).
  void Refresh();

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  void OnTimer(UINT_PTR timerId) override;

 private:
  void AskAndStart();

  workbench::RecordingModel& recording_;
};

}  // namespace kt::ui::win32
