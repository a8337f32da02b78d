// Reading kt7340d's TOML file: every key checked where it stands, refusals in both languages.
#include "service/ServiceConfig.h"

#include <toml++/toml.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>

#include "platform/FileOutput.h"
#include "serial/LineSettingsTable.h"
#include "serial/TcpAddress.h"

namespace kt::service {
namespace {

constexpr int kFirstMeterAddress = 1;
constexpr int kLastMeterAddress = 247;
constexpr int kMqttPort = 1883;
constexpr int kMqttTlsPort = 8883;
constexpr std::string_view kMqttScheme = "mqtt://";
constexpr std::string_view kMqttTlsScheme = "mqtts://";
constexpr std::string_view kComPrefix = "COM";
constexpr int kLastComNumber = 255;

// Keys each table may hold; anything else is a mistake worth naming.
const std::set<std::string_view> kTopKeys = {"service", "mqtt", "csv", "line"};
const std::set<std::string_view> kServiceKeys = {"interval_ms", "spool_folder", "spool_mib"};
const std::set<std::string_view> kMqttKeys = {
    "url",     "prefix",    "homeassistant", "discovery_prefix", "username", "password",
    "ca_file", "cert_file", "key_file",      "client_id",        "keepalive"};
const std::set<std::string_view> kLineKeys = {"name",   "port", "baud", "parity",
                                              "meters", "find", "rs485"};
const std::set<std::string_view> kCsvKeys = {"folder", "keep_days"};
const std::set<std::string_view> kMeterKeys = {"address", "name"};

// Thrown inside the reader; turned into the result at the top.
struct Refusal {
  ConfigError error;
};

int LineOf(const toml::node& node) {
  return static_cast<int>(node.source().begin.line);
}

[[noreturn]] void Refuse(int line, std::string chinese, std::string english) {
  throw Refusal{{line, std::move(chinese), std::move(english)}};
}

void CheckKeys(const toml::table& table, const std::set<std::string_view>& known,
               const std::string& where) {
  for (const auto& [key, node] : table) {
    if (known.count(key.str()) == 0) {
      Refuse(LineOf(node), "未知的键 " + std::string(key.str()) + "（" + where + "）",
             "unknown key " + std::string(key.str()) + " in " + where);
    }
  }
}

const toml::table* SubTable(const toml::table& parent, std::string_view key) {
  const toml::node* node = parent.get(key);
  if (node == nullptr) return nullptr;
  if (!node->is_table()) {
    Refuse(LineOf(*node), "[" + std::string(key) + "] 必须是一个表",
           "[" + std::string(key) + "] must be a table");
  }
  return node->as_table();
}

std::optional<std::string> Text(const toml::table& table, std::string_view key, bool nonEmpty) {
  const toml::node* node = table.get(key);
  if (node == nullptr) return std::nullopt;
  const auto* value = node->as_string();
  if (value == nullptr || (nonEmpty && value->get().empty())) {
    Refuse(LineOf(*node), std::string(key) + " 必须是非空的文本（加引号）",
           std::string(key) + " must be a non-empty quoted string");
  }
  return value->get();
}

std::optional<int64_t> Number(const toml::table& table, std::string_view key, int64_t low,
                              int64_t high) {
  const toml::node* node = table.get(key);
  if (node == nullptr) return std::nullopt;
  const auto* value = node->as_integer();
  if (value == nullptr || value->get() < low || value->get() > high) {
    const std::string range = std::to_string(low) + ".." + std::to_string(high);
    Refuse(LineOf(*node), std::string(key) + " 必须是 " + range + " 之间的整数",
           std::string(key) + " must be a whole number in " + range);
  }
  return value->get();
}

std::optional<bool> Flag(const toml::table& table, std::string_view key) {
  const toml::node* node = table.get(key);
  if (node == nullptr) return std::nullopt;
  const auto* value = node->as_boolean();
  if (value == nullptr) {
    Refuse(LineOf(*node), std::string(key) + " 必须是 true 或 false",
           std::string(key) + " must be true or false");
  }
  return value->get();
}

// Letters, digits, "_" and "-": safe in topics, Home Assistant ids and file names.
bool IsPlainName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
  });
}

// A topic level path: no wildcards, no empty level, no control characters.
bool IsTopicPrefix(std::string_view prefix) {
  if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/') return false;
  if (prefix.find("//") != std::string_view::npos) return false;
  return std::none_of(prefix.begin(), prefix.end(), [](char c) {
    return c == '+' || c == '#' || static_cast<unsigned char>(c) < 0x20;
  });
}

