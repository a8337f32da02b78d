// The recording's state and texts, for every front end.
#include "workbench/RecordingModel.h"

#include <array>
#include <cstdio>

namespace kt::workbench {

std::string ElapsedText(std::chrono::steady_clock::duration d) {
  const long long total = std::chrono::duration_cast<std::chrono::seconds>(d).count();
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                total % 60);
  return text.data();
}

std::string RecordingModel::Start(const std::string& path, Clock::time_point now) {
  std::string refusal = recorder_.Start(path, now);
  message_ = refusal.empty() ? recorder_.StartNote() : refusal;
  failed_ = !refusal.empty();
  UpdateElapsed(now);
  if (startedOrStopped_) startedOrStopped_();
  return refusal;
}

void RecordingModel::Stop() {
  recorder_.Stop();
  failed_ = false;
  if (startedOrStopped_) startedOrStopped_();
}

void RecordingModel::Write(const values::MeasuredBlock& block, Clock::time_point now) {
  tookLastBlock_ = recorder_.Recording();
  if (!tookLastBlock_) return;
  UpdateElapsed(now);
  recorder_.Write(block);
  // A failed write stops the recording and is said when it happens; a later start or refusal
  // says its own.
  if (!recorder_.Recording()) {
    message_ = recorder_.Failure();
    failed_ = true;
  }
}

values::RecordingNote RecordingModel::Note() const {
  if (recorder_.Recording()) return {"记录中", false};
  if (failed_) return {"记录已停止", true};
  return {};
}

void RecordingModel::UpdateElapsed(Clock::time_point now) {
  if (recorder_.Recording()) elapsed_ = workbench::ElapsedText(now - recorder_.StartedAt());
}

}  // namespace kt::workbench
