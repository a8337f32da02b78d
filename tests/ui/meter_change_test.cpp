// Whatever turns the monitor to another meter (another address, or the same address on another
// port), that meter's configuration is read before its first block is decoded, and each block
// shows the values its own meter's PT and CT give.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
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

using Meter = std::pair<int, int>;  // port number, slave address

// Two ports, each a simulated line: port 1 carries meters 1 (PT 1, CT 1) and 4 (PT 100, CT 40),
// port 2 a meter at address 1 with PT 100 and CT 40. Requests are recorded with their port.
class TwoPorts : public kt::serial::SerialControl {
 public:
  explicit TwoPorts(kt::modbus::VirtualClock& clock)
      : first_(clock, Config(1, 1, 1)), second_(clock, Config(1, 100, 40)) {
    first_.AddMeter(Config(4, 100, 40));
  }
  static MeterConfig Config(uint8_t address, uint16_t pt, uint16_t ct) {
    MeterConfig c;
    c.address = address;
    c.ptRatio = pt;
    c.ctRatio = ct;
    c.load.noise = 0;  // the registers hold the load's own values
    return c;
  }
  // Phase A voltage and current as the main dialog shows them, from the load and the ratios.
  static std::pair<std::string, std::string> Shown(const Meter& m) {
    const MeterConfig c = m == Meter{1, 1} ? Config(1, 1, 1) : Config(1, 100, 40);
    const double volts = c.load.phaseVoltage[0] * c.ptRatio;
    const double amperes = c.load.current[0] * c.ctRatio;
    char v[32];
    char a[32];
    if (volts >= 1000) {
      std::snprintf(v, sizeof v, "%.2f KV", volts / 1000);
    } else {
      std::snprintf(v, sizeof v, "%.2f V", volts);
    }
    std::snprintf(a, sizeof a, "%.4f A", amperes);
    return {v, a};
  }

  std::vector<std::pair<Meter, Bytes>> sent;

  void SetCommPort(int16_t port) override {
    port_ = port;
    Line().SetCommPort(port);
  }
  void SetSettings(const std::string& s) override { Line().SetSettings(s); }
  void SetPortOpen(bool open) override {
    if (!open) {
      first_.SetPortOpen(false);
      second_.SetPortOpen(false);
    } else {
      Line().SetPortOpen(true);
    }
  }
  bool GetPortOpen() const override {
    return port_ == 2 ? second_.GetPortOpen() : first_.GetPortOpen();
  }
  void SetInputLen(int16_t n) override { Line().SetInputLen(n); }
  void SetInBufferCount(int16_t n) override { Line().SetInBufferCount(n); }
  int16_t GetInBufferCount() override { return Line().GetInBufferCount(); }
  std::vector<uint8_t> GetInput() override { return Line().GetInput(); }
  void SetOutput(const std::vector<uint8_t>& bytes) override {
    sent.push_back({{port_, bytes.empty() ? -1 : bytes[0]}, bytes});
    Line().SetOutput(bytes);
  }

 private:
  kt::sim::SimulatedLine& Line() { return port_ == 2 ? second_ : first_; }
  kt::sim::SimulatedLine first_;
  kt::sim::SimulatedLine second_;
  int16_t port_ = 1;
};

// Each block's phase A texts, with the meter it came from.
struct ShownBlocks : kt::ui::MonitorListener {
  explicit ShownBlocks(MainDialogHarness& harness) : h(harness) {}
  void OnBlockDecoded(const kt::measure::MeasuredBlock& block) override {
    seen.push_back({{h.Dlg().m_portNumber, block.slaveAddress},
                    {h.Text(main_ids::kPhaseVoltageABox), h.Text(main_ids::kCurrentABox)}});
  }
  MainDialogHarness& h;
  std::vector<std::pair<Meter, std::pair<std::string, std::string>>> seen;
};

// The main dialog in front of the two ports; it goes before them.
struct TwoPortRig {
  TwoPortRig() { h.port.PassThrough(ports); }
  ~TwoPortRig() {
    h.Close();
    h.dialog.reset();
  }
  TwoPortRig(const TwoPortRig&) = delete;
  TwoPortRig& operator=(const TwoPortRig&) = delete;
  MainDialogHarness h;
  TwoPorts ports{h.clock};
};

void RunUntilPolling(MainDialogHarness& h) {
  if (h.Dlg().m_running != 0) h.Click(main_ids::kRunButton);
  h.Click(main_ids::kRunButton);
}

