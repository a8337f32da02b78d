// kt7340-sim against an independent master (libmodbus, and raw bytes) on a pseudo-terminal.
// (Writes, read-backs and refusals: meter_test and rtu_slave_test, replies byte for byte;
// broadcasts and the settings a master must match: rtu_slave_test, line_settings_test.)
#include <errno.h>
#include <gtest/gtest.h>
#include <modbus.h>
#include <unistd.h>

#include <cmath>
#include <map>
#include <memory>
#include <sstream>

#include "SimProcess.h"
#include "modbus/FindFrame.h"

using kt::sim::testing::RawPort;
using kt::sim::testing::SimProcess;
using kt::sim::testing::WithCrc;
using Bytes = std::vector<uint8_t>;

namespace {

struct ModbusDeleter {
  void operator()(modbus_t* ctx) const {
    modbus_close(ctx);
    modbus_free(ctx);
  }
};
using Master = std::unique_ptr<modbus_t, ModbusDeleter>;

// A libmodbus RTU master on the simulator's terminal; waits `timeoutMs` for each reply.
Master Connect(const std::string& path, int baud, char parity, int slave, int timeoutMs = 500) {
  Master m(modbus_new_rtu(path.c_str(), baud, parity, 8, parity == 'N' ? 2 : 1));
  if (!m) return m;
  modbus_set_slave(m.get(), slave);
  modbus_set_response_timeout(m.get(), 0, static_cast<uint32_t>(timeoutMs) * 1000);
  if (modbus_connect(m.get()) != 0) m.reset();
  return m;
}

std::vector<uint16_t> ReadRegs(modbus_t* m, int start, int count) {
  std::vector<uint16_t> regs(static_cast<size_t>(count));
  if (modbus_read_registers(m, start, count, regs.data()) != count) regs.clear();
  return regs;
}

std::map<std::string, double> ParseValues(const std::string& line) {
  std::map<std::string, double> values;
  std::istringstream in(line);
  std::string item;
  while (in >> item) {
    const size_t eq = item.find('=');
    if (eq != std::string::npos) values[item.substr(0, eq)] = std::stod(item.substr(eq + 1));
  }
  return values;
}

TEST(SimProcess, MeasurementBlockDecodesToTheSimulatedValues) {
  SimProcess sim({"--pt", "100", "--ct", "5", "--power-multiplier", "--energy-exponent", "2",
                  "--response-delay", "5"});
  ASSERT_FALSE(sim.path().empty());
  Master m = Connect(sim.path(), 9600, 'N', 1);
  ASSERT_TRUE(m);
  for (int block = 0; block < 2; ++block) {
    const size_t from = sim.Lines().size();
    const std::vector<uint16_t> r = ReadRegs(m.get(), 0, 45);
    ASSERT_EQ(r.size(), 45u) << modbus_strerror(errno);
    const auto line = sim.WaitForLine("VALUES", from, 2000);
    ASSERT_TRUE(line);
    auto v = ParseValues(*line);
    const double pt = 100, ct = 5, k = 4, e = 100;
    const auto s16 = [&](int i) { return static_cast<double>(static_cast<int16_t>(r[i])); };
    const char* phases[3] = {"a", "b", "c"};
    const char* lines[3] = {"Uca", "Uab", "Ubc"};
    for (int p = 0; p < 3; ++p) {
      const std::string x = phases[p];
      const int b = 8 * p;
      EXPECT_NEAR(r[b] * pt / 100, v["U" + x], pt / 200 + 1e-3);
      EXPECT_NEAR(r[b + 1] * pt / 100, v[lines[p]], pt / 200 + 1e-3);
      EXPECT_NEAR(r[b + 2] * ct / 10000, v["I" + x], ct / 20000 + 1e-5);
      EXPECT_NEAR(s16(b + 4) * pt * ct * k / 10, v["P" + x], pt * ct * k / 20 + 1e-3);
      EXPECT_NEAR(s16(b + 5) / 10000, v["PF" + x], 0.00005 + 1e-6);
      EXPECT_NEAR(s16(b + 6) * pt * ct * k / 10, v["Q" + x], pt * ct * k / 20 + 1e-3);
      EXPECT_NEAR(r[b + 7] * pt * ct / 5, v["S" + x], pt * ct / 10 + 1e-3);
    }
    EXPECT_NEAR(r[0x1B] * 0.00106813, v["F"], 0.00054);
    EXPECT_NEAR(s16(0x1C) * pt * ct * k / 10, v["P"], pt * ct * k / 20 + 1e-3);
    EXPECT_NEAR((r[0x22] * 65536.0 + r[0x21]) * e * pt * ct, v["EPf"], e * pt * ct / 2 + 1e-3);
    EXPECT_NEAR((r[0x26] * 65536.0 + r[0x25]) * e * pt * ct, v["EQf"], e * pt * ct / 2 + 1e-3);
    // A plausible load: 220 V phase, 380 V line, a few amperes, 50 Hz, on the primary side.
    EXPECT_NEAR(v["Ua"], 22000, 500);
    EXPECT_NEAR(v["Uab"], 38100, 900);
    EXPECT_NEAR(v["F"], 50, 0.05);
  }
}

TEST(SimProcess, BaudChangeIsAcknowledgedThenOnlyTheNewRateIsAnswered) {
  SimProcess sim({"--response-delay", "5"});
  {
    Master old = Connect(sim.path(), 9600, 'N', 1, 300);
    ASSERT_TRUE(old);
    ASSERT_EQ(modbus_write_register(old.get(), 0x0008, 4), 1) << modbus_strerror(errno);
    EXPECT_TRUE(ReadRegs(old.get(), 0x0300, 1).empty());
    EXPECT_EQ(errno, ETIMEDOUT);
  }
  {
    Master wrongParity = Connect(sim.path(), 19200, 'E', 1, 300);
    ASSERT_TRUE(wrongParity);
    EXPECT_TRUE(ReadRegs(wrongParity.get(), 0x0300, 1).empty());
  }
  Master fresh = Connect(sim.path(), 19200, 'N', 1);
  ASSERT_TRUE(fresh);
  EXPECT_EQ(ReadRegs(fresh.get(), 0x0300, 1), std::vector<uint16_t>{1});
  EXPECT_EQ(ReadRegs(fresh.get(), 0x0303, 1), std::vector<uint16_t>{4});
}

bool HasFrameAt(const Bytes& b, int at, int16_t length) {
  return kt::modbus::FindFrame(b, kt::modbus::SlaveAddress(1), kt::modbus::FunctionCode(0x03),
                               length) == at;
}

// A simulator started with `args` and a raw master at `baud`, N,8,2 that has sent `request`.
struct Asked {
  Asked(const std::vector<std::string>& args, const Bytes& request, int baud = 9600)
      : sim(args), raw(sim.path(), baud, 'N') {
    raw.Write(request);
  }
  SimProcess sim;
  RawPort raw;
};

const Bytes kReadPt = WithCrc({1, 3, 0x03, 0x07, 0, 1});  // a 7-byte reply

TEST(SimProcess, FaultOptionsShowOnTheMasterSide) {
  {
    Asked a({"--noise", "3", "--stray", "2", "--response-delay", "5", "--seed", "5"}, kReadPt);
    const Bytes got = a.raw.CollectBytes(300);
    ASSERT_EQ(got.size(), 12u);
    EXPECT_TRUE(HasFrameAt(got, 3, 7));
  }
  {
    SimProcess sim({"--corrupt-crc", "--response-delay", "5"});
    Master m = Connect(sim.path(), 9600, 'N', 1);
    EXPECT_TRUE(ReadRegs(m.get(), 0x0307, 1).empty());
    EXPECT_EQ(errno, EMBBADCRC);
  }
  {
    SimProcess sim({"--drop-every", "2", "--response-delay", "5"});
    Master m = Connect(sim.path(), 9600, 'N', 1, 300);
    EXPECT_EQ(ReadRegs(m.get(), 0x0307, 1).size(), 1u);
    EXPECT_TRUE(ReadRegs(m.get(), 0x0307, 1).empty());
    EXPECT_EQ(ReadRegs(m.get(), 0x0307, 1).size(), 1u);
  }
  {
    Asked a({"--late", "400", "--response-delay", "5"}, kReadPt);
    // Nothing in the first half of the delay (a slow machine only makes it later), then the
    // whole reply.
    EXPECT_TRUE(a.raw.CollectBytes(200).empty());
    const Bytes got = a.raw.CollectBytes(1500);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_TRUE(HasFrameAt(got, 0, 7));
  }
  {
    Asked a({"--split-gap", "200", "--response-delay", "5"}, kReadPt);
    const auto chunks = a.raw.Collect(1500);
    // The reply comes in more than one piece, in order: together they are the whole frame.
    ASSERT_GE(chunks.size(), 2u);
    Bytes all;
    for (const auto& c : chunks) all.insert(all.end(), c.bytes.begin(), c.bytes.end());
    EXPECT_LT(chunks.front().bytes.size(), 7u);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_TRUE(HasFrameAt(all, 0, 7));
  }
}

TEST(SimProcess, StatusTrailerFollowsTheBlock) {
  Asked a({"--status-trailer", "--limits", "23000,24200,500,50000", "--response-delay", "5"},
          WithCrc({1, 3, 0, 0, 0, 0x2D}));
  const Bytes got = a.raw.CollectBytes(400);
  ASSERT_EQ(got.size(), 97u);
  EXPECT_TRUE(HasFrameAt(got, 0, 95));
  const auto line = a.sim.WaitForLine("VALUES", 0, 1000);  // the only block read
  ASSERT_TRUE(line);
  auto v = ParseValues(*line);
  EXPECT_EQ(got[95], static_cast<int>(v["VS"]));
  EXPECT_EQ(got[96], static_cast<int>(v["CS"]));
  EXPECT_EQ(got[95], 0x55);  // every voltage under 230 V
}

TEST(SimProcess, EndsCleanlyOnSigtermAndRemovesItsLink) {
  const std::string link = "/tmp/kt7340-sim-test-" + std::to_string(getpid());
  SimProcess sim({"--link", link});
  ASSERT_FALSE(sim.path().empty());
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(sim.path(), target);
  EXPECT_EQ(sim.Terminate(2000), 0);
  EXPECT_NE(access(link.c_str(), F_OK), 0);
}

TEST(SimProcess, ReopeningTheTerminalKeepsTheMeterServing) {
  SimProcess sim({"--response-delay", "5"});
  for (int n = 0; n < 3; ++n) {
    Master m = Connect(sim.path(), 9600, 'N', 1);
    ASSERT_TRUE(m);
    EXPECT_EQ(ReadRegs(m.get(), 0x0300, 1), std::vector<uint16_t>{1}) << n;
  }
}

}  // namespace

// On a pseudo-terminal the request takes its wire time too: at 1200 bit/s the reply to an
// 8-byte request is whole no sooner than 8 + 3.5 + 7 characters (170 ms) after the write. An
// echoing line with nothing attached gives back just the request.
TEST(SimProcess, RequestsTakeTheirWireTimeAndAnEchoingLineGivesThemBack) {
  const Bytes request = WithCrc({1, 3, 0x03, 0x00, 0, 1});
  Asked slow({"--baud", "1200", "--answer-delay", "0", "--quiet"}, request, 1200);
  const auto chunks = slow.raw.Collect(600);
  ASSERT_FALSE(chunks.empty());
  EXPECT_GE(chunks.back().atMs, 170 - 5);
  Asked echoing({"--echo", "--no-meter", "--quiet"}, request);
  EXPECT_EQ(echoing.raw.CollectBytes(400), request);
}
