// The finder: every line's sweep ticked in turn.
#include "finder/MeterFinder.h"

#include <algorithm>
#include <utility>

namespace kt::finder {

MeterFinder::MeterFinder(std::vector<CandidateLine> lines, LineOpener opener, modbus::Clock& clock,
                         FinderOptions options)
    : opener_(std::move(opener)),
      clock_(clock),
      options_(options),
      settings_(SettingsOrder(options.lastUsed)) {
  for (CandidateLine& line : lines) {
    sweeps_.push_back(
        std::make_unique<LineSweep>(std::move(line), settings_, opener_, clock_, results_));
  }
  finished_ = sweeps_.empty();
}

MeterFinder::~MeterFinder() {
  Finish();
}

void MeterFinder::Tick() {
  if (finished_) return;
  bool allDone = true;
  for (const auto& sweep : sweeps_) {
    sweep->Tick();
    if (options_.stopAfterFirst && !results_.found.empty()) break;
    allDone = allDone && sweep->Done();
  }
  if (options_.stopAfterFirst && !results_.found.empty()) {
    // Only the first meter: another line may have listed one in the same tick.
    results_.found.resize(1);
    Finish();
  } else if (allDone) {
    Finish();
  }
}

void MeterFinder::Cancel() {
  if (finished_) return;
  cancelled_ = true;
  Finish();
}

void MeterFinder::Finish() {
  for (const auto& sweep : sweeps_) sweep->Stop();
  finished_ = true;
}

std::optional<Attempt> MeterFinder::Current() const {
  if (finished_) return std::nullopt;
  for (const auto& sweep : sweeps_) {
    if (auto attempt = sweep->Current()) return attempt;
  }
  return std::nullopt;
}

uint32_t MeterFinder::CurrentWaitMs() const {
  for (const auto& sweep : sweeps_) {
    if (sweep->Current()) return sweep->CurrentWaitMs();
  }
  return 0;
}

FinderProgress MeterFinder::Progress() const {
  FinderProgress p;
  for (const auto& sweep : sweeps_) {
    p.probesTotal += sweep->ProbesTotal();
    p.probesDone += finished_ ? sweep->ProbesTotal() : sweep->ProbesDone();
    if (!finished_) p.remainingMs = std::max(p.remainingMs, sweep->RemainingMs());
  }
  return p;
}

}  // namespace kt::finder
