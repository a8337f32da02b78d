// The main dialog and the bus poller on one simulated line of several meters, in virtual time.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "MainDialogHarness.h"
#include "bus/AddressList.h"
#include "bus/BusPoller.h"
#include "bus/LineScheduler.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::testing {

// Secondary values of the simulated load (sim/MeterConfig.h), before the meters' ratios.
constexpr double kPhaseAVolts = 220.0;
constexpr double kPhaseAAmps = 1.50;

// 11 bits a character at 9600 baud, in milliseconds.
inline double CharsMs(double chars) {
  return chars * 11.0 * 1000.0 / 9600.0;
}

// The bus poller alone on a scripted port (its onWrite set by the test), started on `meters`.
struct PollerOnPort {
  explicit PollerOnPort(const std::vector<bus::BusMeterEntry>& meters) {
    port.SetPortOpen(true);
    poller.SetMeters(meters);
    poller.Start();
    scheduler.SetClient(&poller);
  }
  // Ticks every `stepMs`, at most `ticks` times, until `done` holds.
  void RunUntil(const std::function<bool()>& done, uint32_t stepMs, int ticks) {
    for (int t = 0; t < ticks && !done(); ++t) {
      clock.Advance(stepMs);
      scheduler.Tick();
    }
  }
  modbus::VirtualClock clock;
  FakeSerialPort port{clock};
  bus::LineScheduler scheduler{port, clock};
  bus::BusPoller poller{clock};
};

class BusOnLine {
 public:
  // The first meter's settings are the line's; each answers `delayMs` after a request's end.
  explicit BusOnLine(std::vector<sim::MeterConfig> meters) : meters_(std::move(meters)) {
    for (sim::MeterConfig& m : meters_) m.delayFromRequestEnd = true;
    h.AttachMeter(meters_.front());
    for (size_t i = 1; i < meters_.size(); ++i) h.meter->AddMeter(meters_[i]);
    scheduler = std::make_unique<bus::LineScheduler>(*h.meter, h.clock);
    h.port.PassThrough(scheduler->MainPort());
    h.beforeInit = [this](ui::CMonitorDlg& d) {
      d.SetPollTimerWatch([this](uint32_t periodMs) { scheduler->MainPollTimer(periodMs); });
      d.AddListener(poller);
    };
    h.Open();
    scheduler->SetClient(&poller);
  }
  ~BusOnLine() {
    h.Close();
    h.dialog.reset();
  }

  void PollInMainDialog(uint8_t address) {
    h.host.Type(*h.dialog, ui::main_ids::kSlaveAddressEdit, std::to_string(address));
    h.Click(ui::main_ids::kRunButton);
  }
  void Poll(const std::string& addresses) {
    std::vector<bus::BusMeterEntry> entries;
    for (const uint8_t a : bus::ParseAddressList(addresses).addresses) entries.push_back({a, ""});
    poller.SetMeters(entries);
    poller.Start();
  }
  // Lets time pass, the scheduler ticking every 10 ms as in the program.
  void Run(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) {
      h.RunFor(10);
      scheduler->Tick();
    }
  }
  // When the reply to a request written at `atMs` has wholly arrived and its silence passed
  // (the request's end when no meter answers it), from the meters' own answer delays.
  double LineFreeAfter(const sim::SimulatedLine::Sent& w) const {
    const double requestEnd =
        static_cast<double>(w.atMs) + CharsMs(static_cast<double>(w.bytes.size()));
    for (const sim::MeterConfig& m : meters_) {
      if (m.address != w.bytes[0] || detached_ == m.address) continue;
      const int registers = w.bytes[4] << 8 | w.bytes[5];
      const double answer = std::max<double>(m.responseDelayMs, CharsMs(3.5));
      return requestEnd + answer + CharsMs(5 + 2 * registers) + CharsMs(3.5);
    }
    return requestEnd;
  }
  // Every request went out only once the one before it was settled.
  void ExpectOneRequestAtATime(size_t from = 0) const {
    const auto& w = h.meter->Written();
    for (size_t i = from + 1; i < w.size(); ++i) {
      EXPECT_GE(static_cast<double>(w[i].atMs), LineFreeAfter(w[i - 1]))
          << "request " << i << " to " << int(w[i].bytes[0]) << " at " << w[i].atMs;
    }
  }
  void Detach(uint8_t address, bool detached) {
    h.meter->SetMeterAttached(address, !detached);
    detached_ = detached ? address : 0;
  }

  MainDialogHarness h;
  std::unique_ptr<bus::LineScheduler> scheduler;
  bus::BusPoller poller{h.clock};

 private:
  std::vector<sim::MeterConfig> meters_;
  uint8_t detached_ = 0;
};

// The bus lists' settings in memory; nothing else is kept.
struct BusListSettings : workbench::WorkbenchSettings {
  std::map<std::string, std::string> texts;
  std::optional<workbench::ScreenRect> Frame() const override { return std::nullopt; }
  void SetFrame(const workbench::ScreenRect&) override {}
  std::optional<double> Number(workbench::NumberSetting) const override { return std::nullopt; }
  void SetNumber(workbench::NumberSetting, double) override {}
  std::string ExportFolder() const override { return ""; }
  void SetExportFolder(const std::string&) override {}
  std::string Text(const std::string& key) const override {
    return texts.contains(key) ? texts.at(key) : "";
  }
  void SetText(const std::string& key, const std::string& value) override { texts[key] = value; }
};

inline sim::MeterConfig MeterAt(uint8_t address, uint16_t pt, uint16_t ct, uint32_t delayMs) {
  sim::MeterConfig c;
  c.address = address;
  c.ptRatio = pt;
  c.ctRatio = ct;
  c.responseDelayMs = delayMs;
  c.seed = address;
  return c;
}

}  // namespace kt::testing
