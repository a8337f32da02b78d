// The finder: sweeps candidate lines, line settings and slave addresses one request at a time,
// driven by a timer tick, and lists every meter that answers.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "finder/FinderTypes.h"
#include "finder/SweepOrder.h"
#include "modbus/Clock.h"
#include "serial/SerialControl.h"

namespace kt::finder {

// Opens nothing yet: returns the serial control for a line with its port selected. The finder
// sets the line settings, opens and closes it. May throw serial::SerialError.
using LineOpener = std::function<std::unique_ptr<serial::SerialControl>(const CandidateLine&)>;

struct FinderOptions {
  SweepSetting lastUsed{};      // tried first
  bool stopAfterFirst = false;  // finish once one meter is listed
};

// Each Tick does at most one thing that touches a line: it takes what arrived for the request
// on its way and, once that request is answered or its wait is over, sends the next one. It
// never waits. A probe reads register 0x0300 and counts only as a whole valid reply from the
// probed address; a hit then reads the configuration block. A line that cannot be opened, or
// fails while in use, is listed once among the failures and skipped. The finder has one line
// open at a time and closes it when it moves on, finishes, is cancelled or destroyed.
class MeterFinder {
 public:
  MeterFinder(std::vector<CandidateLine> lines, LineOpener opener, modbus::Clock& clock,
              FinderOptions options = {});
  ~MeterFinder();
  MeterFinder(const MeterFinder&) = delete;
  MeterFinder& operator=(const MeterFinder&) = delete;

  void Tick();
  // Stops at once: the request on its way is forgotten and the open line closed.
  void Cancel();

  bool Finished() const { return finished_; }
  bool Cancelled() const { return cancelled_; }
  // The request on its way; none before the first tick and once finished.
  std::optional<Attempt> Current() const;
  // How long the request on its way may wait for its reply; 0 when none is on its way.
  uint32_t CurrentWaitMs() const { return pending_ ? pending_->waitMs : 0; }
  const std::vector<FoundMeter>& Found() const { return found_; }
  const std::vector<LineFailure>& Failures() const { return failures_; }
  // Probes done count those a failed line or the end of the sweep made unnecessary; the time
  // left is what the remaining waits add up to if nothing more answers.
  FinderProgress Progress() const;
  const std::vector<SweepSetting>& Settings() const { return settings_; }

 private:
  enum class RequestKind { Probe, Configuration };
  struct Pending {
    RequestKind kind = RequestKind::Probe;
    Attempt attempt{};
    int settingIndex = -1;
    uint32_t sentAtTick = 0;
    uint32_t waitMs = 0;
    std::vector<uint8_t> bytes{};
  };
  struct Remaining {
    uint64_t probes = 0;
    uint64_t ms = 0;
  };

  // Takes the reply bytes; true once the request is settled (answered, timed out, failed).
  bool Settle();
  void SendNextProbe();
  // The stage with addresses left to try, building the second pass when the first is through;
  // nullptr when the sweep is over.
  const SweepStage* NextStage();
  bool SelectLine(const SweepStage& stage);
  void Send(RequestKind kind, const SweepStage& stage, int address);
  void FailLine(size_t line, const std::string& reason);
  void Close();
  void Finish();
  Remaining RemainingWork(std::optional<size_t> onlyLine) const;
  uint32_t WaitMs(int settingIndex, RequestKind kind) const;
  uint8_t& Heard(size_t line, int settingIndex);

  std::vector<CandidateLine> lines_;
  LineOpener opener_;
  modbus::Clock& clock_;
  FinderOptions options_;
  std::vector<SweepSetting> settings_;

  std::vector<SweepStage> stages_;
  size_t stage_ = 0;     // the stage the next probe comes from
  int nextAddress_ = 0;  // within it
  bool secondPass_ = false;
  std::vector<std::vector<uint8_t>> heard_;  // per line and setting: any byte came back
  std::vector<bool> failed_;

  std::unique_ptr<serial::SerialControl> port_;
  std::optional<size_t> openLine_;
  int appliedSetting_ = -2;  // none yet
  std::optional<Pending> pending_;

  std::vector<FoundMeter> found_;
  std::vector<LineFailure> failures_;
  uint64_t probesTotal_ = 0;
  bool finished_ = false;
  bool cancelled_ = false;
};

}  // namespace kt::finder