// A TLS file that cannot be read would fail every connection with the library's vague
// "Invalid function arguments provided.", so it is refused here, at its line (as the user who
// reads the file: the installed service's own when it starts or reloads).
void CheckReadable(const toml::table& t, std::string_view key, const std::string& path) {
  if (path.empty()) return;
  std::error_code ignored;
  int cause = EISDIR;  // a folder opens, and reads as an empty file
  if (!std::filesystem::is_directory(path, ignored)) {
    const std::ifstream in(path, std::ios::binary);
    if (in.is_open()) return;
    cause = errno;
  }
  Refuse(LineOf(*t.get(key)),
         std::string(key) + " 无法读取（" +
             (cause == ENOENT ? "文件不存在" : platform::FileErrorReason(cause)) + "）：" + path,
         std::string(key) + " cannot be read (" + std::strerror(cause) + "): " + path);
}

void ReadUrl(const toml::node& node, const std::string& url, MqttConfig& m) {
  std::string rest;
  if (url.starts_with(kMqttScheme)) {
    rest = url.substr(kMqttScheme.size());
  } else if (url.starts_with(kMqttTlsScheme)) {
    rest = url.substr(kMqttTlsScheme.size());
    m.tls = true;
  } else {
    Refuse(LineOf(node), "url 必须以 mqtt:// 或 mqtts:// 开头：" + url,
           "url must start with mqtt:// or mqtts://: " + url);
  }
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  const bool hasPort = rest.find(':') != std::string::npos && rest.back() != ']';
  const auto split = hasPort ? serial::SplitHostPort(rest) : std::nullopt;
  if (hasPort && (!split || split->host.empty() || split->port == "0")) {
    Refuse(LineOf(node), "url 中的主机或端口无效：" + url, "bad host or port in url: " + url);
  }
  if (rest.empty() || rest.find('/') != std::string::npos) {
    Refuse(LineOf(node), "url 中的主机无效：" + url, "bad host in url: " + url);
  }
  if (split) {
    m.host = split->host;
    m.port = std::stoi(split->port);
  } else {
    const bool bracketed = rest.size() > 1 && rest.front() == '[' && rest.back() == ']';
    m.host = bracketed ? rest.substr(1, rest.size() - 2) : rest;
    m.port = m.tls ? kMqttTlsPort : kMqttPort;
  }
  if (m.host.empty() || m.host.find_first_of("[]") != std::string::npos) {
    Refuse(LineOf(node), "url 中的主机无效：" + url, "bad host in url: " + url);
  }
}

MqttConfig ReadMqtt(const toml::table& t) {
  CheckKeys(t, kMqttKeys, "[mqtt]");
  MqttConfig m;
  if (const auto url = Text(t, "url", true)) ReadUrl(*t.get("url"), *url, m);
  if (const auto prefix = Text(t, "prefix", true)) {
    if (!IsTopicPrefix(*prefix)) {
      Refuse(LineOf(*t.get("prefix")), "prefix 不能含 + # 空层或控制字符：" + *prefix,
             "prefix must not hold + # empty levels or control characters: " + *prefix);
    }
    m.prefix = *prefix;
  }
  if (const auto ha = Flag(t, "homeassistant")) m.homeAssistant = *ha;
  if (const auto dp = Text(t, "discovery_prefix", true)) {
    if (!IsTopicPrefix(*dp)) {
      Refuse(LineOf(*t.get("discovery_prefix")), "discovery_prefix 无效：" + *dp,
             "bad discovery_prefix: " + *dp);
    }
    m.discoveryPrefix = *dp;
  }
  m.username = Text(t, "username", false).value_or("");
  m.password = Text(t, "password", false).value_or("");
  if (!m.password.empty() && m.username.empty()) {
    Refuse(LineOf(*t.get("password")), "给了 password 却没有 username",
           "password given without username");
  }
  m.caFile = Text(t, "ca_file", true).value_or("");
  m.certFile = Text(t, "cert_file", true).value_or("");
  m.keyFile = Text(t, "key_file", true).value_or("");
  if (m.certFile.empty() != m.keyFile.empty()) {
    const toml::node* given = t.get(m.certFile.empty() ? "key_file" : "cert_file");
    Refuse(LineOf(*given), "cert_file 和 key_file 必须同时给出",
           "cert_file and key_file go together");
  }
  if (m.tls) {
    CheckReadable(t, "ca_file", m.caFile);
    CheckReadable(t, "cert_file", m.certFile);
    CheckReadable(t, "key_file", m.keyFile);
  }
  m.clientId = Text(t, "client_id", true).value_or("");
  m.keepAliveS = static_cast<int>(Number(t, "keepalive", 5, 3600).value_or(m.keepAliveS));
  return m;
}

