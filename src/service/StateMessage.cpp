// The state of a meter as JSON: the keys, the status texts and the wiring verdict.
#include "service/StateMessage.h"

#include <algorithm>

#include "service/JsonText.h"
#include "values/LimitStatus.h"
#include "values/ValueText.h"
#include "workbench/WiringCheck.h"

namespace kt::service {

using values::Quantity;

const std::array<StateKey, values::kQuantityCount> kStateKeys = {{
    {"u", Quantity::CombinedPhaseVoltage, ValueKind::Voltage, "Voltage"},
    {"ua", Quantity::PhaseVoltageA, ValueKind::Voltage, "Voltage A"},
    {"ub", Quantity::PhaseVoltageB, ValueKind::Voltage, "Voltage B"},
    {"uc", Quantity::PhaseVoltageC, ValueKind::Voltage, "Voltage C"},
    {"ul", Quantity::CombinedLineVoltage, ValueKind::Voltage, "Line voltage"},
    {"uab", Quantity::LineVoltageAB, ValueKind::Voltage, "Voltage AB"},
    {"ubc", Quantity::LineVoltageBC, ValueKind::Voltage, "Voltage BC"},
    {"uca", Quantity::LineVoltageCA, ValueKind::Voltage, "Voltage CA"},
    {"i", Quantity::CombinedCurrent, ValueKind::Current, "Current"},
    {"ia", Quantity::CurrentA, ValueKind::Current, "Current A"},
    {"ib", Quantity::CurrentB, ValueKind::Current, "Current B"},
    {"ic", Quantity::CurrentC, ValueKind::Current, "Current C"},
    {"p", Quantity::TotalActivePower, ValueKind::ActivePower, "Power"},
    {"pa", Quantity::ActivePowerA, ValueKind::ActivePower, "Power A"},
    {"pb", Quantity::ActivePowerB, ValueKind::ActivePower, "Power B"},
    {"pc", Quantity::ActivePowerC, ValueKind::ActivePower, "Power C"},
    {"q", Quantity::TotalReactivePower, ValueKind::ReactivePower, "Reactive power"},
    {"qa", Quantity::ReactivePowerA, ValueKind::ReactivePower, "Reactive power A"},
    {"qb", Quantity::ReactivePowerB, ValueKind::ReactivePower, "Reactive power B"},
    {"qc", Quantity::ReactivePowerC, ValueKind::ReactivePower, "Reactive power C"},
    {"s", Quantity::TotalApparentPower, ValueKind::ApparentPower, "Apparent power"},
    {"sa", Quantity::ApparentPowerA, ValueKind::ApparentPower, "Apparent power A"},
    {"sb", Quantity::ApparentPowerB, ValueKind::ApparentPower, "Apparent power B"},
    {"sc", Quantity::ApparentPowerC, ValueKind::ApparentPower, "Apparent power C"},
    {"pf", Quantity::TotalPowerFactor, ValueKind::PowerFactor, "Power factor"},
    {"pfa", Quantity::PowerFactorA, ValueKind::PowerFactor, "Power factor A"},
    {"pfb", Quantity::PowerFactorB, ValueKind::PowerFactor, "Power factor B"},
    {"pfc", Quantity::PowerFactorC, ValueKind::PowerFactor, "Power factor C"},
    {"f", Quantity::Frequency, ValueKind::Frequency, "Frequency"},
    {"i0", Quantity::ZeroSequenceCurrent, ValueKind::Current, "Zero-sequence current"},
    {"ep_imp", Quantity::ForwardActiveEnergy, ValueKind::ActiveEnergy, "Energy import"},
    {"ep_exp", Quantity::ReverseActiveEnergy, ValueKind::ActiveEnergy, "Energy export"},
    {"eq_imp", Quantity::ForwardReactiveEnergy, ValueKind::ReactiveEnergy,
     "Reactive energy import"},
    {"eq_exp", Quantity::ReverseReactiveEnergy, ValueKind::ReactiveEnergy,
     "Reactive energy export"},
}};

namespace {

// The status items' keys, in the order of values::kStatusItems.
constexpr std::array<std::string_view, values::kStatusItems.size()> kStatusKeys = {
    "u1", "u2", "u3", "u4", "i1", "i2", "i3", "i4"};

std::string Level(std::string_view prefix, std::string_view line, uint8_t address,
                  std::string_view leaf) {
  std::string topic(prefix);
  topic.append("/").append(line).append("/").append(std::to_string(address)).append("/");
  return topic.append(leaf);
}

}  // namespace

std::string StateTopic(std::string_view prefix, std::string_view line, uint8_t address) {
  return Level(prefix, line, address, "state");
}

std::string AvailabilityTopic(std::string_view prefix, std::string_view line, uint8_t address) {
  return Level(prefix, line, address, "availability");
}

std::string ServiceTopic(std::string_view prefix) {
  return std::string(prefix) + "/status";
}

std::string IsoUtcTime(std::chrono::system_clock::time_point t) {
  using namespace std::chrono;
  const auto ms = floor<milliseconds>(t);
  const auto day = floor<days>(ms);
  const year_month_day date(day);
  const hh_mm_ss clock(ms - day);
  char text[40];
  std::snprintf(
      text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
      static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
      static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
  return text;
}

const char* WiringVerdictText(const values::MeasuredBlock& block) {
  workbench::Verdict worst = workbench::Verdict::Normal;
  for (const workbench::CheckRow& row : workbench::CheckWiring(block)) {
    worst = std::max(worst, row.verdict);
  }
  return workbench::VerdictText(worst);
}

std::string StateJson(const values::MeasuredBlock& block, std::string_view line,
                      std::string_view wiring) {
  std::string json = "{\"time\":" + JsonString(IsoUtcTime(block.time));
  json += ",\"line\":" + JsonString(line);
  json += ",\"address\":" + std::to_string(block.slaveAddress);
  for (const StateKey& k : kStateKeys) {
    json += ",\"";
    json += k.key;
    json += "\":" + JsonNumber(values::ValueText(block, k.quantity));
  }
  json += ",\"status\":";
  if (block.status) {
    char separator = '{';
    for (size_t i = 0; i < kStatusKeys.size(); ++i) {
      const values::StatusItem& item = values::kStatusItems[i];
      const uint8_t statusByte = item.isCurrent ? block.status->current : block.status->voltage;
      json += separator;
      json += JsonString(kStatusKeys[i]) + ":";
      json += JsonString(
          values::StatusText(item.isCurrent, values::StatusCode(statusByte, item.shift)));
      separator = ',';
    }
    json += '}';
  } else {
    json += "null";
  }
  json += ",\"wiring\":" + JsonString(wiring);
  json += '}';
  return json;
}

}  // namespace kt::service
