// The traffic log: one line per frame sent, read taken or input discarded, the last 10,000 kept.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "ui/MonitorListener.h"

namespace kt::workbench {

enum class TrafficKind { Sent, Received, Discarded };

struct TrafficLine {
  std::chrono::system_clock::time_point time{};
  TrafficKind kind = TrafficKind::Sent;
  std::vector<uint8_t> bytes;
  std::string reading;   // "读 0x0300 ×19", "应答 (95 字节)", ...
  bool isError = false;  // a read that is not a valid reply, or bytes thrown away

  // "04:31:24.123 收 07 03 ... 应答 (95 字节)" in local time.
  std::string Text() const;
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
  void Clear() { lines_.clear(); }

  const std::deque<TrafficLine>& Lines() const { return lines_; }
  // Every event since the start, kept or not.
  uint64_t EventCount() const { return events_; }
  // The lines to show: all, or only the errors.
  std::vector<const TrafficLine*> Visible(bool errorsOnly) const;
  // Writes the visible lines as UTF-8 text, one per line; returns "" or a Chinese message.
  std::string SaveTo(const std::string& path, bool errorsOnly) const;

  // Called with each line kept, after it was added (the window appends it).
  std::function<void(const TrafficLine&)> onLine;

 private:
  void Add(TrafficKind kind, std::span<const uint8_t> bytes, std::string reading, bool isError);

  Now now_;
  size_t capacity_;
  bool paused_ = false;
  uint64_t events_ = 0;
  std::deque<TrafficLine> lines_;
};

}  // namespace kt::workbench
