// The address search: one probe per 500 ms tick, 1..254, 0, 1, ...; ends only at a real reply.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "ui/LineSettingsText.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using namespace kt::ui::main_ids;
using kt::sim::MeterConfig;

namespace {

// The addresses of the probes among the frames, in order.
std::vector<int> ProbedAddresses(const std::vector<Bytes>& frames) {
  std::vector<int> addresses;
  for (const auto& f : frames) {
    EXPECT_EQ(f, WithCrc({f[0], 0x03, 0x03, 0x00, 0x00, 0x01}));
    addresses.push_back(f[0]);
  }
  return addresses;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> v;
  for (int a = first; a <= last; ++a) v.push_back(a);
  return v;
}

}  // namespace

TEST(AddressSearch, ProbesEveryAddressButTheBroadcastEndOnceInTurn) {
  MainDialogHarness p(SimulatedMeter());
  p.Meter().SetMeterConnected(false);
  const size_t mark = p.Mark();
  p.Click(kPollAddressButton);
  p.host.RunFor(499);
  EXPECT_TRUE(p.FramesSince(mark).empty());  // the first probe comes with the first tick
  p.host.RunFor(1);
  ASSERT_EQ(p.FramesSince(mark), OneFrame(golden::kAddressProbe));
  p.host.RunFor(500 * 255);
  std::vector<int> expected = Range(1, 254);
  expected.push_back(0);
  expected.push_back(1);
  const auto frames = p.FramesSince(mark);
  EXPECT_EQ(ProbedAddresses(frames), expected);
  EXPECT_EQ(frames[254], (golden::kBroadcastProbe));
  EXPECT_TRUE(p.ProbeTimerRunning());
  EXPECT_FALSE(p.PollTimerRunning());
  EXPECT_TRUE(p.MessagesSince(0).empty());
}

TEST(AddressSearch, FindsTheMeterAndTalksToItFromThen) {
  MeterConfig meter;
  meter.address = 7;
  meter.parity = 1;
  MainDialogHarness p(SimulatedMeter(meter, {2, 9600, 1}));
  ASSERT_TRUE(p.PollUntil(4));  // a block has been decoded
  EXPECT_FALSE(p.Text(kPhaseVoltageABox).empty());
  const size_t mark = p.Mark();
  const std::string receiveEcho = p.Text(kReceiveEcho);
  const std::string info = p.Text(kInformationBox);
  p.Click(kPollAddressButton);
  // The search empties exactly the 34 measurement boxes; polling stops but Run still reads "停止".
  int emptied = 0;
  for (int id = kPhaseVoltageTotalBox; id <= kReverseReactiveEnergyBox; ++id) {
    const bool measurement = id <= kPhaseVoltageCBox ||
                             (id >= kLineVoltageMeanBox && id <= kZeroSequenceCurrentBox) ||
                             id >= kForwardActiveEnergyBox;
    if (measurement) {
      EXPECT_EQ(p.Text(id), "") << id;
      ++emptied;
    }
  }
  EXPECT_EQ(emptied, 34);
  EXPECT_EQ(p.Text(kReceiveEcho), receiveEcho);
  EXPECT_FALSE(receiveEcho.empty());
  EXPECT_EQ(p.Text(kInformationBox), info);
  EXPECT_EQ(p.Text(kSlaveAddressEdit), "7");
  EXPECT_FALSE(p.PollTimerRunning());
  EXPECT_EQ(p.Text(kRunButton), "停止");
  p.host.RunFor(500 * 10);
  EXPECT_EQ(ProbedAddresses(p.FramesSince(mark)), Range(1, 7));
  EXPECT_EQ(p.Dlg().m_slaveAddress, 7);
  EXPECT_EQ(p.Text(kSlaveAddressEdit), "7");
  EXPECT_EQ(p.Text(kInformationBox), kt::ui::ProbeInformationBoxText(2, 9600, 1));
  EXPECT_FALSE(p.ProbeTimerRunning());
  EXPECT_FALSE(p.PollTimerRunning());  // a hit does not restart polling
  EXPECT_EQ(p.Dlg().m_running, 1);
  EXPECT_EQ(p.Text(kPhaseVoltageABox), "");
  // The first Run press only turns the button back; the second polls the found address.
  p.Click(kRunButton);
  EXPECT_EQ(p.Text(kRunButton), "运行");
  ASSERT_TRUE(p.PollUntil(3));
  EXPECT_TRUE(p.MeasurementsFlow());
}