void ScriptCommSettings(MainDialogHarness& h, const char* port, int foundAddress) {
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

struct PathCase {
  const char* name;
  Meter from;
  Meter to;
  std::function<void(MainDialogHarness&)> turn;
};

const PathCase kPaths[] = {
    {"typed while polling",
     {1, 1},
     {1, 4},
     [](MainDialogHarness& h) { h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, "4"); }},
    {"corrected while polling",
     {1, 1},
     {1, 4},
     [](MainDialogHarness& h) {
       h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, "5");  // no meter answers there
       h.RunFor(4 * h.Dlg().m_pollPeriodMs);
       h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, "4");
     }},
    {"stopped, typed, run",
     {1, 4},
     {1, 1},
     [](MainDialogHarness& h) {
       h.Click(main_ids::kRunButton);
       h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, "1");
       h.Click(main_ids::kRunButton);
     }},
    {"search hit",
     {1, 4},
     {1, 1},
     [](MainDialogHarness& h) {
       h.Click(main_ids::kPollAddressButton);
       for (int tick = 0; tick < 4 && h.ProbeTimerRunning(); ++tick) h.RunFor(500);
       ASSERT_FALSE(h.ProbeTimerRunning());
       RunUntilPolling(h);
     }},
    {"found meter on another port",
     {1, 1},
     {2, 1},
     [](MainDialogHarness& h) { ScriptCommSettings(h, "2", 1); }},
    {"found meter at another address",
     {1, 1},
     {1, 4},
     [](MainDialogHarness& h) { ScriptCommSettings(h, "1", 4); }},
    {"port switch", {2, 1}, {1, 1}, [](MainDialogHarness& h) { ScriptCommSettings(h, "1", 0); }},
    {"new slave address",
     {2, 1},
     {2, 9},
     [](MainDialogHarness& h) {
       h.host.ScriptModal(kt::ui::addr_ids::kTemplateId, [&h](kt::ui::Dialog& d) {
         h.host.Type(d, kt::ui::addr_ids::kNewAddressEdit, "9");
         h.host.Click(d, kt::ui::IDOK);
       });
       h.Click(main_ids::kChangeSlaveAddressButton);
     }},
};

}  // namespace

TEST(MeterChange, EachPathReadsTheNewMetersConfigurationBeforeItsFirstBlock) {
  for (const PathCase& c : kPaths) {
    SCOPED_TRACE(c.name);
    TwoPortRig rig;
    MainDialogHarness& h = rig.h;
    TwoPorts& ports = rig.ports;
    h.Open({c.from.first, 9600, 0});
    h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, std::to_string(c.from.second));
    ShownBlocks blocks(h);
    h.Dlg().AddListener(blocks);
    ASSERT_TRUE(h.PollUntil(3));
    ASSERT_TRUE(h.MeasurementsFlow());

    c.turn(h);
    const size_t mark = ports.sent.size();
    blocks.seen.clear();
    h.RunFor(10 * h.Dlg().m_pollPeriodMs);

    // From the next tick on every request goes to the new meter, its configuration first.
    ASSERT_GT(ports.sent.size(), mark);
    EXPECT_EQ(ports.sent[mark].first, c.to);
    EXPECT_EQ(ports.sent[mark].second, ReadRequest(static_cast<uint8_t>(c.to.second), 0x0300, 19));
    for (size_t i = mark; i < ports.sent.size(); ++i) EXPECT_EQ(ports.sent[i].first, c.to) << i;
    // Every block shows its own meter's values; the new meter's blocks come.
    ASSERT_FALSE(blocks.seen.empty());
    EXPECT_EQ(blocks.seen.back().first, c.to);
    for (const auto& [meter, texts] : blocks.seen) {
      const Meter own = meter == Meter{2, 9} ? Meter{2, 1} : meter;  // renamed, same meter
      EXPECT_EQ(texts, TwoPorts::Shown(own)) << meter.first << "/" << meter.second;
    }
    h.Dlg().RemoveListener(blocks);
  }
}

// The broadcast address is never polled: typed while polling, the ticks send nothing and say why
// once; the next address typed is polled from the next tick, its configuration first.
TEST(MeterChange, BroadcastAddressIsNeverPolled) {
  MainDialogHarness h(SimulatedMeter());
  ASSERT_TRUE(h.PollUntil(3));
  h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, "0");
  size_t mark = h.Mark();
  h.RunFor(5 * h.Dlg().m_pollPeriodMs);
  EXPECT_TRUE(h.FramesSince(mark).empty());
  EXPECT_EQ(h.MessagesSince(0), std::vector<std::string>{kt::ui::kBroadcastRefusal});
  h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, "1");
  mark = h.Mark();
  h.RunFor(h.Dlg().m_pollPeriodMs);
  EXPECT_EQ(h.FramesSince(mark), OneFrame(ReadRequest(1, 0x0300, 19)));
  EXPECT_TRUE(h.DecodesABlock(8));
  EXPECT_EQ(h.MessagesSince(0).size(), 1u);
}
