// The order in which the finder tries line settings and addresses: most likely first.
#pragma once

#include <vector>

#include "finder/FinderTypes.h"

namespace kt::finder {

// The fifteen settings, `lastUsed` first, then 9600 bit/s without parity, then the other rates
// from the most common (9600, 19200, 4800, 2400, 1200), each without, with even and with odd
// parity. A `lastUsed` that is no supported setting is left out.
std::vector<SweepSetting> SettingsOrder(const SweepSetting& lastUsed);

// A run of addresses at one setting of one line.
struct SweepStage {
  size_t line = 0;        // index into the candidate lines
  int settingIndex = -1;  // index into the settings order; -1 on a line without settings
  int firstAddress = kFirstAddress;
  int lastAddress = kLastLikelyAddress;

  int Count() const { return lastAddress - firstAddress + 1; }
};

// The most likely settings (the first of the order: the last used and the factory ones) have
// addresses 1..16 asked a second time at once, for a reply that was lost; the others in a
// round of their own once every setting had its first.
inline constexpr size_t kSettingsAskedTwiceAtOnce = 2;

// First pass (`again` false): each line in turn, every setting (or the line once, without
// settings) with the addresses 1..16, twice in a row at the most likely settings. The round
// again (`again` true): addresses 1..16 at the other settings.
std::vector<SweepStage> LikelyStages(const std::vector<CandidateLine>& lines, size_t settings,
                                     bool again = false);
// The rest of the addresses, 17..247, of each line: first at the settings for which `heard`
// says something came back (any byte), in the settings order, then at the others. Lines for
// which `skip` is true are left out. `heard(line, settingIndex)`.
template <typename Heard, typename Skip>
std::vector<SweepStage> RemainingStages(const std::vector<CandidateLine>& lines, size_t settings,
                                        Heard heard, Skip skip) {
  std::vector<SweepStage> stages;
  for (const bool wanted : {true, false}) {
    for (size_t l = 0; l < lines.size(); ++l) {
      if (skip(l)) continue;
      const int count = lines[l].sweepSettings ? static_cast<int>(settings) : 1;
      for (int s = 0; s < count; ++s) {
        const int index = lines[l].sweepSettings ? s : -1;
        if (heard(l, index) != wanted) continue;
        stages.push_back({l, index, kLastLikelyAddress + 1, kLastAddress});
      }
    }
  }
  return stages;
}

}  // namespace kt::finder