// An echo or a reply from another address does not end the search; the meter at 5 does, and so
// does an exception reply from the address probed (3). (Noise and a bad CRC: framing_test.)
TEST(AddressSearch, OnlyAReplyFromTheProbedAddressEndsIt) {
  struct Case {
    const char* name;
    std::function<Bytes(uint8_t probed)> onLine;  // arrives after each probe
    int foundAt;
  };
  // clang-format off
  const Case cases[] = {
      {"echo of the probe", [](uint8_t a) { return WithCrc({a, 3, 3, 0, 0, 1}); }, 5},
      {"reply from another address",
       [](uint8_t a) { return WithCrc({static_cast<uint8_t>(a + 100), 3, 2, 0, 1}); }, 5},
      {"exception reply", [](uint8_t a) { return a == 3 ? WithCrc({3, 0x83, 2}) : Bytes{}; }, 3},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MeterConfig meter;
    meter.address = 5;
    MainDialogHarness p(SimulatedMeter(meter));
    p.port.onWrite = [&](const Bytes& sent) { p.Meter().InjectBytes(c.onLine(sent[0])); };
    const size_t mark = p.Mark();
    p.Click(kPollAddressButton);
    p.host.RunFor(500 * 8);
    EXPECT_EQ(ProbedAddresses(p.FramesSince(mark)), Range(1, c.foundAt));
    EXPECT_EQ(p.Dlg().m_slaveAddress, c.foundAt);
    EXPECT_FALSE(p.ProbeTimerRunning());
  }
}

// Run pressed during a search ends it and flips Run's flag: polling starts where it was off (its
// first request, the configuration, to the slave address) and stays off where it was on.
TEST(AddressSearch, RunEndsItAndFlipsRunsFlag) {
  for (const bool pollingBefore : {false, true}) {
    SCOPED_TRACE(pollingBefore);
    MainDialogHarness p(SimulatedMeter());
    if (pollingBefore) {
      ASSERT_TRUE(p.PollUntil(3));
    }
    p.Meter().SetMeterConnected(false);
    const size_t mark = p.Mark();
    p.Click(kPollAddressButton);
    p.host.RunFor(500 * 3);
    ASSERT_TRUE(p.ProbeTimerRunning());
    p.Click(kRunButton);
    EXPECT_FALSE(p.ProbeTimerRunning());
    EXPECT_EQ(p.Dlg().m_running, pollingBefore ? 0 : 1);
    EXPECT_EQ(p.PollTimerRunning(), !pollingBefore);
    EXPECT_EQ(p.Text(kRunButton), pollingBefore ? "运行" : "停止");
    p.host.RunFor(500 * 3);
    const auto frames = p.FramesSince(mark);
    ASSERT_EQ(frames.size(), pollingBefore ? 3u : 6u);
    EXPECT_EQ(ProbedAddresses({frames.begin(), frames.begin() + 3}), Range(1, 3));
    if (!pollingBefore) {
      EXPECT_EQ(frames[3], golden::kConfigRequest);
    }
  }
}

TEST(AddressSearch, ABadSlaveAddressEntryIsPromptedOncePerSearch) {
  MainDialogHarness p(SimulatedMeter());
  p.Meter().SetMeterConnected(false);
  p.host.Type(p.Dlg(), kSlaveAddressEdit, "300");
  const size_t mark = p.Mark();
  p.Click(kPollAddressButton);
  p.host.RunFor(500 * 6);
  EXPECT_EQ(p.MessagesSince(0), std::vector<std::string>{"请输入一个介于 0 和 255 之间的整数。"});
  // The probes go on with their own addresses; the slave address keeps its last valid value.
  EXPECT_EQ(ProbedAddresses(p.FramesSince(mark)), Range(1, 6));
  EXPECT_EQ(p.Dlg().m_slaveAddress, 1);
  // A new search prompts again, once.
  p.Click(kPollAddressButton);
  p.host.RunFor(500 * 4);
  EXPECT_EQ(p.MessagesSince(0).size(), 2u);
}
