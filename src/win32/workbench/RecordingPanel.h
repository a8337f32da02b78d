// The tab "记录": start and stop a CSV recording through the core's recorder; its file, rows
// written and time since start, and the recorder's message when a write failed (the recording
// has then stopped).
#pragma once

#include <string>

#include "win32/workbench/ChildPanel.h"
#include "workbench/CsvRecorder.h"

namespace kt::ui::win32 {

class RecordingPanel : public ChildPanel {
 public:
  explicit RecordingPanel(workbench::CsvRecorder& recorder) : recorder_(recorder) {}

  void Layout(int width, int height) override;
  void OnShown() override { Refresh(); }

  // Starts recording to `path` (UTF-8; see CsvRecorder::Start: an existing file is never
  // emptied); returns "" or the Chinese refusal. The tab shows the refusal, or what was made of
  // an existing file.
  std::string StartRecording(const std::string& path);
  void StopRecording();
  // Brings the texts up to date after a row was written (or failed).
  void Refresh();

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  void OnTimer(UINT_PTR timerId) override;

 private:
  void AskAndStart();

  workbench::CsvRecorder& recorder_;
  bool failureShown_ = false;
};

}  // namespace kt::ui::win32
