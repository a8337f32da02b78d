// Home Assistant's MQTT discovery: one retained sensor configuration per value of a meter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "service/ServiceConfig.h"

namespace kt::service {

struct DiscoveryMessage {
  std::string topic;    // "<discovery prefix>/sensor/kt7340_<line>_<address>/<key>/config"
  std::string payload;  // JSON
};

// The 34 sensors of `meter` on `line`: device class, state class and unit by the value's kind,
// the state topic with a template for its key, the meter's and the service's availability.
std::vector<DiscoveryMessage> DiscoveryMessages(const MqttConfig& mqtt, const std::string& line,
                                                const MeterEntry& meter);

}  // namespace kt::service
