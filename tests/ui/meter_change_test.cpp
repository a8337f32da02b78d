// Whatever turns polling to another meter (another address, or the same address on another
// port), that meter's configuration is read before its first block is decoded, and each block
// shows the values of its own meter's PT and CT; the broadcast address is never polled.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "MainDialogHarness.h"
#include "commands/AddrDialogIds.h"
#include "ui/BroadcastRefusal.h"
#include "ui/CCommSetDlg.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::sim::MeterConfig;
namespace main_ids = kt::ui::main_ids;

namespace {

MeterConfig MeterAt(uint8_t address, uint16_t pt, uint16_t ct) {
  MeterConfig c;
  c.address = address;
  c.ptRatio = pt;
  c.ctRatio = ct;
  c.load.noise = 0;  // the registers hold the load's own values
  return c;
}

// Phase A voltage and current as shown, from the load's secondary values and the ratios.
std::pair<std::string, std::string> Shown(const MeterConfig& c) {
  const double volts = c.load.phaseVoltage[0] * c.ptRatio;
  const double amperes = c.load.current[0] * c.ctRatio;
  char v[32];
  char a[32];
  std::snprintf(v, sizeof v, volts >= 1000 ? "%.2f KV" : "%.2f V",
                volts >= 1000 ? volts / 1000 : volts);
  std::snprintf(a, sizeof a, "%.4f A", amperes);
  return {v, a};
}

void ChangeLine(MainDialogHarness& h, const char* port, int foundAddress) {
  h.host.ScriptModal(
      kt::ui::comm_set_ids::kTemplateId, [&h, port, foundAddress](kt::ui::Dialog& d) {
        h.host.Type(d, kt::ui::comm_set_ids::kPortEdit, port);
        if (foundAddress > 0) {
          static_cast<kt::ui::CCommSetDlg&>(d).m_foundAddress = static_cast<uint8_t>(foundAddress);
        }
        h.host.Click(d, kt::ui::IDOK);
      });
  h.Click(main_ids::kCommSettingsButton);
}

void Type(MainDialogHarness& h, const char* address) {
  h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, address);
}

struct PathCase {
  const char* name;
  uint8_t from;
  uint8_t to;
  int16_t port;  // of the meter polled afterwards
  std::function<void(MainDialogHarness&)> turn;
};

// (Stopped, typed and run again: poll_cycle_test's table.)
const PathCase kPaths[] = {
    {"typed while polling", 1, 4, 1, [](MainDialogHarness& h) { Type(h, "4"); }},
    {"corrected while polling", 1, 4, 1,
     [](MainDialogHarness& h) {
       Type(h, "5");  // no meter answers there
       h.RunFor(4 * h.Dlg().m_pollPeriodMs);
       Type(h, "4");
     }},
    {"search hit", 4, 1, 1,
     [](MainDialogHarness& h) {
       h.Click(main_ids::kPollAddressButton);
       h.RunFor(600);  // address 1 answers the first probe
       h.Click(main_ids::kRunButton);
       if (!h.PollTimerRunning()) h.Click(main_ids::kRunButton);
     }},
    {"found meter", 1, 4, 1, [](MainDialogHarness& h) { ChangeLine(h, "1", 4); }},
    {"same address, another port", 1, 1, 2, [](MainDialogHarness& h) { ChangeLine(h, "2", 0); }},
    {"new slave address", 1, 9, 1,
     [](MainDialogHarness& h) {
       h.host.ScriptModal(kt::ui::addr_ids::kTemplateId, [&h](kt::ui::Dialog& d) {
         h.host.Type(d, kt::ui::addr_ids::kNewAddressEdit, "9");
         h.host.Click(d, kt::ui::IDOK);
       });
       h.Click(main_ids::kChangeSlaveAddressButton);
     }},
};

// Each block's phase A texts, with the address it came from.
struct ShownBlocks : kt::values::MonitorListener {
  explicit ShownBlocks(MainDialogHarness& harness) : h(harness) {}
  void OnBlockDecoded(const kt::values::MeasuredBlock& block) override {
    seen.push_back({block.slaveAddress,
                    {h.Text(main_ids::kPhaseVoltageABox), h.Text(main_ids::kCurrentABox)}});
  }
  MainDialogHarness& h;
  std::vector<std::pair<int, std::pair<std::string, std::string>>> seen;
};

}  // namespace

TEST(MeterChange, EachPathReadsTheNewMetersConfigurationBeforeItsFirstBlock) {
  const MeterConfig one = MeterAt(1, 1, 1);
  const MeterConfig four = MeterAt(4, 100, 40);
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(c.name);
    MainDialogHarness h(SimulatedMeter(c.from == 4 ? four : one));
    // The broadcast renames every meter on the line: meter 1 is alone for it.
    if (c.to != 9) h.Meter().AddMeter(c.from == 4 ? one : four);
    ShownBlocks blocks(h);
    h.Dlg().AddListener(blocks);
    ASSERT_TRUE(h.PollUntil(3));

    c.turn(h);
    const size_t mark = h.Mark();
    blocks.seen.clear();
    h.RunFor(10 * h.Dlg().m_pollPeriodMs);

    // From the next tick on every request goes to the new meter, its configuration first.
    const auto frames = h.FramesSince(mark);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0], ReadRequest(c.to, 0x0300, 19));
    for (const Bytes& f : frames) EXPECT_EQ(f[0], c.to);
    EXPECT_EQ(h.Meter().CommPort(), c.port);
    // Every block shows its own meter's values, and the new meter's blocks come.
    ASSERT_FALSE(blocks.seen.empty());
    EXPECT_EQ(blocks.seen.back().first, c.to);
    for (const auto& [address, texts] : blocks.seen) {
      EXPECT_EQ(texts, Shown(address == 4 ? four : one)) << address;
    }
    h.Dlg().RemoveListener(blocks);
  }
}

TEST(MeterChange, BroadcastAddressIsNeverPolled) {
  MainDialogHarness h(SimulatedMeter());
  ASSERT_TRUE(h.PollUntil(3));
  Type(h, "0");
  size_t mark = h.Mark();
  h.RunFor(5 * h.Dlg().m_pollPeriodMs);
  EXPECT_TRUE(h.FramesSince(mark).empty());
  EXPECT_EQ(h.MessagesSince(0), std::vector<std::string>{kt::ui::kBroadcastRefusal});
  Type(h, "1");
  mark = h.Mark();
  h.RunFor(h.Dlg().m_pollPeriodMs);
  EXPECT_EQ(h.FramesSince(mark), OneFrame(ReadRequest(1, 0x0300, 19)));
  EXPECT_TRUE(h.DecodesABlock(8));
}

// An adapter that echoes: at address 69 the echoed class request passes for a one-register reply
// by address, function and CRC; read from it, the class would be 0.5 instead of the meter's 0.2.
TEST(MeterChange, PollCycleTakesTheReplyNotTheAdaptersEcho) {
  MeterConfig config = MeterAt(69, 1, 1);
  config.accuracyClass = 1;
  MainDialogHarness h(SimulatedMeter(config));
  h.port.onWrite = [&h](const Bytes& frame) { h.Meter().InjectBytes(frame); };
  ASSERT_TRUE(h.PollUntil(3));
  EXPECT_EQ(h.Text(main_ids::kAccuracyClassButton), "0.2级");
}