void CheckPort(const toml::node& node, const std::string& port) {
  if (serial::IsTcpAddress(port)) {
    const auto split =
        serial::SplitHostPort(port.substr(std::string_view(serial::kTcpScheme).size()));
    if (!split || split->host.empty()) {
      Refuse(LineOf(node), "port 应为 tcp://主机:端口：" + port,
             "port must be tcp://HOST:PORT: " + port);
    }
  } else if (port.starts_with(kComPrefix) && port.find('/') == std::string::npos) {
    const std::string digits = port.substr(kComPrefix.size());
    const bool number =
        !digits.empty() && digits.size() <= 3 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!number || std::stoi(digits) < 1 || std::stoi(digits) > kLastComNumber) {
      Refuse(LineOf(node), "串口号应为 COM1..COM255：" + port,
             "port number must be COM1..COM255: " + port);
    }
  } else if (!port.starts_with("/")) {
    Refuse(LineOf(node), "port 应为设备路径（/dev/...）、COMn 或 tcp://主机:端口：" + port,
           "port must be a device path (/dev/...), COMn or tcp://HOST:PORT: " + port);
  }
}

MeterEntry ReadMeter(const toml::node& node) {
  MeterEntry meter;
  const toml::node* address = &node;
  if (const toml::table* t = node.as_table()) {
    CheckKeys(*t, kMeterKeys, "meters");
    address = t->get("address");
    if (address == nullptr) Refuse(LineOf(node), "仪表缺少 address", "meter lacks address");
    meter.name = Text(*t, "name", true).value_or("");
  }
  const auto* value = address->as_integer();
  if (value == nullptr || value->get() < kFirstMeterAddress || value->get() > kLastMeterAddress) {
    Refuse(LineOf(*address), "仪表地址必须是 1..247 之间的整数",
           "meter address must be a whole number in 1..247");
  }
  meter.address = static_cast<uint8_t>(value->get());
  return meter;
}

LineConfig ReadLine(const toml::table& t, const std::set<std::string>& namesSoFar) {
  CheckKeys(t, kLineKeys, "[[line]]");
  LineConfig line;
  line.line = LineOf(t);
  const auto name = Text(t, "name", true);
  if (!name) Refuse(line.line, "[[line]] 缺少 name", "[[line]] lacks name");
  if (!IsPlainName(*name)) {
    Refuse(LineOf(*t.get("name")), "name 只能含字母、数字、_ 和 -：" + *name,
           "name may hold only letters, digits, _ and -: " + *name);
  }
  if (namesSoFar.count(*name) != 0) {
    Refuse(LineOf(*t.get("name")), "线路名重复：" + *name, "line name used twice: " + *name);
  }
  line.name = *name;
  const auto port = Text(t, "port", true);
  if (!port)
    Refuse(line.line, "线路 " + line.name + " 缺少 port", "line " + line.name + " lacks port");
  CheckPort(*t.get("port"), *port);
  line.port = *port;
  if (const toml::node* baud = t.get("baud")) {
    const auto* value = baud->as_integer();
    const auto supported = [&](const serial::BaudRow& row) { return row.baudRate == value->get(); };
    if (value == nullptr ||
        std::none_of(serial::kBaudRows.begin(), serial::kBaudRows.end(), supported)) {
      Refuse(LineOf(*baud), "baud 必须是 1200、2400、4800、9600 或 19200",
             "baud must be 1200, 2400, 4800, 9600 or 19200");
    }
    line.baud = static_cast<int32_t>(value->get());
    line.settingsGiven = true;
  }
  if (const auto parity = Text(t, "parity", true)) {
    if (*parity == "none") {
      line.parity = serial::Parity::None;
    } else if (*parity == "odd") {
      line.parity = serial::Parity::Odd;
    } else if (*parity == "even") {
      line.parity = serial::Parity::Even;
    } else {
      Refuse(LineOf(*t.get("parity")), "parity 必须是 \"none\"、\"odd\" 或 \"even\"",
             "parity must be \"none\", \"odd\" or \"even\"");
    }
    line.settingsGiven = true;
  }
  line.find = Flag(t, "find").value_or(false);
  line.rs485 = Flag(t, "rs485").value_or(false);
  if (const toml::node* meters = t.get("meters")) {
    const toml::array* list = meters->as_array();
    if (list == nullptr) {
      Refuse(LineOf(*meters), "meters 必须是列表，如 [3, 17, 200]",
             "meters must be a list such as [3, 17, 200]");
    }
    for (const toml::node& item : *list) {
      MeterEntry meter = ReadMeter(item);
      for (const MeterEntry& other : line.meters) {
        if (other.address == meter.address) {
          Refuse(LineOf(item), "仪表地址重复：" + std::to_string(meter.address),
                 "meter address listed twice: " + std::to_string(meter.address));
        }
      }
      line.meters.push_back(std::move(meter));
    }
  }
  if (line.meters.empty() && !line.find) {
    Refuse(line.line, "线路 " + line.name + " 没有仪表：请给出 meters 或 find = true",
           "line " + line.name + " has no meters: give meters or find = true");
  }
  return line;
}

