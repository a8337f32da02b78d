// kt7340d's configuration file: the issue's example as written, and each refusal at its line.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "service/JsonText.h"
#include "service/ServiceConfig.h"

namespace kt::service {
namespace {

constexpr const char* kExample = R"([mqtt]
url = "mqtt://127.0.0.1:1883"
prefix = "kt7340"
homeassistant = true

[[line]]
name = "panel1"
port = "/dev/ttyUSB0"        # or "COM1", or "tcp://192.168.1.20:4001"
baud = 9600
parity = "none"
meters = [3, 17, 200]

[csv]
folder = "/var/lib/kt7340"
keep_days = 30
)";

TEST(ServiceConfig, TheExampleReadsAsWritten) {
  const auto read = ParseServiceConfig(kExample, "kt7340d.toml");
  ASSERT_TRUE(std::holds_alternative<ServiceConfig>(read))
      << ConfigErrorText("kt7340d.toml", std::get<ConfigError>(read));
  const ServiceConfig& c = std::get<ServiceConfig>(read);
  ASSERT_TRUE(c.mqtt && c.csv);
  EXPECT_EQ(c.mqtt->host, "127.0.0.1");
  EXPECT_EQ(c.mqtt->port, 1883);
  EXPECT_FALSE(c.mqtt->tls);
  EXPECT_TRUE(c.mqtt->homeAssistant);
  ASSERT_EQ(c.lines.size(), 1u);
  EXPECT_EQ(c.lines[0].port, "/dev/ttyUSB0");
  EXPECT_EQ(SettingsText(c.lines[0]), "9600N,8,2");
  ASSERT_EQ(c.lines[0].meters.size(), 3u);
  EXPECT_EQ(c.lines[0].meters[2].address, 200);
  EXPECT_EQ(c.csv->folder, "/var/lib/kt7340");
  EXPECT_EQ(c.csv->keepDays, 30);
  EXPECT_EQ(BrokerClientId(*c.mqtt, "gw"), "kt7340d-gw");
  std::string named = kExample;  // the file's client_id before the host's name
  named.replace(named.find("homeassistant = true"), 20, "client_id = \"gw-a\"");
  EXPECT_EQ(BrokerClientId(*std::get<ServiceConfig>(ParseServiceConfig(named, "k")).mqtt, "gw"),
            "gw-a");
}

TEST(ServiceConfig, TheInstalledExampleIsGood) {
  std::ifstream in(KT7340_EXAMPLE_CONFIG);
  std::stringstream text;
  text << in.rdbuf();
  const auto read = ParseServiceConfig(text.str(), KT7340_EXAMPLE_CONFIG);
  EXPECT_TRUE(std::holds_alternative<ServiceConfig>(read))
      << ConfigErrorText("example", std::get<ConfigError>(read));
}

// One line of the example replaced (or, with `at` beyond its end, one added): each rule just
// inside its edge (no error, line 0) and just outside (the error's line and a word of it).
struct Edit {
  int at;  // 1-based line of kExample to replace; 0: none
  const char* text;
  int line;  // expected error line; 0: accepted; -1: an error of the whole file
  const char* word = "";
};

constexpr Edit kEdits[] = {
    {9, "baud = 19200", 0},
    {9, "baud = 38400", 9, "baud"},
    {9, "baud = \"9600\"", 9, "baud"},
    {10, "parity = \"even\"", 0},
    {10, "parity = \"mark\"", 10, "parity"},
    {11, "meters = [1, 247]", 0},
    {11, "meters = [1, 248]", 11, "1..247"},
    {11, "meters = [0]", 11, "1..247"},
    {11, "meters = [3, 17, 3]", 11, "twice"},
    {11, "meters = [{ address = 17, name = \"Chiller\" }]", 0},
    {11, "meters = [{ name = \"Chiller\" }]", 11, "address"},
    {11, "find = true", 0},
    {11, "meters = []", 6, "no meters"},
    {8, "port = \"COM255\"", 0},
    {8, "port = \"COM256\"", 8, "COM1..COM255"},
    {8, "port = \"COM0\"", 8, "COM1..COM255"},
    {8, "port = \"ttyUSB0\"", 8, "device path"},
    {8, "port = \"tcp://192.168.1.20:4001\"", 0},
    {8, "port = \"tcp://192.168.1.20\"", 8, "tcp://HOST:PORT"},
    {7, "name = \"panel-1_a\"", 0},
    {7, "name = \"panel 1\"", 7, "letters"},
    {7, "bauds = 9600", 7, "unknown key bauds"},
    {2, "url = \"mqtts://broker.local\"", 0},
    {2, "url = \"http://broker.local\"", 2, "mqtt://"},
    {2, "url = \"mqtt://broker.local:0\"", 2, "port"},
    {2, "url = \"mqtt://[::1]\"", 0},
    {2, "url = \"mqtt://[broker.local\"", 2, "bad host"},
    {3, "prefix = \"site/a\"", 0},
    {3, "prefix = \"site/#\"", 3, "prefix"},
    {3, "prefix = \"site/\"", 3, "prefix"},
    {4, "homeassistant = \"yes\"", 4, "true or false"},
    {4, "password = \"x\"", 4, "without username"},
    {4, "cert_file = \"/etc/kt7340/c.crt\"", 4, "go together"},
    {4, "ca_file = \"/none/ca.crt\"", 0},  // used with TLS only
    {2, "url = \"mqtts://b\"\nca_file = \"" KT7340_EXAMPLE_CONFIG "\"", 0},
    {2, "url = \"mqtts://b\"\nca_file = \"/none/ca.crt\"", 3, "ca_file cannot be read"},
    {2, "url = \"mqtts://b\"\ncert_file = \"/tmp\"\nkey_file = \"/tmp\"", 3, "cert_file cannot"},
    {15, "keep_days = 1", 0},
    {15, "keep_days = 0", 15, "1..36500"},
    {14, "folder = \"\"", 14, "non-empty"},
    {1, "[mqtt", 1, "TOML"},
    {10, "parity = \"none", 10, "TOML"},
    {16, "[service]\ninterval_ms = 100", 0},
    {16, "[service]\ninterval_ms = 99", 17, "100..3600000"},
    {16, "[[line]]\nname = \"panel1\"\nport = \"COM1\"\nmeters = [1]", 17, "twice"},
    {16, "[[line]]\nname = \"panel2\"\nmeters = [1]", 16, "lacks port"},
    {6, "[nothing]", 6, "unknown key nothing"},
};

std::string Edited(const Edit& e) {
  std::istringstream in(kExample);
  std::string line, out;
  for (int n = 1; std::getline(in, line); ++n) out += (n == e.at ? e.text : line) + "\n";
  if (e.at > 15) out += std::string(e.text) + "\n";
  return out;
}

TEST(ServiceConfig, EachRefusalNamesItsLine) {
  for (const Edit& e : kEdits) {
    const auto read = ParseServiceConfig(Edited(e), "k.toml");
    if (e.line == 0) {
      EXPECT_TRUE(std::holds_alternative<ServiceConfig>(read))
          << e.text << ": " << ConfigErrorText("k.toml", std::get<ConfigError>(read));
      continue;
    }
    ASSERT_TRUE(std::holds_alternative<ConfigError>(read)) << e.text;
    const ConfigError& error = std::get<ConfigError>(read);
    EXPECT_EQ(error.line, e.line) << e.text;
    EXPECT_NE(error.english.find(e.word), std::string::npos) << e.text << ": " << error.english;
    EXPECT_FALSE(error.chinese.empty()) << e.text;
    const std::string text = ConfigErrorText("k.toml", error);
    EXPECT_NE(text.find("第 " + std::to_string(e.line) + " 行"), std::string::npos) << text;
    EXPECT_NE(text.find("line " + std::to_string(e.line) + ":"), std::string::npos) << text;
  }
}

TEST(ServiceConfig, AFileWithoutLinesOrOutputsIsRefusedAsAWhole) {
  for (const char* text : {"[mqtt]\n", "[[line]]\nname = \"a\"\nport = \"COM1\"\nmeters = [1]\n"}) {
    const auto read = ParseServiceConfig(text, "k.toml");
    ASSERT_TRUE(std::holds_alternative<ConfigError>(read)) << text;
    EXPECT_EQ(std::get<ConfigError>(read).line, 0) << text;
  }
  EXPECT_EQ(std::get<ConfigError>(ReadServiceConfig("/")).english,
            "cannot read the configuration file");
}

TEST(JsonText, StringsAreEscapedAndNumbersChecked) {
  struct Case {
    std::string in, out;
  };
  const Case strings[] = {
      {"正常", "\"正常\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"\n\t\x01\x7f", "\"\\n\\t\\u0001\\u007f\""},
      {"\xff"
       "a",
       "\"\xEF\xBF\xBD"
       "a\""},                                                       // no UTF-8
      {"\xE6\xAD", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                  // cut short
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
  };
  for (const Case& c : strings) EXPECT_EQ(JsonString(c.in), c.out) << c.in;
  const Case numbers[] = {{"230.12", "230.12"}, {"-0.5", "-0.5"}, {"0", "0"},     {"nan", "null"},
                          {"-inf", "null"},     {"", "null"},     {"01", "null"}, {"1.", "null"}};
  for (const Case& c : numbers) EXPECT_EQ(JsonNumber(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace kt::service
