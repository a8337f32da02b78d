// The tab "记录" without its widgets: the CSV recorder and the texts the tab shows (file, rows
// written, time since the start, and one message: the start's note, a refusal, or the failure
// that stopped the recording).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "values/MeasuredBlock.h"
#include "values/RecordingNote.h"
#include "workbench/CsvRecorder.h"

namespace kt::workbench {

class RecordingModel {
 public:
  using Clock = std::chrono::steady_clock;

  explicit RecordingModel(std::unique_ptr<RecordFiles> files) : recorder_(std::move(files)) {}

  // Starts recording to `path` (CsvRecorder::Start: an existing file is never emptied); returns
  // "" or the Chinese refusal. Message() then says what was made of an existing file, or why not.
  std::string Start(const std::string& path, Clock::time_point now = Clock::now());
  void Stop();
  // Writes the block's row while recording; a failed write stops the recording and becomes the
  // message.
  void Write(const values::MeasuredBlock& block, Clock::time_point now = Clock::now());
  // Brings the elapsed time up to `now` while recording; stopped, it keeps its last text.
  void UpdateElapsed(Clock::time_point now);

  bool Recording() const { return recorder_.Recording(); }
  // Whether the latest block reached the recorder (written, or failed): the tab shows it.
  bool TookLastBlock() const { return tookLastBlock_; }
  const std::string& Path() const { return recorder_.Path(); }
  std::string RowsText() const { return std::to_string(recorder_.RowsWritten()); }
  const std::string& ElapsedText() const { return elapsed_; }  // "01:02:03"
  const std::string& Message() const { return message_; }
  const CsvRecorder& Recorder() const { return recorder_; }

  // The main dialog's note: "记录中" while recording; "记录已停止", in red, once a failure
  // stopped the recording or a start was refused, until the next start or stop; else nothing.
  values::RecordingNote Note() const;
  // Called after every start and stop, so that the note can be shown elsewhere at once (a
  // failed write happens inside the main dialog's tick, which shows the note itself).
  void SetStartedOrStopped(std::function<void()> call) { startedOrStopped_ = std::move(call); }

 private:
  CsvRecorder recorder_;
  std::string elapsed_;
  std::string message_;
  bool tookLastBlock_ = false;
  bool failed_ = false;  // the latest recording stopped by a failure, or the latest start refused
  std::function<void()> startedOrStopped_;
};

// "HH:MM:SS" for a duration; hours go on past 99.
std::string ElapsedText(std::chrono::steady_clock::duration d);

}  // namespace kt::workbench
