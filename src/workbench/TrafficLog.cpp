// The traffic log's lines: what each event reads as, the bounded ring and saving as text.
#include "workbench/TrafficLog.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "serial/UniqueFd.h"
#include "ui/LocalTimeText.h"
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

void AppendHex(std::string& text, std::span<const uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const uint8_t byte : bytes) {
    text += ' ';
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
}

}  // namespace

std::string TrafficLine::Text(ui::TimeFields fields) const {
  std::string text = ui::LocalTimeText(time, fields);
  text += ' ';
  text += KindText(kind);
  if (kind == TrafficKind::Discarded) {
    text += ' ';
    text += reading;
    text += ' ';
    AppendHex(text, bytes);
    if (discarded > bytes.size()) text += " …";
    return text;
  }
  AppendHex(text, bytes);
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
  Add({now_(), TrafficKind::Sent, {frame.begin(), frame.end()}, DescribeRequest(frame), false, 0});
}

void TrafficLog::OnReadTaken(const ui::ReadTaken& read) {
  Add({now_(),
       TrafficKind::Received,
       {read.bytes.begin(), read.bytes.end()},
       modbus::DescribeReply(read.verdict),
       read.verdict.outcome != modbus::ReplyOutcome::Valid,
       0});
}

void TrafficLog::OnInputDiscarded(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  const std::span<const uint8_t> kept =
      bytes.first(std::min(bytes.size(), TrafficLine::kDiscardBytesKept));
  Add({now_(),
       TrafficKind::Discarded,
       {kept.begin(), kept.end()},
       std::to_string(bytes.size()) + " 字节",
       true,
       bytes.size()});
}

void TrafficLog::Add(TrafficLine line) {
  ++events_;
  if (paused_ || capacity_ == 0) return;
  if (lines_.size() >= capacity_) {
    lines_.pop_front();
    if (!errors_.empty() && errors_.front() == first_) {
      errors_.pop_front();
      ++firstError_;
    }
    ++first_;
  }
  if (line.isError) errors_.push_back(End(false));
  lines_.push_back(std::move(line));
}

void TrafficLog::Clear() {
  first_ += lines_.size();
  firstError_ += errors_.size();
  lines_.clear();
  errors_.clear();
}

const TrafficLine& TrafficLog::Line(uint64_t number, bool errorsOnly) const {
  const uint64_t lineNumber = errorsOnly ? errors_[number - firstError_] : number;
  return lines_[lineNumber - first_];
}

std::vector<const TrafficLine*> TrafficLog::Visible(bool errorsOnly) const {
  std::vector<const TrafficLine*> shown;
  for (uint64_t n = First(errorsOnly); n < End(errorsOnly); ++n) {
    shown.push_back(&Line(n, errorsOnly));
  }
  return shown;
}

std::string TrafficLog::SaveTo(const std::string& path, bool errorsOnly) const {
  const serial::UniqueFd fd(CreateOutputFile(path));
  if (fd.get() < 0) return "无法保存 " + path + "：" + FileErrorReason(errno);
  std::string text;
  for (const TrafficLine* line : Visible(errorsOnly)) {
    text += line->Text(ui::TimeFields::DateAndTime);
    text += '\n';
  }
  if (!WriteAll(fd.get(), text)) return "保存 " + path + " 失败：" + FileErrorReason(errno);
  return {};
}

}  // namespace kt::workbench
