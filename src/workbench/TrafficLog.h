// The traffic log: one line per frame sent, read taken or input discarded, the last 10,000 kept.
// It is the one store of the lines; the window's view reads them by number.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/LocalTimeText.h"
#include "ui/MonitorListener.h"

namespace kt::workbench {

enum class TrafficKind { Sent, Received, Discarded };

struct TrafficLine {
  // A discard keeps at most this many of its bytes; the line gives the count of all.
  static constexpr size_t kDiscardBytesKept = 16;

  std::chrono::system_clock::time_point time{};
  TrafficKind kind = TrafficKind::Sent;
  std::vector<uint8_t> bytes;  // a discard's first bytes only
  std::string reading;         // "读 0x0300 ×19", "应答 (95 字节)", ...
  bool isError = false;        // a read that is not a valid reply, or bytes thrown away
  size_t discarded = 0;        // bytes thrown away (a discard)

  // "04:31:24.123 收 07 03 ... 应答 (95 字节)", "04:31:24.123 丢弃 40 字节  AA 55 ... …"
  // in local time; a saved file has the date as well.
  std::string Text(ui::TimeFields fields = ui::TimeFields::TimeOfDay) const;
};

class TrafficLog : public ui::MonitorListener {
 public:
  static constexpr size_t kCapacity = 10000;
  using Now = std::function<std::chrono::system_clock::time_point()>;

  // `now` stamps each line; the wall clock by default.
  explicit TrafficLog(Now now = {}, size_t capacity = kCapacity);

  void OnFrameSent(std::span<const uint8_t> frame) override;
  void OnReadTaken(const ui::ReadTaken& read) override;
  // An empty discard (nothing was pending) is not worth a line.
  void OnInputDiscarded(std::span<const uint8_t> bytes) override;

  // Paused: events are counted but no line is kept.
  void SetPaused(bool paused) { paused_ = paused; }
  bool Paused() const { return paused_; }
  // Drops every line; numbers go on from where they were.
  void Clear();

  const std::deque<TrafficLine>& Lines() const { return lines_; }
  // The kept lines, or only the errors, numbered from the first ever kept: a number names the
  // same line while older ones are dropped. Numbers [First, End) are kept.
  uint64_t First(bool errorsOnly) const { return errorsOnly ? firstError_ : first_; }
  uint64_t End(bool errorsOnly) const {
    return errorsOnly ? firstError_ + errors_.size() : first_ + lines_.size();
  }
  const TrafficLine& Line(uint64_t number, bool errorsOnly) const;
  // Every event since the start, kept or not.
  uint64_t EventCount() const { return events_; }
  // The lines to show: all, or only the errors.
  std::vector<const TrafficLine*> Visible(bool errorsOnly) const;
  // Writes the visible lines as UTF-8 text, one per line; returns "" or a Chinese message.
  std::string SaveTo(const std::string& path, bool errorsOnly) const;

 private:
  void Add(TrafficLine line);

  Now now_;
  size_t capacity_;
  bool paused_ = false;
  uint64_t events_ = 0;
  std::deque<TrafficLine> lines_;
  uint64_t first_ = 0;           // number of lines_.front()
  std::deque<uint64_t> errors_;  // numbers of the error lines kept, oldest first
  uint64_t firstError_ = 0;      // error number of errors_.front()
};

}  // namespace kt::workbench