ServiceConfig ReadConfig(const toml::table& root) {
  CheckKeys(root, kTopKeys, "文件顶层 / top level");
  ServiceConfig config;
  if (const toml::table* s = SubTable(root, "service")) {
    CheckKeys(*s, kServiceKeys, "[service]");
    config.intervalMs =
        static_cast<uint32_t>(Number(*s, "interval_ms", 100, 3600000).value_or(config.intervalMs));
    config.spoolFolder = Text(*s, "spool_folder", true).value_or(config.spoolFolder);
    config.spoolMiB =
        static_cast<uint32_t>(Number(*s, "spool_mib", 1, 1024).value_or(config.spoolMiB));
  }
  if (const toml::table* m = SubTable(root, "mqtt")) config.mqtt = ReadMqtt(*m);
  if (const toml::table* c = SubTable(root, "csv")) {
    CheckKeys(*c, kCsvKeys, "[csv]");
    const auto folder = Text(*c, "folder", true);
    if (!folder) Refuse(LineOf(*c), "[csv] 缺少 folder", "[csv] lacks folder");
    config.csv =
        CsvConfig{*folder, static_cast<int>(Number(*c, "keep_days", 1, 36500).value_or(30))};
  }
  const toml::node* lines = root.get("line");
  const toml::array* list = lines != nullptr ? lines->as_array() : nullptr;
  if (lines != nullptr && (list == nullptr || !list->is_array_of_tables())) {
    Refuse(LineOf(*lines), "line 必须写成 [[line]] 表", "line must be written as [[line]] tables");
  }
  if (list == nullptr || list->empty())
    Refuse(0, "没有 [[line]]：至少要一条线路", "no [[line]]: at least one line is needed");
  std::set<std::string> names;
  for (const toml::node& node : *list) {
    config.lines.push_back(ReadLine(*node.as_table(), names));
    names.insert(config.lines.back().name);
  }
  if (!config.mqtt && !config.csv) {
    Refuse(0, "没有输出：请给出 [mqtt] 或 [csv]", "no output: give [mqtt] or [csv]");
  }
  return config;
}

}  // namespace

std::string ConfigErrorText(const std::string& path, const ConfigError& error) {
  if (error.line <= 0) return path + "：" + error.chinese + "\n" + path + ": " + error.english;
  const std::string n = std::to_string(error.line);
  return path + " 第 " + n + " 行：" + error.chinese + "\n" + path + " line " + n + ": " +
         error.english;
}

std::variant<ServiceConfig, ConfigError> ParseServiceConfig(const std::string& text,
                                                            const std::string& path) {
  try {
    const toml::table root = toml::parse(text, path);
    return ReadConfig(root);
  } catch (const toml::parse_error& e) {
    return ConfigError{static_cast<int>(e.source().begin.line), "TOML 语法错误",
                       "TOML syntax error: " + std::string(e.description())};
  } catch (const Refusal& r) {
    return r.error;
  }
}

std::variant<ServiceConfig, ConfigError> ReadServiceConfig(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::error_code ignored;  // a folder opens, and reads as an empty file
  if (!in || std::filesystem::is_directory(path, ignored)) {
    return ConfigError{0, "无法读取配置文件", "cannot read the configuration file"};
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseServiceConfig(text.str(), path);
}

std::string BrokerClientId(const MqttConfig& mqtt, const std::string& hostName) {
  if (!mqtt.clientId.empty()) return mqtt.clientId;
  return hostName.empty() ? "kt7340d" : "kt7340d-" + hostName;
}

std::string SettingsText(const LineConfig& line) {
  for (const serial::ParityRow& row : serial::kParityRows) {
    if (row.parity == line.parity)
      return std::to_string(line.baud) + std::string(row.settingsSuffix);
  }
  return {};
}

}  // namespace kt::service
