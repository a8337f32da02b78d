// Choosing the traffic log's lines for a view, as the log grows and drops its oldest.
#include "workbench/TrafficLogFilter.h"

#include <algorithm>
#include <charconv>

#include "workbench/WorkbenchLook.h"

namespace kt::workbench {

std::string AddressChoiceText(int address) {
  if (address == TrafficChoice::kAnyAddress) return kAnyAddressText;
  return kAddressPrefix + std::to_string(address);
}

std::optional<int> ParseAddressChoice(std::string_view text) {
  if (text == kAnyAddressText) return TrafficChoice::kAnyAddress;
  const std::string_view prefix = kAddressPrefix;
  if (text.starts_with(prefix)) text.remove_prefix(prefix.size());
  int address = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), address);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || address < 0 ||
      address > TrafficChoice::kHighestAddress) {
    return std::nullopt;
  }
  return address;
}

int StepAddressChoice(int address, int steps) {
  const long long to = static_cast<long long>(address) + steps;
  return static_cast<int>(
      std::clamp<long long>(to, TrafficChoice::kAnyAddress, TrafficChoice::kHighestAddress));
}

TrafficLogFilter::TrafficLogFilter(const TrafficLog& log, TrafficChoice choice) : log_(log) {
  Choose(choice);
}

void TrafficLogFilter::Choose(TrafficChoice choice) {
  choice_ = choice;
  first_ += numbers_.size();
  numbers_.clear();
  scanned_ = log_.First();
  Update();
}

bool TrafficLogFilter::OfAddress(const TrafficLine& line) const {
  return choice_.address == TrafficChoice::kAnyAddress || line.address == TrafficLine::kNoAddress ||
         line.address == choice_.address;
}

bool TrafficLogFilter::Insert(uint64_t number) {
  if (numbers_.empty() || numbers_.back() < number) {
    numbers_.push_back(number);
    return true;
  }
  const auto at = std::lower_bound(numbers_.begin(), numbers_.end(), number);
  if (*at == number) return true;
  numbers_.insert(at, number);
  return false;
}

bool TrafficLogFilter::Update() {
  while (!numbers_.empty() && numbers_.front() < log_.First()) {
    numbers_.pop_front();
    ++first_;
  }
  scanned_ = std::max(scanned_, log_.First());
  bool inPlace = true;
  for (; scanned_ < log_.End(); ++scanned_) {
    const TrafficLine& line = log_.Line(scanned_);
    if (!OfAddress(line)) continue;
    if (!choice_.errorsOnly) {
      numbers_.push_back(scanned_);
      continue;
    }
    // Events and dates explain the errors around them.
    if (!line.isError && line.kind != TrafficKind::Event && line.kind != TrafficKind::Date) {
      continue;
    }
    if (line.request != TrafficLine::kNoRequest && line.request >= log_.First() &&
        OfAddress(log_.Line(line.request))) {
      inPlace = Insert(line.request) && inPlace;
    }
    numbers_.push_back(scanned_);
  }
  return inPlace;
}

std::string TrafficLogFilter::Text(uint64_t from, uint64_t to) const {
  std::string text;
  for (uint64_t n = std::max(from, First()); n < std::min(to, End()); ++n) {
    if (!Kept(n)) continue;  // dropped by the log since the last Update
    if (!text.empty()) text += '\n';
    text += Line(n).Text();
  }
  return text;
}

std::string TrafficLogFilter::SelectedText(const LogSelection& selection) const {
  return selection.Any() ? Text(selection.Low(), selection.High() + 1) : "";
}

}  // namespace kt::workbench
