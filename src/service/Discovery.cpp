// The discovery messages: the sensor's kind in Home Assistant's words.
#include "service/Discovery.h"

#include <array>
#include <string_view>

#include "service/JsonText.h"
#include "service/StateMessage.h"

namespace kt::service {
namespace {

struct KindText {
  std::string_view deviceClass;  // empty: none
  std::string_view stateClass;
  std::string_view unit;  // empty: none
};

// In the order of ValueKind.
constexpr std::array<KindText, 9> kKinds = {{
    {"voltage", "measurement", "V"},
    {"current", "measurement", "A"},
    {"power", "measurement", "W"},
    {"reactive_power", "measurement", "var"},
    {"apparent_power", "measurement", "VA"},
    {"power_factor", "measurement", ""},
    {"frequency", "measurement", "Hz"},
    {"energy", "total_increasing", "Wh"},
    {"", "total_increasing", "varh"},
}};

}  // namespace

std::vector<DiscoveryMessage> DiscoveryMessages(const MqttConfig& mqtt, const std::string& line,
                                                const MeterEntry& meter) {
  const std::string address = std::to_string(meter.address);
  const std::string node = "kt7340_" + line + "_" + address;
  const std::string deviceName = meter.name.empty() ? "KT7340 " + line + " " + address : meter.name;
  const std::string device = "{\"identifiers\":[" + JsonString(node) +
                             "],\"name\":" + JsonString(deviceName) + ",\"model\":\"KT7340\"}";
  const std::string availability =
      "[{\"topic\":" + JsonString(AvailabilityTopic(mqtt.prefix, line, meter.address)) +
      "},{\"topic\":" + JsonString(ServiceTopic(mqtt.prefix)) + "}]";
  std::vector<DiscoveryMessage> messages;
  for (const StateKey& k : kStateKeys) {
    const KindText& kind = kKinds[static_cast<size_t>(k.kind)];
    std::string json = "{\"name\":" + JsonString(k.title);
    json += ",\"unique_id\":" + JsonString(node + "_" + std::string(k.key));
    json += ",\"state_topic\":" + JsonString(StateTopic(mqtt.prefix, line, meter.address));
    json += ",\"value_template\":" + JsonString("{{ value_json." + std::string(k.key) + " }}");
    if (!kind.deviceClass.empty()) json += ",\"device_class\":" + JsonString(kind.deviceClass);
    json += ",\"state_class\":" + JsonString(kind.stateClass);
    if (!kind.unit.empty()) json += ",\"unit_of_measurement\":" + JsonString(kind.unit);
    json += ",\"availability\":" + availability + ",\"availability_mode\":\"all\"";
    json += ",\"device\":" + device + "}";
    messages.push_back(
        {mqtt.discoveryPrefix + "/sensor/" + node + "/" + std::string(k.key) + "/config",
         std::move(json)});
  }
  return messages;
}

}  // namespace kt::service
