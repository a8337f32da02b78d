// The bus poller's round with a meter lost and found again, what a reply must be to count, the
// address list and the table.
#include <gtest/gtest.h>

#include "BusOnLine.h"
#include "Frames.h"
#include "bus/AddressList.h"
#include "bus/BusTable.h"
#include "modbus/Crc16.h"

namespace kt::testing {
namespace {

size_t ConfigurationReadsOf(const sim::SimulatedLine& line, uint8_t address, uint64_t fromMs) {
  size_t n = 0;
  for (const auto& w : line.Written()) {
    if (w.atMs >= fromMs && w.bytes == ReadRequest(address, 0x0300, 19)) ++n;
  }
  return n;
}

TEST(BusPoller, AMeterPulledFromTheLineTurnsSilentWithinTwoCyclesAndComesBack) {
  BusOnLine line{{MeterAt(3, 100, 5, 20), MeterAt(17, 1, 1, 200), MeterAt(200, 10, 20, 60)}};
  line.Poll("3,17,200");
  line.Run(3000);
  const uint32_t cycle = line.poller.LastRoundMs();
  ASSERT_GT(cycle, 0u);
  const uint32_t blockOf3 = line.poller.Find(3)->lastBlockTick;

  line.Detach(17, true);
  line.Run(2 * cycle);
  const bus::BusMeter& lost = *line.poller.Find(17);
  EXPECT_EQ(lost.link.StateText(), "无应答");
  EXPECT_NE(line.poller.Find(3)->lastBlockTick, blockOf3);  // the others go on
  line.Run(4000);
  std::vector<bus::BusTableRow> rows = bus::BusTableRows(line.poller);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_TRUE(rows[1].failed);
  EXPECT_TRUE(rows[1].stale);
  EXPECT_EQ(rows[1][bus::BusColumn::State], "无应答");
  EXPECT_FALSE(rows[0].failed || rows[0].stale || rows[2].failed || rows[2].stale);
  EXPECT_EQ(rows[2][bus::BusColumn::Address], "200");
  EXPECT_EQ(rows[2][bus::BusColumn::Wiring], "正常");

  line.Detach(17, false);
  const uint64_t back = line.h.meter->NowMs();
  line.Run(3 * cycle);
  EXPECT_EQ(line.poller.Find(17)->link.StateText(), "正常");
  EXPECT_GT(line.poller.Find(17)->lastBlockTick, static_cast<uint32_t>(back));
  EXPECT_EQ(ConfigurationReadsOf(*line.h.meter, 17, back), 1u);  // read afresh on its return
  rows = bus::BusTableRows(line.poller);
  EXPECT_FALSE(rows[1].failed || rows[1].stale);
  line.ExpectOneRequestAtATime();
  line.poller.SetMeters({{3, ""}, {17, ""}, {200, ""}, {9, ""}});  // the others' states stay
  EXPECT_EQ(bus::BusTableRows(line.poller)[1][bus::BusColumn::State], "正常");
}

// A reply counts only with the address, function, byte count and CRC asked for (each refusal's
// verdict: reply_check_test).
TEST(BusPoller, AReplyIsMatchedByAddressFunctionAndByteCount) {
  const Bytes good = ReadReply(3, std::vector<uint16_t>(19, 0x0001));
  Bytes wrongCount = good;
  wrongCount[2] = 36;  // the length of 19 registers, a count of 18
  wrongCount.resize(wrongCount.size() - 2);
  wrongCount = WithCrc(wrongCount);
  struct Case {
    const char* name;
    Bytes reply;
    std::string state;
    bool configured;
  };
  const Case cases[] = {
      {"good", good, "正常", true},
      {"behind an echo", Concat({ReadRequest(3, 0x0300, 19), good}), "正常", true},
      {"byte count", wrongCount, "应答无效", false},
      {"exception", WithCrc({3, 0x83, 0x02}), "异常应答 0x02 非法数据地址", false},
      {"none", {}, "无应答", false},
  };
  for (const Case& c : cases) {
    PollerOnPort alone({{3, "进线"}});
    FakeSerialPort& port = alone.port;
    port.onWrite = [&](const Bytes&) { port.Arrive(c.reply); };
    // Until the first exchange is settled and the next request goes out.
    alone.RunUntil([&] { return port.written.size() >= 2; }, 10, 100);
    const bus::BusMeter& m = *alone.poller.Find(3);
    EXPECT_EQ(m.link.StateText(), c.state) << c.name;
    EXPECT_EQ(m.configuration.has_value(), c.configured) << c.name;
    ASSERT_EQ(port.written.size(), 2u) << c.name;
    // Once configured, its block; else its configuration again.
    EXPECT_EQ(port.written[1], c.configured ? ReadRequest(3, 0x0000, 45) : port.written[0]);
  }
}

TEST(BusAddressList, TakesListsAndRangesAndRefusesWhatIsNoAddress) {
  struct Case {
    const char* text;
    std::vector<uint8_t> addresses;
    const char* error;
  };
  const Case cases[] = {
      {"3,17,200", {3, 17, 200}, ""},
      {"1-4", {1, 2, 3, 4}, ""},
      {" 5， 2-3 3 5", {5, 2, 3}, ""},
      {"247", {247}, ""},
      {"1-1", {1}, ""},
      {"248", {}, "“248”超出范围：子机地址为 1 到 247 的整数"},
      {"0-3", {}, "“0-3”超出范围：子机地址为 1 到 247 的整数"},
      {"16-1", {}, "范围“16-1”有误：起始地址大于结束地址"},
      {"3,x", {}, "“x”不是子机地址或地址范围，例如 3,17,200 或 1-16"},
      {"1-", {}, "“1-”不是子机地址或地址范围，例如 3,17,200 或 1-16"},
      {"-1", {}, "“-1”超出范围：子机地址为 1 到 247 的整数"},
      {" , ", {}, "请输入子机地址，例如 3,17,200 或 1-16"},
  };
  for (const Case& c : cases) {
    const bus::AddressList list = bus::ParseAddressList(c.text);
    EXPECT_EQ(list.addresses, c.addresses) << c.text;
    EXPECT_EQ(list.error, c.error) << c.text;
  }
  EXPECT_EQ(bus::ParseAddressList("1-247").addresses.size(), 247u);
}

}  // namespace
}  // namespace kt::testing
