// The main dialog's observers: what they see over a whole run, and that they change nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainDialogHarness.h"
#include "commands/MeterSetDialogIds.h"
#include "ui/MainDialogTemplate.h"
#include "workbench/RequestReading.h"

using namespace kt::testing;

namespace {

namespace main_ids = kt::ui::main_ids;
namespace meter_set_ids = kt::ui::meter_set_ids;
constexpr int kMeterSetTemplate = meter_set_ids::kTemplateId;
constexpr int kRun = main_ids::kRunButton;
constexpr int kPollAddress = main_ids::kPollAddressButton;
constexpr int kMeterSettings = main_ids::kMeterSettingsButton;

// Each event as a short line: "发 读 0x0300 ×19", "收T 应答 (43 字节)", "丢弃 2", "块 2 状态",
// "口 2 /dev/ttyUSB0" (a port event by its kind's number).
class EventRecord : public kt::values::MonitorListener {
 public:
  std::vector<std::string> events;

  void OnFrameSent(std::span<const uint8_t> frame) override {
    events.push_back("发 " + kt::workbench::DescribeRequest(frame));
  }
  // A read with no request awaiting its reply is marked "-".
  void OnReadTaken(const kt::values::ReadTaken& read) override {
    static constexpr const char* kSource[] = {"T", "C", "P"};
    events.push_back(std::string("收") + kSource[static_cast<int>(read.source)] +
                     (read.awaited ? " " : "- ") + kt::modbus::DescribeReply(read.verdict));
  }
  void OnPortEvent(const kt::values::PortEvent& event) override {
    events.push_back("口 " + std::to_string(static_cast<int>(event.kind)) + " " + event.detail);
  }
  void OnInputDiscarded(std::span<const uint8_t> bytes) override {
    if (!bytes.empty()) events.push_back("丢弃 " + std::to_string(bytes.size()));
  }
  void OnBlockDecoded(const kt::values::MeasuredBlock& block) override {
    events.push_back("块 " + std::to_string(block.slaveAddress) + (block.status ? " 状态" : ""));
    lastBlock = block;
  }
  kt::values::MeasuredBlock lastBlock;
};

kt::sim::MeterConfig Meter() {
  kt::sim::MeterConfig config;
  config.statusTrailer = true;
  config.address = 2;  // the address search tries 1 first
  return config;
}

// Everything the user can see and everything on the wire.
std::vector<std::string> Snapshot(const MainDialogHarness& p) {
  std::vector<std::string> seen;
  for (const auto& c : kt::ui::MainDialogTemplate().controls) {
    if (p.host.HasControl(*p.dialog, c.id))
      seen.push_back(std::to_string(c.id) + "=" + p.Text(c.id));
  }
  for (const Bytes& frame : p.port.written) seen.push_back(kt::modbus::EchoText(frame));
  for (const auto& message : p.host.Messages()) seen.push_back("box " + message.text);
  return seen;
}

// Start-up polling, a meter settings command whose first write is not answered (after stray
// bytes), then an address search that finds the meter at its second probe. Steps are marked in
// `events` when a recorder is given; snapshots of the whole dialog are taken after each step.
std::vector<std::string> RunSession(MainDialogHarness& p, EventRecord* record) {
  std::vector<std::string> snapshots;
  const auto step = [&](const char* name) {
    if (record != nullptr) record->events.push_back(std::string("-- ") + name);
    for (auto& s : Snapshot(p)) snapshots.push_back(std::move(s));
  };
  p.Click(kRun);
  p.host.RunFor(p.Dlg().m_pollPeriodMs * 6);
  step("poll");

  p.Click(kRun);  // stop polling
  p.Meter().InjectBytes({0xAA, 0xBB});
  p.Meter().SetMeterConnected(false);
  p.host.ScriptModal(kMeterSetTemplate, [&p](kt::ui::Dialog& d) {
    p.host.Type(d, meter_set_ids::kPtEdit, "100");
    p.host.Type(d, meter_set_ids::kCtEdit, "5");
    p.host.Click(d, meter_set_ids::kThreePhaseThreeWireBalancedRadio);
    p.host.Click(d, kt::ui::IDOK);
  });
  p.Click(kMeterSettings);
  p.Meter().SetMeterConnected(true);
  step("command");

  p.Click(kRun);  // the command resumed polling; the Run button's state was on: off again
  p.Click(kPollAddress);
  p.host.RunFor(1000);
  step("search");
  return snapshots;
}

TEST(MonitorListener, SeesAWholeRunInOrderWithItsReadings) {
  MainDialogHarness p(SimulatedMeter(Meter()));
  EventRecord record;
  p.Dlg().AddListener(record);
  RunSession(p, &record);

  const std::vector<std::string> expected = {
      // The first tick has no request behind it yet.
      "收T- 无应答", "发 读 0x0300 ×19", "收T 应答 (43 字节)", "发 读 0x0328 ×4",
      "收T 应答 (13 字节)", "发 读 0x0322 ×1", "收T 应答 (7 字节)", "发 读 0x0000 ×45",
      "收T 应答 (95 字节)", "块 2 状态", "发 读 0x030A ×1", "收T 应答 (7 字节)", "发 读 0x0000 ×45",
      "-- poll",
      // The stray bytes are dropped before the write; the meter does not answer it.
      "丢弃 2", "发 写 0x000E ×2", "收C 无应答", "-- command", "发 读 0x0300 ×1", "收P 无应答",
      "发 读 0x0300 ×1", "收P 应答 (7 字节)", "-- search"};
  EXPECT_EQ(record.events, expected);
  EXPECT_EQ(record.lastBlock.slaveAddress, 2);
  EXPECT_NEAR(record.lastBlock[kt::values::Quantity::PhaseVoltageA], 220.0, 5.0);
  EXPECT_NEAR(record.lastBlock[kt::values::Quantity::Frequency], 50.0, 0.1);
  EXPECT_EQ(record.lastBlock.pollPeriodMs, 500u);  // 9600 baud, the default, polls every 500 ms
}

TEST(MonitorListener, TheDialogIsTheSameWithAndWithoutAnObserver) {
  MainDialogHarness plain(SimulatedMeter(Meter()));
  const std::vector<std::string> without = RunSession(plain, nullptr);
  MainDialogHarness observed(SimulatedMeter(Meter()));
  EventRecord record;
  observed.Dlg().AddListener(record);
  const std::vector<std::string> with = RunSession(observed, &record);
  EXPECT_FALSE(record.events.empty());
  EXPECT_EQ(with, without);
}

}  // namespace
