// The finder: sweeps candidate lines, each on its own schedule and all at once, through the line
// settings and slave addresses, driven by a timer tick, and lists every meter that answers.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "finder/FinderTypes.h"
#include "finder/LineSweep.h"
#include "finder/SweepOrder.h"
#include "modbus/Clock.h"

namespace kt::finder {

struct FinderOptions {
  SweepSetting lastUsed{};      // tried first
  bool stopAfterFirst = false;  // finish once one meter is listed
};

// Each Tick lets every line do at most one thing: take what arrived and, once its request is
// settled and the line has rested, send the next. It never waits. Every line has one request on
// its wire at most. A line that cannot be opened, or fails while in use, is listed once among
// the failures and left. Lines are closed as their sweeps end, and all of them on finishing,
// cancel and destruction.
class MeterFinder {
 public:
  MeterFinder(std::vector<CandidateLine> lines, LineOpener opener, modbus::Clock& clock,
              FinderOptions options = {});
  ~MeterFinder();
  MeterFinder(const MeterFinder&) = delete;
  MeterFinder& operator=(const MeterFinder&) = delete;

  void Tick();
  // Stops at once: the requests on their way are forgotten and the open lines closed.
  void Cancel();

  bool Finished() const { return finished_; }
  bool Cancelled() const { return cancelled_; }
  // The request on its way on the first line that has one; none once finished.
  std::optional<Attempt> Current() const;
  // How long that request may wait for the first byte of its reply; 0 when none is on its way.
  uint32_t CurrentWaitMs() const;
  const std::vector<FoundMeter>& Found() const { return results_.found; }
  const std::vector<LineFailure>& Failures() const { return results_.failures; }
  // Probes done count those a failed line or the end of the sweep made unnecessary; the time
  // left is that of the slowest line if nothing more answers.
  FinderProgress Progress() const;
  const std::vector<SweepSetting>& Settings() const { return settings_; }

 private:
  void Finish();

  LineOpener opener_;
  modbus::Clock& clock_;
  FinderOptions options_;
  std::vector<SweepSetting> settings_;
  FinderResults results_;
  std::vector<std::unique_ptr<LineSweep>> sweeps_;
  bool finished_ = false;
  bool cancelled_ = false;
};

}  // namespace kt::finder
