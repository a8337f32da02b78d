// Which of the traffic log's lines a view shows: all, or the errors with the request each
// belongs to (so that a missed reply can be tied to what asked for it); of every slave address
// or of one. Lines without an address (port events, discards, dates) show under every address.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbench/LogSelection.h"
#include "workbench/TrafficLog.h"

namespace kt::workbench {

struct TrafficChoice {
  static constexpr int kAnyAddress = -1;
  static constexpr int kHighestAddress = 255;
  bool errorsOnly = false;
  int address = kAnyAddress;
};

// The address filter as the user sees and types it: "全部地址" or "地址 7".
std::string AddressChoiceText(int address);
// What a typed text chooses: "全部地址" every address, "7" or "地址 7" that address (0..255);
// nothing for any other text (a half-typed one included).
std::optional<int> ParseAddressChoice(std::string_view text);
// `steps` up (or down) from `address`, held between every address and the highest.
int StepAddressChoice(int address, int steps);

class TrafficLogFilter {
 public:
  explicit TrafficLogFilter(const TrafficLog& log, TrafficChoice choice = {});

  // Chooses anew and takes every kept line that matches.
  void Choose(TrafficChoice choice);
  const TrafficChoice& Choice() const { return choice_; }
  // Takes the lines the log added since and forgets those it dropped. Returns false when a
  // request line had to be put before lines already shown: the shown numbers changed, and a
  // view must show them anew.
  bool Update();

  // The matching lines numbered from the first ever matched since Choose: a number names the
  // same line while older ones are dropped. Numbers [First, End) are kept.
  uint64_t First() const { return first_; }
  uint64_t End() const { return first_ + numbers_.size(); }
  // Whether the line of `number` is still in the log (it may have dropped it since Update).
  bool Kept(uint64_t number) const {
    return number >= First() && number < End() && LogNumber(number) >= log_.First() &&
           LogNumber(number) < log_.End();
  }
  const TrafficLine& Line(uint64_t number) const { return log_.Line(LogNumber(number)); }
  uint64_t LogNumber(uint64_t number) const { return numbers_[number - first_]; }
  // The log's numbers of the matching lines, oldest first.
  std::vector<uint64_t> LogNumbers() const { return {numbers_.begin(), numbers_.end()}; }
  // The kept lines of numbers [from, to) as the user copies them: one line of text each, joined
  // by line feeds, without one after the last.
  std::string Text(uint64_t from, uint64_t to) const;
  // The selected lines as Text gives them; "" with nothing selected.
  std::string SelectedText(const LogSelection& selection) const;

 private:
  bool OfAddress(const TrafficLine& line) const;
  // Adds `number` in its place; false when it went before the newest shown.
  bool Insert(uint64_t number);

  const TrafficLog& log_;
  TrafficChoice choice_;
  std::deque<uint64_t> numbers_;  // the log's numbers of the matching lines, ascending
  uint64_t first_ = 0;
  uint64_t scanned_ = 0;  // the log's lines below this number were looked at
};

}  // namespace kt::workbench
