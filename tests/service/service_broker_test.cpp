// kt7340d against a real broker and simulated lines: what it publishes, a silenced meter's
// availability, and that nothing is lost while the broker is away.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "BrokerFixture.h"
#include "SimProcess.h"
#include "modbus/Clock.h"
#include "service/Publisher.h"
#include "service/StateMessage.h"

namespace kt::service::testing {
namespace {

namespace fs = std::filesystem;
using sim::testing::SimProcess;

// The state's keys in their order, as the README lists them.
const std::vector<std::string> kKeys = {
    "time", "line", "address", "u",      "ua",     "ub",     "uc",     "ul",     "uab",   "ubc",
    "uca",  "i",    "ia",      "ib",     "ic",     "p",      "pa",     "pb",     "pc",    "q",
    "qa",   "qb",   "qc",      "s",      "sa",     "sb",     "sc",     "pf",     "pfa",   "pfb",
    "pfc",  "f",    "i0",      "ep_imp", "ep_exp", "eq_imp", "eq_exp", "status", "wiring"};

// The top-level keys of a flat JSON object with one nested object ("status").
std::vector<std::string> TopKeys(const std::string& json) {
  std::vector<std::string> keys;
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < json.size(); ++i) {
    const char c = json[i];
    if (inString) {
      if (c == '\\') ++i;
      if (c == '"') inString = false;
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}') --depth;
    if (c != '"') continue;
    const size_t end = json.find('"', i + 1);
    if (depth == 1 && json[end + 1] == ':') keys.push_back(json.substr(i + 1, end - i - 1));
    if (depth != 1 || json[end + 1] != ':') inString = true;
    if (depth == 1 && json[end + 1] == ':') i = end;
  }
  return keys;
}

// The value text of the first `"key":` (a quoted text with its quotes, or up to , or }).
std::string Field(const std::string& json, const std::string& key) {
  const std::string named = "\"" + key + "\":";
  const size_t at = json.find(named);
  if (at == std::string::npos) return "";
  const size_t from = at + named.size();
  const size_t end =
      json[from] == '"' ? json.find('"', from + 1) + 1 : json.find_first_of(",}", from);
  return json.substr(from, end - from);
}

// "2026-12-10T08:15:02.250Z" with its quotes: digits where digits belong.
bool IsIsoUtcTime(const std::string& quoted) {
  const std::string shape = "\"dddd-dd-ddTdd:dd:dd.dddZ\"";
  if (quoted.size() != shape.size()) return false;
  for (size_t i = 0; i < shape.size(); ++i) {
    const bool digit = quoted[i] >= '0' && quoted[i] <= '9';
    if (shape[i] == 'd' ? !digit : quoted[i] != shape[i]) return false;
  }
  return true;
}

class ServiceBrokerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("kt7340d_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    broker_ = std::make_unique<Broker>(FreeLoopbackPort(), folder_.string());
    subscriber_ = std::make_unique<Subscriber>(broker_->port());
  }
  void TearDown() override {
    service_.reset();
    subscriber_.reset();
    broker_.reset();
    if (!HasFailure()) fs::remove_all(folder_);
  }
  // kt7340d on the simulators' lines: one [[line]] per (name, sim, meters).
  void StartService(const std::vector<std::tuple<std::string, SimProcess*, std::string>>& lines,
                    int intervalMs, int baud = 9600, const std::string& scheme = "mqtt") {
    std::ofstream file(folder_ / "kt7340d.toml");
    file << "[service]\ninterval_ms = " << intervalMs << "\nspool_folder = \"" << folder_.string()
         << "/spool\"\n\n[mqtt]\nurl = \"" << scheme << "://127.0.0.1:" << broker_->port()
         << "\"\nprefix = \"kt7340\"\nhomeassistant = true\n\n[csv]\nfolder = \""
         << folder_.string() << "/csv\"\nkeep_days = 2\n";
    for (const auto& [name, sim, meters] : lines) {
      file << "\n[[line]]\nname = \"" << name << "\"\nport = \"" << sim->path()
           << "\"\nbaud = " << baud << "\nmeters = " << meters << "\n";
    }
    file.close();
    service_ = std::make_unique<Child>(
        std::vector<std::string>{KT7340D_PATH, "--config", (folder_ / "kt7340d.toml").string()},
        (folder_ / "kt7340d.log").string());
  }
  std::string Log() const {
    std::ifstream in(folder_ / "kt7340d.log");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path folder_;
  std::unique_ptr<Broker> broker_;
  std::unique_ptr<Subscriber> subscriber_;
  std::unique_ptr<Child> service_;
};

TEST_F(ServiceBrokerTest, EveryMeterPublishesItsStateWithItsOwnRatiosAndDiscovery) {
  SimProcess sim({"--meter", "3:pt=10,ct=20", "--meter", "17:pt=35,ct=40", "--meter", "200:ct=100",
                  "--status-trailer"});
  SimProcess silenced({"--address", "9", "--quiet"});  // on a line of its own
  ASSERT_FALSE(sim.path().empty());
  StartService({{"panel1", &sim, "[3, 17, 200]"}, {"b", &silenced, "[9]"}}, 500);
  const auto allThree = [&] {
    return !subscriber_->On("kt7340/panel1/3/state").empty() &&
           !subscriber_->On("kt7340/panel1/17/state").empty() &&
           !subscriber_->On("kt7340/panel1/200/state").empty();
  };
  ASSERT_TRUE(subscriber_->WaitFor(allThree, 10000)) << Log();

  const std::string state = subscriber_->On("kt7340/panel1/17/state").front();
  EXPECT_EQ(TopKeys(state), kKeys) << state;
  EXPECT_EQ(Field(state, "address"), "17");
  EXPECT_EQ(Field(state, "line"), "\"panel1\"");
  EXPECT_TRUE(IsIsoUtcTime(Field(state, "time"))) << Field(state, "time");
  EXPECT_EQ(Field(state, "u1"), "\"正常\"");
  EXPECT_EQ(Field(state, "wiring"), "\"正常\"");
  // Phase A voltage: the simulated secondary voltage (220 V and its small noise) in the
  // register's steps of 0.01 V, times the PT ratio of meter 17, as the main dialog shows it.
  const double ua = std::stod(Field(state, "ua"));
  EXPECT_NEAR(ua, 220.0 * 35, 220.0 * 35 * 0.01);
  bool matched = false;
  for (const std::string& line : sim.Lines()) {
    const size_t at = line.find(" VALUES Ua=");
    if (at == std::string::npos) continue;
    const double secondary = std::stod(line.substr(at + 11)) / 35;
    matched = matched || std::abs(std::round(secondary * 100) / 100 * 35 - ua) < 1e-6;
  }
  EXPECT_TRUE(matched) << "ua " << ua << " is no block the simulator sent";
  // Meter 3's ratios are its own.
  const double ua3 = std::stod(Field(subscriber_->On("kt7340/panel1/3/state").front(), "ua"));
  EXPECT_NEAR(ua3, 220.0 * 10, 220.0 * 10 * 0.01);

  // Meter 9 goes offline while its line is silent and online again; the other line goes on.
  const auto lastIs = [&](const std::string& topic, const std::string& value) {
    return [&, topic, value] {
      const auto all = subscriber_->On(topic);
      return !all.empty() && all.back() == value;
    };
  };
  ASSERT_TRUE(subscriber_->WaitFor(lastIs("kt7340/b/9/availability", "online"), 10000)) << Log();
  kill(silenced.pid(), SIGSTOP);
  const size_t before = subscriber_->On("kt7340/panel1/17/state").size();
  EXPECT_TRUE(subscriber_->WaitFor(lastIs("kt7340/b/9/availability", "offline"), 10000));
  kill(silenced.pid(), SIGCONT);
  EXPECT_TRUE(subscriber_->WaitFor(lastIs("kt7340/b/9/availability", "online"), 10000));
  EXPECT_GT(subscriber_->On("kt7340/panel1/17/state").size(), before);
  EXPECT_EQ(subscriber_->On("kt7340/panel1/17/availability"), std::vector<std::string>{"online"});
  EXPECT_EQ(subscriber_->On("kt7340/status").front(), "online");
  const auto voltage = subscriber_->On("homeassistant/sensor/kt7340_panel1_17/ua/config");
  ASSERT_EQ(voltage.size(), 1u);
  EXPECT_EQ(Field(voltage[0], "device_class"), "\"voltage\"");
  EXPECT_EQ(Field(voltage[0], "state_class"), "\"measurement\"");
  EXPECT_EQ(Field(voltage[0], "state_topic"), "\"kt7340/panel1/17/state\"");
  const auto energy = subscriber_->On("homeassistant/sensor/kt7340_panel1_200/ep_imp/config");
  ASSERT_EQ(energy.size(), 1u);
  EXPECT_EQ(Field(energy[0], "device_class"), "\"energy\"");
  EXPECT_EQ(Field(energy[0], "state_class"), "\"total_increasing\"");
  // Retained: a subscriber that comes later gets the discovery and the availability.
  Subscriber later(broker_->port(), "later");
  const auto counted = [&](const Subscriber& s, const std::string& part = "sensor/kt7340_panel1_") {
    size_t discovery = 0;
    for (const Message& m : s.Messages())
      discovery += m.topic.find(part) != std::string::npos && m.retained;
    return discovery;
  };
  EXPECT_TRUE(later.WaitFor(
      [&] {
        return counted(later) == 3 * kStateKeys.size() &&
               !later.On("kt7340/panel1/200/availability").empty();
      },
      3000))
      << counted(later);
  EXPECT_EQ(later.On("kt7340/panel1/200/availability"), std::vector<std::string>{"online"});

  // A reload while the broker is away, without meter 3 and line b: their retained topics emptied.
  broker_->Stop();
  std::ifstream in(folder_ / "kt7340d.toml");
  std::string toml(std::istreambuf_iterator<char>(in), {});
  toml = toml.substr(0, toml.find("\n[[line]]\nname = \"b\"")).replace(toml.find("[3, "), 4, "[");
  std::ofstream(folder_ / "kt7340d.toml") << toml;
  kill(service_->pid(), SIGHUP);
  ASSERT_TRUE(subscriber_->WaitFor([&] { return Log().find("撤下") != std::string::npos; }, 5000));
  broker_->Start();
  EXPECT_TRUE(subscriber_->WaitFor(lastIs("kt7340/b/9/availability", ""), 10000)) << Log();
  Subscriber after(broker_->port(), "after");
  after.WaitFor([&] { return counted(after, "sensor/") > 2 * kStateKeys.size(); }, 1500);
  EXPECT_EQ(counted(after, "sensor/"), 2 * kStateKeys.size());  // meters 17 and 200 only
  EXPECT_EQ(counted(after, "l1/17/"), 1u);                      // its availability
  EXPECT_EQ(counted(after, "l1/3/") + counted(after, "b/9/"), 0u);

  EXPECT_EQ(service_->Stop(), 0);
  EXPECT_TRUE(subscriber_->WaitFor(
      [&] { return subscriber_->On("kt7340/status").back() == "offline"; }, 3000));
  // The day's CSV file, in the recorder's format.
  std::ifstream csv(
      folder_ / "csv" /
      ("panel1-" + IsoUtcTime(std::chrono::system_clock::now()).substr(0, 10) + ".csv"));
  std::string header;
  std::getline(csv, header);
  EXPECT_NE(header.find("时间,子机地址,A相电压(V)"), std::string::npos);
}

TEST_F(ServiceBrokerTest, StatesMadeWhileTheBrokerIsAwayArriveAfterwardsInOrder) {
  SimProcess sim({"--meter", "5:pt=2", "--baud", "19200", "--quiet"});
  // Left by an earlier run that a power cut hit: a record's start zeroed on disk.
  fs::create_directories(folder_ / "spool");
  std::ofstream(folder_ / "spool/states.spool", std::ios::binary)
      << std::string(4, '\0') << "kt7340/l1/5/state\t{}\nkt7340/old/5/state\t{}\n";
  StartService({{"l1", &sim, "[5]"}}, 200, 19200);
  const std::string topic = "kt7340/l1/5/state";
  ASSERT_TRUE(subscriber_->WaitFor([&] { return subscriber_->On(topic).size() >= 3; }, 10000))
      << Log();
  EXPECT_EQ(subscriber_->On("kt7340/old/5/state").size(), 1u);
  broker_->Stop();
  const int64_t away = NowMs();
  subscriber_->WaitFor([] { return false; }, 6000);
  broker_->Start();
  const int64_t awayMs = NowMs() - away;
  // Every block of the outage comes, then new ones after it.
  const size_t expected = static_cast<size_t>(awayMs / 200);
  ASSERT_TRUE(
      subscriber_->WaitFor([&] { return subscriber_->On(topic).size() >= expected + 8; }, 20000))
      << subscriber_->On(topic).size() << " states\n"
      << Log();
  std::vector<std::string> times;
  for (const std::string& s : subscriber_->On(topic)) times.push_back(Field(s, "time"));
  for (size_t i = 1; i < times.size(); ++i) {
    // QoS 1 may bring a state twice (an acknowledgement lost with the broker), never out of order.
    ASSERT_LE(times[i - 1], times[i]) << "states out of order at " << i;
    // No block left out: the ISO times differ by about one interval (well under a second).
    const auto seconds = [](const std::string& t) {
      return std::stod(t.substr(15, 2)) * 60 + std::stod(t.substr(18, 6));
    };
    const double gap = std::fmod(seconds(times[i]) - seconds(times[i - 1]) + 3600, 3600);
    EXPECT_LT(gap, 0.8) << times[i - 1] << " -> " << times[i];
  }
  EXPECT_NE(Log().find("补发"), std::string::npos) << Log();
}

TEST_F(ServiceBrokerTest, ABrokerThatNeverLetsItInAndASpoolThatCannotBeWrittenAreLogged) {
  SimProcess sim({"--address", "4", "--quiet"});
  fs::create_directories(folder_ / "spool/states.spool");   // a folder where the file should be
  StartService({{"l1", &sim, "[4]"}}, 500, 9600, "mqtts");  // TLS to a plain listener
  const auto logged = [&] {
    return Log().find("MQTT：无法连接代理") != std::string::npos &&
           Log().find("暂存文件写入失败") != std::string::npos;
  };
  EXPECT_TRUE(subscriber_->WaitFor(logged, 10000)) << Log();
  EXPECT_EQ(service_->Stop(), 0);
  EXPECT_NE(Log().find("条状态未能写入暂存文件，已丢失"), std::string::npos) << Log();
}

// A connect call waiting 3 s for a name server: the states made meanwhile, one every 100 ms, are
// taken at once and reach the broker in order; a stop during such a call is not held by it.
TEST_F(ServiceBrokerTest, AConnectWaitingForTheNameServerHoldsNeitherTheStatesNorTheStop) {
  MqttConfig config;
  config.port = broker_->port();
  Spool spool((folder_ / "states.spool").string(), 1 << 20);
  modbus::SteadyClock clock;
  const auto slowCall = [](mosquitto* mosq, const std::string& host, int port, int keepAliveS) {
    std::this_thread::sleep_for(std::chrono::seconds(3));
    return MqttClient::ConnectAsync(mosq, host, port, keepAliveS);
  };
  const service::Log quiet = [](LogLevel, const std::string&) {};
  Publisher publisher(config, "slow", spool, clock, quiet, slowCall);
  std::vector<std::string> made;
  int64_t longestMs = 0, upAfterMs = 0;
  for (const int64_t start = NowMs(); NowMs() - start < 4500;) {
    const int64_t before = NowMs();
    made.push_back(std::to_string(made.size()));
    publisher.State("kt7340/l1/1/state", made.back());
    publisher.Run();
    publisher.Service(true, true);
    longestMs = std::max(longestMs, NowMs() - before);
    if (upAfterMs == 0 && publisher.Connected()) upAfterMs = NowMs() - start;
    subscriber_->WaitFor([] { return false; }, 100);
  }
  EXPECT_LT(longestMs, 1000);
  EXPECT_GE(upAfterMs, 3000);
  EXPECT_TRUE(
      subscriber_->WaitFor([&] { return subscriber_->On("kt7340/l1/1/state") == made; }, 3000));
  Publisher stopped(config, "stop", spool, clock, quiet, slowCall);
  stopped.Run();
  const int64_t stopAt = NowMs();
  stopped.Stop(3000);
  EXPECT_LT(NowMs() - stopAt, 1000);
}

}  // namespace
}  // namespace kt::service::testing
