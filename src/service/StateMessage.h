// What kt7340d publishes for a meter: its topics and its state as JSON.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "values/MeasuredBlock.h"

namespace kt::service {

// The value kinds a state carries; Home Assistant's device class and unit follow from them.
using ValueKind = values::QuantityKind;

struct StateKey {
  std::string_view key;  // in the JSON state: "ua"
  values::Quantity quantity;
  ValueKind kind;
  std::string_view title;  // for Home Assistant: "Voltage A"
};

// The 34 values in the order of the state's keys.
extern const std::array<StateKey, values::kQuantityCount> kStateKeys;

// "<prefix>/<line>/<address>/state", ".../availability", and "<prefix>/status" for the service.
std::string StateTopic(std::string_view prefix, std::string_view line, uint8_t address);
std::string AvailabilityTopic(std::string_view prefix, std::string_view line, uint8_t address);
std::string ServiceTopic(std::string_view prefix);

inline constexpr std::string_view kOnline = "online";
inline constexpr std::string_view kOffline = "offline";

// "2026-12-10T08:15:02.250Z": the time in UTC with milliseconds.
std::string IsoUtcTime(std::chrono::system_clock::time_point t);

// The worst verdict of the wiring check's rows on `block`: "正常", "注意" or "异常".
const char* WiringVerdictText(const values::MeasuredBlock& block);

// {"time":..., "line":..., "address":17, "ua":230.12, ..., "status":{"u1":"正常",...} or null,
// "wiring":`wiring`}: values in base units with their registers' decimals.
std::string StateJson(const values::MeasuredBlock& block, std::string_view line,
                      std::string_view wiring);

}  // namespace kt::service
