// The read parameters, refresh Urg and set parameters commands, which no control of the layout
// sends.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "commands/AddrDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::sim::MeterConfig;
using namespace kt::ui::main_ids;

TEST(ReadParameters, AnsweredSilentlyOtherwiseReported) {
  struct Case {
    const char* name;
    bool connected;
    uint32_t delayMs;
    bool answered;
  };
  // A reply after the 600 ms wait is not seen; one inside it is, even if later than 300 ms.
  const Case cases[] = {{"meter", true, 20, true},
                        {"slow meter", true, 550, true},
                        {"late meter", true, 650, false},
                        {"no meter", false, 20, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MainDialogHarness p(MeterAnswering(c.delayMs, c.connected));
    const size_t mark = p.Mark();
    const uint64_t start = p.clock.ElapsedMs();
    p.Command(kReadParametersCommand);
    EXPECT_EQ(p.FramesSince(mark), OneFrame(golden::kValuesRequest));
    EXPECT_EQ(p.clock.ElapsedMs() - start, 600u);
    EXPECT_TRUE(p.EndedWith(c.answered ? std::vector<std::string>{}
                                       : std::vector<std::string>{"读取不成功"}));
  }
}

// One request, a fixed wait of 200 ms; a reply inside it sets the multiplier (also after
// noise), a late or missing one keeps it and says so.
TEST(RefreshUrg, SetsThePowerMultiplierFromTheReplyInTime) {
  struct Case {
    const char* name;
    bool flag;
    uint16_t noiseBytes;
    uint32_t delayMs;
    bool connected;
    int32_t before, after;
  };
  const Case cases[] = {
      {"after noise", true, 5, 20, true, 1, 4},
      {"late", true, 0, 250, true, 1, 1},
      {"far too late", true, 0, 5000, true, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MeterConfig meter;
    meter.powerMultiplierFlag = c.flag;
    meter.faults.noiseBytes = c.noiseBytes;
    MainDialogHarness p(MeterAnswering(c.delayMs, c.connected, meter));
    p.Dlg().m_powerMultiplier = c.before;
    const size_t mark = p.Mark();
    const uint64_t start = p.clock.ElapsedMs();
    p.Command(kRefreshUrgButton);
    EXPECT_EQ(p.FramesSince(mark), OneFrame(golden::kMultiplierRequest));
    EXPECT_EQ(p.clock.ElapsedMs() - start, 200u);
    EXPECT_EQ(p.Dlg().m_powerMultiplier, c.after);
    EXPECT_TRUE(p.EndedWith(c.before == c.after ? std::vector<std::string>{"读取不成功"}
                                                : std::vector<std::string>{}));
  }
}

TEST(SetParameters, NothingSentBeforeTheValuesHaveBeenRead) {
  MainDialogHarness p(SimulatedMeter());
  const size_t mark = p.Mark();
  p.Command(kSetParametersCommand);
  EXPECT_TRUE(p.FramesSince(mark).empty());
  EXPECT_TRUE(p.EndedWith({"设置不成功"}));
}

TEST(SetParameters, WritesBackTheValuesPollingRead) {
  MeterConfig meter;
  meter.parameters = {0x1234, 0x0005, 0xFFFF, 0x0100};
  MainDialogHarness p(SimulatedMeter(meter));
  ASSERT_TRUE(p.PollUntil(3));
  const size_t mark = p.Mark();
  p.Command(kSetParametersCommand);
  ASSERT_EQ(p.FramesSince(mark),
            std::vector<Bytes>{WithCrc({0x01, 0x10, 0x00, 0x28, 0x00, 0x04, 0x08, 0x12, 0x34, 0x00,
                                        0x05, 0xFF, 0xFF, 0x01, 0x00})});
  // The fixed wait runs from the request on (a quiet line is first waited for).
  EXPECT_EQ(p.Meter().NowMs() - p.Meter().Written()[mark].atMs, 300u);
  EXPECT_TRUE(p.MessagesSince(0).empty());
  EXPECT_EQ(p.Meter().meter().parameters(), meter.parameters);
  EXPECT_TRUE(p.MeasurementsFlow());
}

TEST(SetParameters, WritesOnlyToTheMeterTheValuesWereReadFrom) {
  struct Case {
    const char* name;
    const char* typed;  // the slave address edit when the command comes; nullptr: renamed to 9
    bool written;
  };
  const Case cases[] = {
      {"another address typed", "2", false},
      {"the meter renamed", nullptr, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MeterConfig meter;
    meter.parameters = {0x1234, 0x0005, 0xFFFF, 0x0100};
    MainDialogHarness p(SimulatedMeter(meter));
    // A second meter at 2, not on the bus while a broadcast renames the first.
    MeterConfig second;
    second.address = 2;
    second.parameters = {1, 2, 3, 4};
    kt::sim::Meter* other = c.typed != nullptr ? &p.Meter().AddMeter(second) : nullptr;
    ASSERT_TRUE(p.PollUntil(3));
    uint8_t target = 1;
    if (c.typed != nullptr) {
      p.host.Type(p.Dlg(), kSlaveAddressEdit, c.typed);
    } else {
      p.host.ScriptModal(kt::ui::addr_ids::kTemplateId, [&p](kt::ui::Dialog& d) {
        p.host.Type(d, kt::ui::addr_ids::kNewAddressEdit, "9");
        p.host.Click(d, kt::ui::IDOK);
      });
      p.Click(kChangeSlaveAddressButton);
      target = 9;
    }
    const size_t mark = p.Mark();
    const size_t messages = p.host.Messages().size();
    p.Command(kSetParametersCommand);
    const auto sent = p.FramesSince(mark);
    if (c.written) {
      ASSERT_EQ(sent.size(), 1u);
      EXPECT_EQ(sent[0][0], target);
      EXPECT_EQ(sent[0][1], 0x10);
      EXPECT_TRUE(p.MessagesSince(messages).empty());
    } else {
      EXPECT_TRUE(sent.empty());
      EXPECT_EQ(p.MessagesSince(messages),
                std::vector<std::string>{"参数值读自子机地址 1，不写入子机地址 2：请先以子机地址 2 "
                                         "运行，读取该仪表的参数值后再设置。"});
      ASSERT_NE(other, nullptr);
      EXPECT_EQ(other->parameters(), second.parameters);
    }
    EXPECT_TRUE(p.PollTimerRunning());
  }
}

TEST(SetParameters, UnacknowledgedWriteIsReported) {
  MainDialogHarness p(SimulatedMeter());
  ASSERT_TRUE(p.PollUntil(3));
  p.Meter().SetMeterConnected(false);
  p.Command(kSetParametersCommand);
  EXPECT_TRUE(p.EndedWith({"设置不成功"}));
}

// Only the low byte of register 0x030A counts: 0x0100 means k = 1, as in the polling cycle.
class RefreshUrgReply : public ::testing::Test, public MainDialogHarness {};

TEST_F(RefreshUrgReply, OnlyTheLowByteOfTheRegisterCounts) {
  struct Case {
    uint16_t value;
    int32_t multiplier;
  };
  for (const Case c : {Case{0x0100, 1}, Case{0xFF00, 1}, Case{0x0001, 4}, Case{0x0101, 4}}) {
    SCOPED_TRACE(c.value);
    auto& d = Open();
    host.Type(d, kSlaveAddressEdit, "1");
    d.m_slaveAddress = 1;
    d.m_powerMultiplier = c.multiplier == 4 ? 1 : 4;
    port.AnswerAfter(50, ReadReply(1, {c.value}));
    d.OnCommand(kRefreshUrgButton);
    EXPECT_EQ(port.written.back(), golden::kMultiplierRequest);
    EXPECT_EQ(d.m_powerMultiplier, c.multiplier);
    EXPECT_TRUE(host.Messages().empty());
    Close();
  }
}
