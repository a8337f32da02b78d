// The meters of one line polled in turn: each meter's configuration first (again after it was
// lost, after the main dialog wrote to it, and every so many blocks, so that a meter put in its
// place is read afresh), then its measurement block again and again, scaled with its own
// ratios, with the status pair when it follows the block. The main dialog's own meter is not asked
// twice: while the main dialog decodes its blocks they feed its row. With a poll interval a meter's
// block is not asked again before the interval has passed (a configuration read that is answered
// takes no turn of its own; one that is not counts as the meter's turn); without one, as fast as
// the line allows.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bus/LineClient.h"
#include "modbus/Clock.h"
#include "modbus/ConfigurationBlock.h"
#include "ui/LinkStatus.h"
#include "values/MeasuredBlock.h"
#include "values/MonitorListener.h"

namespace kt::bus {

// Blocks of a meter are asked for this many times before its configuration is read again.
constexpr uint32_t kBlocksPerConfiguration = 60;
// Values are stale after the main dialog's kStalePollPeriods of 500 ms, or three of the meter's
// cycles (or poll intervals) when longer: the main dialog's rule (three blocks missed).
constexpr uint32_t kStaleCycles = 3;
constexpr uint32_t kStaleAtLeastMs = 3000;

struct BusMeterEntry {
  uint8_t address = 1;
  std::string name;
};

// One meter's row: plain data the table reads.
struct BusMeter {
  uint8_t address = 1;
  std::string name;
  ui::LinkStatus link;  // "正常", "无应答", "应答无效", "异常应答 …", counters, last data
  std::optional<modbus::MeterConfiguration> configuration;
  std::optional<values::MeasuredBlock> lastBlock;
  uint32_t lastBlockTick = 0;    // without a block: when it was first asked
  bool fedByMainDialog = false;  // the latest block came from the main dialog's polling
  // Bookkeeping of the cycle.
  bool configurationDue = true;
  uint32_t blocksSinceConfiguration = 0;
  uint32_t longestAnswerMs = 0;  // of the replies since it was last lost; 0: none yet
  std::optional<uint32_t> lastAskedTick;
  uint32_t cycleMs = 0;  // between its latest two requests
  // Its latest turn: its block asked, or its configuration asked and not given.
  std::optional<uint32_t> turnTick;
};

class BusPoller : public LineClient, public values::MonitorListener {
 public:
  explicit BusPoller(modbus::Clock& clock);

  // The list in its order; meters still listed keep their rows, new ones start unread.
  void SetMeters(const std::vector<BusMeterEntry>& entries);
  const std::vector<BusMeter>& Meters() const { return meters_; }
  const BusMeter* Find(uint8_t address) const;

  // Polling on or off; off asks nothing of the line (an exchange on the wire still settles).
  void Start();
  void Stop();
  bool Running() const { return running_; }

  // A meter's block at most every `ms` (0, the default: as fast as the line allows).
  void SetIntervalMs(uint32_t ms) { intervalMs_ = ms; }
  // Until a meter is due: 0 when one is; none while stopped or with nothing to ask.
  std::optional<uint32_t> MsUntilDue(uint32_t now) const;

  // Every block this poller decoded itself (not the main dialog's), e.g. for recording.
  std::function<void(const values::MeasuredBlock&)> onBlock;
  // The wall-clock time a block is stamped with.
  std::function<std::chrono::system_clock::time_point()> wallClock = [] {
    return std::chrono::system_clock::now();
  };

  // The cycle of the meter asked last: milliseconds between its latest two requests; 0 before.
  uint32_t LastRoundMs() const { return lastRoundMs_; }
  // Whether the meter's values are older than the stale rule allows.
  bool Stale(const BusMeter& meter) const;
  // The age at which a meter's values are stale.
  uint32_t StaleAfterMs(const BusMeter& meter) const;

  // LineClient.
  // The next meter in turn whose exchange fits; a meter that does not fit keeps its turn for
  // the next round.
  std::optional<BusRequest> NextRequest(const RequestFits& fits) override;
  void ExchangeDone(const BusRequest& request, const ExchangeResult& result) override;
  // Its configuration is read again before its next block, so that its values take new ratios.
  void MainDialogWrote(uint8_t address) override;

  // MonitorListener: the main dialog's blocks feed its meter's row.
  void OnBlockDecoded(const values::MeasuredBlock& block) override;

 private:
  BusMeter* FindMeter(uint8_t address);
  bool MainDialogFeeds(const BusMeter& meter, uint32_t now) const;
  uint32_t MsUntilTurn(const BusMeter& meter, uint32_t now) const;
  void TakeConfiguration(BusMeter& meter, const uint8_t* data);
  void TakeBlock(BusMeter& meter, const BusRequest& request, const ExchangeResult& result);

  modbus::Clock& clock_;
  std::vector<BusMeter> meters_;
  bool running_ = false;
  uint32_t intervalMs_ = 0;
  uint32_t lastRoundMs_ = 0;
};

}  // namespace kt::bus
