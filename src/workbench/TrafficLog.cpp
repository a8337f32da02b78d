// The traffic log's lines: what each event reads as, the bounded ring and saving as text.
#include "workbench/TrafficLog.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include "platform/FileOutput.h"
#include "values/LocalTimeText.h"
#include "workbench/RequestReading.h"
#include "workbench/TextFileForm.h"

#ifndef KT7340_VERSION
#error "KT7340_VERSION comes from the project version in CMake"
#endif

namespace kt::workbench {
namespace {

constexpr size_t kDateLength = 10;  // "2026-01-02"
constexpr char kColumnSeparator = '\t';

const char* DirectionText(TrafficKind kind) {
  switch (kind) {
    case TrafficKind::Sent:
      return "发";
    case TrafficKind::Received:
      return "收";
    case TrafficKind::Discarded:
      return "丢弃";
    case TrafficKind::Event:
      return "串口";
    case TrafficKind::Date:
      return "日期";
  }
  return "";
}

std::string HexText(std::span<const uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (const uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
  }
  return text;
}

std::string EventText(const values::PortEvent& event) {
  switch (event.kind) {
    case values::PortEventKind::NotOpen:
      return "串口未打开：" + event.detail;
    case values::PortEventKind::Opened:
      return "串口已打开 " + event.detail;
    case values::PortEventKind::Lost:
      return "串口已断开 " + event.detail;
    case values::PortEventKind::Reopened:
      return "串口已重新打开 " + event.detail;
    case values::PortEventKind::Stalled:
      return "串口输出受阻：" + event.detail;
    case values::PortEventKind::Closed:
      return "串口已关闭 " + event.detail;
  }
  return event.detail;
}

bool EventIsError(values::PortEventKind kind) {
  return kind != values::PortEventKind::Opened && kind != values::PortEventKind::Reopened &&
         kind != values::PortEventKind::Closed;
}

std::string JoinColumns(const TrafficColumns& c) {
  const std::array<const std::string*, 6> columns = {&c.time,     &c.direction, &c.address,
                                                     &c.function, &c.reading,   &c.hex};
  size_t used = columns.size();
  while (used > 1 && columns[used - 1]->empty()) --used;
  std::string text;
  for (size_t i = 0; i < used; ++i) {
    if (i > 0) text += kColumnSeparator;
    text += *columns[i];
  }
  return text;
}

}  // namespace

std::string LocalDateText(std::chrono::system_clock::time_point t) {
  return values::LocalTimeText(t, values::TimeFields::DateAndTime).substr(0, kDateLength);
}

TrafficColumns TrafficLine::Columns() const {
  TrafficColumns c;
  c.direction = DirectionText(kind);
  if (kind == TrafficKind::Date) {
    c.time = LocalDateText(time);
    return c;
  }
  c.time = values::LocalTimeText(time, values::TimeFields::TimeOfDay);
  if (address != kNoAddress) c.address = std::to_string(address);
  if (function != kNoAddress) c.function = HexText(std::array{static_cast<uint8_t>(function)});
  c.reading = reading;
  c.hex = HexText(bytes);
  if (kind == TrafficKind::Discarded && discarded > bytes.size()) c.hex += " …";
  return c;
}

std::string TrafficLine::Text() const {
  return JoinColumns(Columns());
}

TrafficLog::TrafficLog(Now now, size_t capacity)
    : now_(now ? std::move(now) : Now([] { return std::chrono::system_clock::now(); })),
      capacity_(capacity) {}

void TrafficLog::OnFrameSent(std::span<const uint8_t> frame) {
  TrafficLine line{.time = now_(),
                   .kind = TrafficKind::Sent,
                   .bytes = {frame.begin(), frame.end()},
                   .reading = DescribeRequest(frame)};
  if (!frame.empty()) line.address = frame[0];
  if (frame.size() > 1) line.function = frame[1];
  Add(std::move(line));
}

void TrafficLog::OnReadTaken(const values::ReadTaken& read) {
  // Nothing asked and nothing came: no exchange to show.
  if (read.bytes.empty() && !read.awaited) return;
  Add({.time = now_(),
       .kind = TrafficKind::Received,
       .bytes = {read.bytes.begin(), read.bytes.end()},
       .reading = modbus::DescribeReply(read.verdict),
       .isError = read.verdict.outcome != modbus::ReplyOutcome::Valid,
       .address = read.address,
       .function = read.function});
}

void TrafficLog::OnInputDiscarded(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return;
  const std::span<const uint8_t> kept =
      bytes.first(std::min(bytes.size(), TrafficLine::kDiscardBytesKept));
  Add({.time = now_(),
       .kind = TrafficKind::Discarded,
       .bytes = {kept.begin(), kept.end()},
       .reading = std::to_string(bytes.size()) + " 字节",
       .isError = true,
       .discarded = bytes.size()});
}

void TrafficLog::OnPortEvent(const values::PortEvent& event) {
  Add({.time = now_(),
       .kind = TrafficKind::Event,
       .reading = EventText(event),
       .isError = EventIsError(event.kind)});
}

void TrafficLog::Add(TrafficLine line) {
  ++events_;
  if (paused_ || capacity_ == 0) return;
  // A new day starts with its date; the first line of all has the date in the saved file.
  const std::string day = LocalDateText(line.time);
  const bool newDay = !lastDay_.empty() && day != lastDay_;
  lastDay_ = day;
  if (newDay) Add({.time = line.time, .kind = TrafficKind::Date});
  // The date line was counted as an event; it is not one.
  if (line.kind == TrafficKind::Date) --events_;

  if (line.kind == TrafficKind::Received || line.kind == TrafficKind::Discarded) {
    line.request = lastRequest_;
  }
  if (lines_.size() >= capacity_) {
    lines_.pop_front();
    ++first_;
  }
  if (line.kind == TrafficKind::Sent) lastRequest_ = End();
  lines_.push_back(std::move(line));
}

void TrafficLog::Clear() {
  first_ += lines_.size();
  lines_.clear();
}

std::string TrafficLog::SaveTo(const std::string& path,
                               const std::vector<uint64_t>& numbers) const {
  const platform::OutputFile file(path);
  if (!file.IsOpen()) return "无法保存 " + path + "：" + platform::FileErrorReason(errno);
  std::vector<const TrafficLine*> saved;
  for (const uint64_t n : numbers) {
    if (n >= First() && n < End()) saved.push_back(&Line(n));
  }
  std::string day = LocalDateText(saved.empty() ? now_() : saved.front()->time);
  std::string text(kByteOrderMark);
  text += "日期 " + day + "  程序 kt7340 " + KT7340_VERSION;
  text += kLineEnd;
  const auto& kh = kTrafficColumnHeads;
  text += JoinColumns({kh[0], kh[1], kh[2], kh[3], kh[4], kh[5]});
  text += kLineEnd;
  for (const TrafficLine* line : saved) {
    // The log's own date lines stand where the day changed among all lines; the saved ones
    // get theirs where it changes among those saved.
    if (line->kind == TrafficKind::Date) continue;
    if (const std::string lineDay = LocalDateText(line->time); lineDay != day) {
      day = lineDay;
      text += TrafficLine{.time = line->time, .kind = TrafficKind::Date}.Text();
      text += kLineEnd;
    }
    text += line->Text();
    text += kLineEnd;
  }
  if (!file.Write(text)) return "保存 " + path + " 失败：" + platform::FileErrorReason(errno);
  return {};
}

}  // namespace kt::workbench
