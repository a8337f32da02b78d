// The traffic log: one line per frame sent, read that took bytes or missed a reply, input
// discarded, port event and change of day; the last 10,000 kept. It is the one store of the
// lines; the window's view reads them by number.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "values/MonitorListener.h"

namespace kt::workbench {

enum class TrafficKind {
  Sent,       // a frame the port took
  Received,   // a read: its bytes and what the reply search found
  Discarded,  // pending input thrown away
  Event,      // the port refused, opened, lost, reopened or stalled
  Date,       // the first line of a new day
};

// A line's columns, as the view draws them and the saved text separates them by tabs.
struct TrafficColumns {
  std::string time;       // "04:31:24.123"; a date line: "2026-01-02"
  std::string direction;  // "发", "收", "丢弃", "串口", "日期"
  std::string address;    // the slave address in decimal, "" when the line has none
  std::string function;   // the function code in hex ("03"), "" when none
  std::string reading;  // "读 0x0300 ×19", "应答 (95 字节)", "串口已断开 /dev/ttyUSB0", ...
  std::string hex;      // "01 03 03 00 00 13 04 43"; a discard's first bytes and "…"
};

// The columns' heads, in the saved text and over a view's columns.
inline constexpr std::array<const char*, 6> kTrafficColumnHeads = {"时间", "方向", "地址",
                                                                   "功能", "内容", "报文"};

struct TrafficLine {
  // A discard keeps at most this many of its bytes; the line gives the count of all.
  static constexpr size_t kDiscardBytesKept = 16;
  static constexpr int kNoAddress = -1;
  static constexpr uint64_t kNoRequest = ~uint64_t{0};

  std::chrono::system_clock::time_point time{};
  TrafficKind kind = TrafficKind::Sent;
  std::vector<uint8_t> bytes{};  // a discard's first bytes only
  std::string reading{};  // "读 0x0300 ×19", "应答 (95 字节)", "串口已断开 /dev/ttyUSB0", ...
  bool isError = false;       // a read that is not a valid reply, bytes thrown away, a port fault
  size_t discarded = 0;       // bytes thrown away (a discard)
  int address = kNoAddress;   // the request's slave address; a read's: the one it looked for
  int function = kNoAddress;  // the function code, kNoAddress when the line has none
  // The number of the latest request line before this read or discard: the request an error
  // belongs to, kNoRequest before the first.
  uint64_t request = kNoRequest;

  // In local time.
  TrafficColumns Columns() const;
  // The columns joined by tabs, empty ones at the end left off:
  // "04:31:24.123\t收\t7\t03\t应答 (95 字节)\t07 03 ...".
  std::string Text() const;
};

class TrafficLog : public values::MonitorListener {
 public:
  static constexpr size_t kCapacity = 10000;
  using Now = std::function<std::chrono::system_clock::time_point()>;

  // `now` stamps each line; the wall clock by default.
  explicit TrafficLog(Now now = {}, size_t capacity = kCapacity);

  void OnFrameSent(std::span<const uint8_t> frame) override;
  // A read that brought nothing is a line only when a reply was awaited ("无应答").
  void OnReadTaken(const values::ReadTaken& read) override;
  // An empty discard (nothing was pending) is not worth a line.
  void OnInputDiscarded(std::span<const uint8_t> bytes) override;
  void OnPortEvent(const values::PortEvent& event) override;

  // Paused: events are counted but no line is kept.
  void SetPaused(bool paused) { paused_ = paused; }
  bool Paused() const { return paused_; }
  // Drops every line; numbers go on from where they were.
  void Clear();

  const std::deque<TrafficLine>& Lines() const { return lines_; }
  // Lines are numbered from the first ever kept: a number names the same line while older ones
  // are dropped. Numbers [First, End) are kept.
  uint64_t First() const { return first_; }
  uint64_t End() const { return first_ + lines_.size(); }
  const TrafficLine& Line(uint64_t number) const { return lines_[number - first_]; }
  // Every event since the start, kept or not.
  uint64_t EventCount() const { return events_; }

  // Writes the lines of `numbers` (kept ones, ascending) as UTF-8 text: a first line with the
  // date and the program's version, the column heads, then one line each, a date line at a
  // change of day. Returns "" or a Chinese message.
  std::string SaveTo(const std::string& path, const std::vector<uint64_t>& numbers) const;

 private:
  void Add(TrafficLine line);

  Now now_;
  size_t capacity_;
  bool paused_ = false;
  uint64_t events_ = 0;
  std::deque<TrafficLine> lines_;
  uint64_t first_ = 0;                              // number of lines_.front()
  uint64_t lastRequest_ = TrafficLine::kNoRequest;  // number of the latest request line
  std::string lastDay_;                             // local date of the latest line
};

// "2026-01-02" in local time.
std::string LocalDateText(std::chrono::system_clock::time_point t);

}  // namespace kt::workbench
