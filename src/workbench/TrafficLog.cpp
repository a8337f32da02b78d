// The traffic log's lines: what each event reads as, the bounded ring and saving as text.
#include "workbench/TrafficLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "serial/UniqueFd.h"
#include "workbench/FileOutput.h"
#include "workbench/RequestReading.h"

namespace kt::workbench {
namespace {

const char* KindText(TrafficKind kind) {
  switch (kind) {
    case TrafficKind::Sent:
      return "发";
    case TrafficKind::Received:
      return "收";
    case TrafficKind::Discarded:
      return "丢弃";
  }
  return "";
}

std::string LocalTimeOfDay(std::chrono::system_clock::time_point t) {
  using namespace std::chrono;
  const time_t seconds = system_clock::to_time_t(t);
  const auto ms = duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000;
  tm local{};
  localtime_r(&seconds, &local);
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(ms < 0 ? ms + 1000 : ms));
  return text;
}

}  // namespace

std::string TrafficLine::Text() const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text = LocalTimeOfDay(time);
  text += ' ';
  text += KindText(kind);
  for (const uint8_t byte : bytes) {
    text += ' ';
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  if (!reading.empty()) {
    text += "  ";
    text += reading;
  }
  return text;
}

TrafficLog::TrafficLog(Now now, size_t capacity)
    : now_(now ? std::move(now) : Now([] { return std::chrono::system_clock::now(); })),
      capacity_(capacity) {}

void TrafficLog::OnFrameSent(std::span<const uint8_t> frame) {
  Add(TrafficKind::Sent, frame, DescribeRequest(frame), false);
}

void TrafficLog::OnReadTaken(const ui::ReadTaken& read) {
  Add(TrafficKind::Received, read.bytes, modbus::DescribeReply(read.verdict),
      read.verdict.outcome != modbus::ReplyOutcome::Valid);
}

void TrafficLog::OnInputDiscarded(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  char reading[32];
  std::snprintf(reading, sizeof reading, "%zu 字节", bytes.size());
  Add(TrafficKind::Discarded, bytes, reading, true);
}

void TrafficLog::Add(TrafficKind kind, std::span<const uint8_t> bytes, std::string reading,
                     bool isError) {
  ++events_;
  if (paused_) return;
  if (lines_.size() >= capacity_) lines_.pop_front();
  lines_.push_back(TrafficLine{now_(), kind, std::vector<uint8_t>(bytes.begin(), bytes.end()),
                               std::move(reading), isError});
  if (onLine) onLine(lines_.back());
}

std::vector<const TrafficLine*> TrafficLog::Visible(bool errorsOnly) const {
  std::vector<const TrafficLine*> shown;
  for (const TrafficLine& line : lines_) {
    if (!errorsOnly || line.isError) shown.push_back(&line);
  }
  return shown;
}

std::string TrafficLog::SaveTo(const std::string& path, bool errorsOnly) const {
  const serial::UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) return "无法保存 " + path + "：" + FileErrorReason(errno);
  std::string text;
  for (const TrafficLine* line : Visible(errorsOnly)) {
    text += line->Text();
    text += '\n';
  }
  if (!WriteAll(fd.get(), text)) return "保存 " + path + " 失败：" + FileErrorReason(errno);
  return {};
}

}  // namespace kt::workbench
