// kt7340-sim answers only a master at its own baud rate, parity and stop bits; with
// --mismatch-garbage a master at other settings hears the same garbage for the same seed; and
// several meters share one line with their own registers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SimProcess.h"
#include "modbus/FindFrame.h"
#include "serial/LineSettingsTable.h"

using kt::sim::testing::RawPort;
using kt::sim::testing::SimProcess;
using kt::testing::ReadRequest;
using Bytes = std::vector<uint8_t>;

namespace {

struct Setting {
  int baud;
  char parity;  // 'N', 'O', 'E'
};

std::vector<Setting> AllSettings() {
  std::vector<Setting> all;
  for (const auto& row : kt::serial::kBaudRows) {
    for (const char p : {'N', 'O', 'E'}) all.push_back({row.baudRate, p});
  }
  return all;
}

const char* ParityName(char p) {
  return p == 'N' ? "none" : p == 'O' ? "odd" : "even";
}

// The reply of a read of `count` registers from `address`, if one came within `ms`.
bool Answers(const std::string& path, Setting master, uint8_t address, int ms) {
  RawPort port(path, master.baud, master.parity);
  if (!port.ok()) return false;
  port.Write(ReadRequest(address, 0x0300, 1));
  const Bytes reply = port.CollectBytes(ms);
  return kt::modbus::FindFrame(reply, kt::modbus::SlaveAddress(address),
                               kt::modbus::FunctionCode(0x03), 7) >= 0;
}

SimProcess StartAt(Setting s, std::vector<std::string> more = {}) {
  std::vector<std::string> args = {
      "--baud", std::to_string(s.baud), "--parity", ParityName(s.parity), "--response-delay", "5",
      "--quiet"};
  args.insert(args.end(), more.begin(), more.end());
  return SimProcess(args);
}

// Every setting of the meter: the master at the same setting is answered; at the same rate
// with another parity, or the same parity at another rate, it is not; a meter at 2400 E by each
// of the other fourteen neither.
TEST(SimLineSettings, EachOfTheFifteenSettingsIsAnsweredOnlyWhenTheMasterMatches) {
  for (const Setting meter : AllSettings()) {
    SimProcess sim = StartAt(meter);
    ASSERT_TRUE(sim.running());
    const char otherParity = meter.parity == 'N' ? 'E' : meter.parity == 'E' ? 'O' : 'N';
    const int otherBaud = meter.baud == 9600 ? 19200 : 9600;
    std::vector<Setting> masters = {meter, {meter.baud, otherParity}, {otherBaud, meter.parity}};
    if (meter.baud == 2400 && meter.parity == 'E') masters = AllSettings();
    for (const Setting master : masters) {
      const bool same = master.baud == meter.baud && master.parity == meter.parity;
      EXPECT_EQ(Answers(sim.path(), master, 1, same ? 400 : 250), same)
          << meter.baud << meter.parity << " by " << master.baud << master.parity;
    }
  }
}

TEST(SimLineSettings, MismatchGarbageIsTheSameForTheSameSeed) {
  std::vector<Bytes> heard;
  for (const char* seed : {"7", "7", "8"}) {
    SimProcess sim = StartAt({9600, 'N'}, {"--mismatch-garbage", "--seed", seed});
    RawPort port(sim.path(), 19200, 'E');
    ASSERT_TRUE(port.ok());
    port.Write(ReadRequest(1, 0x0300, 1));
    heard.push_back(port.CollectBytes(300));
    // At the meter's own settings it is a reply, and nothing else.
    EXPECT_TRUE(Answers(sim.path(), {9600, 'N'}, 1, 400));
  }
  ASSERT_FALSE(heard[0].empty());
  EXPECT_EQ(kt::modbus::FindFrame(heard[0], kt::modbus::SlaveAddress(1),
                                  kt::modbus::FunctionCode(0x03), 7),
            -1);
  EXPECT_EQ(heard[0], heard[1]);
  EXPECT_NE(heard[0], heard[2]);
}

TEST(SimLineSettings, SeveralMetersOnOneLineAnswerWithTheirOwnRegisters) {
  SimProcess sim = StartAt({4800, 'O'}, {"--pt", "7", "--meter", "3:pt=100,ct=40", "--meter",
                                         "17:ct=300,wiring=3", "--meter", "200"});
  ASSERT_TRUE(sim.running());
  RawPort port(sim.path(), 4800, 'O');
  struct Expected {
    uint8_t address;
    uint16_t pt;
    uint16_t ct;
    uint8_t wiring;
  };
  for (const Expected e :
       {Expected{3, 100, 40, 0}, Expected{17, 7, 300, 3}, Expected{200, 7, 1, 0}}) {
    port.Write(ReadRequest(e.address, 0x0300, 19));
    const Bytes reply = port.CollectBytes(400);
    const int at = kt::modbus::FindFrame(reply, kt::modbus::SlaveAddress(e.address),
                                         kt::modbus::FunctionCode(0x03), 43);
    ASSERT_GE(at, 0) << int{e.address};
    const auto reg = [&](int n) {
      const size_t i = static_cast<size_t>(at) + 3 + 2 * static_cast<size_t>(n);
      return static_cast<uint16_t>(reply[i] << 8 | reply[i + 1]);
    };
    EXPECT_EQ(reg(0), e.address);
    EXPECT_EQ(reg(1), e.wiring);
    EXPECT_EQ(reg(7), e.pt);
    EXPECT_EQ(reg(9), e.ct);
  }
  // The address of no meter stays silent.
  EXPECT_FALSE(Answers(sim.path(), {4800, 'O'}, 1, 250));
}

}  // namespace
