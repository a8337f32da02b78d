// What kt7340d's configuration file says: the lines with their meters, the poll interval and
// the outputs (MQTT, CSV, the spool), as plain data, and reading it from TOML.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "serial/LineSettings.h"

namespace kt::service {

struct MeterEntry {
  uint8_t address = 1;
  std::string name{};  // empty: none given
};

struct LineConfig {
  std::string name;
  std::string port;  // as written: a device path, "COM<N>" or "tcp://HOST:PORT"
  int32_t baud = 9600;
  serial::Parity parity = serial::Parity::None;
  bool settingsGiven = false;  // baud or parity written; else a found meter's settings are taken
  bool find = false;           // run the finder on this line once at start
  bool rs485 = false;          // open the device in the kernel's RS-485 mode
  std::vector<MeterEntry> meters;
  int line = 0;  // where the [[line]] table starts in the file
};

struct MqttConfig {
  bool tls = false;  // mqtts://
  std::string host = "127.0.0.1";
  int port = 1883;
  std::string prefix = "kt7340";
  bool homeAssistant = false;
  std::string discoveryPrefix = "homeassistant";
  std::string username{};
  std::string password{};
  std::string caFile{};  // TLS: the authority to trust; empty: the system's
  std::string certFile{};
  std::string keyFile{};
  std::string clientId{};  // empty: "kt7340d-<host name>"
  int keepAliveS = 30;
};

struct CsvConfig {
  std::string folder;
  int keepDays = 30;
};

inline constexpr uint32_t kDefaultIntervalMs = 1000;
inline constexpr uint32_t kDefaultSpoolMiB = 16;

struct ServiceConfig {
  uint32_t intervalMs = kDefaultIntervalMs;  // each meter's block at most this often
  std::string spoolFolder = "/var/lib/kt7340/spool";
  uint32_t spoolMiB = kDefaultSpoolMiB;
  std::optional<MqttConfig> mqtt;
  std::optional<CsvConfig> csv;
  std::vector<LineConfig> lines;
};

// A refusal with the line of the file it concerns, in both languages.
struct ConfigError {
  int line = 0;  // 0: the file as a whole
  std::string chinese;
  std::string english;
};

// "FILE 第 N 行：<中文>\nFILE line N: <English>", or without the line for 0.
std::string ConfigErrorText(const std::string& path, const ConfigError& error);

// Reads the configuration from the text of a TOML file named `path` (for messages only).
std::variant<ServiceConfig, ConfigError> ParseServiceConfig(const std::string& text,
                                                            const std::string& path);
// Reads the file; one that cannot be read is a ConfigError at line 0.
std::variant<ServiceConfig, ConfigError> ReadServiceConfig(const std::string& path);

// The client's name at the broker: the file's client_id, else "kt7340d-<hostName>" ("kt7340d"
// when the host has no name).
std::string BrokerClientId(const MqttConfig& mqtt, const std::string& hostName);

// "9600N,8,2", "9600O,8,1", "9600E,8,1": the line settings text for the meter's conventions.
std::string SettingsText(const LineConfig& line);

}  // namespace kt::service
