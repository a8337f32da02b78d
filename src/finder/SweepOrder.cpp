// The settings order and the first pass.
#include "finder/SweepOrder.h"

#include <algorithm>

#include "serial/LineSettingsTable.h"

namespace kt::finder {
namespace {

constexpr int32_t kRatesByLikelihood[] = {9600, 19200, 4800, 2400, 1200};
constexpr int32_t kParitiesByLikelihood[] = {0, 2, 1};  // none, even, odd

bool Supported(const SweepSetting& s) {
  return serial::FindBaudRow(s.baudRate) != nullptr && serial::FindParityRow(s.parity) != nullptr;
}

}  // namespace

std::vector<SweepSetting> SettingsOrder(const SweepSetting& lastUsed) {
  std::vector<SweepSetting> order;
  if (Supported(lastUsed)) order.push_back(lastUsed);
  const SweepSetting factory{serial::kDefaultBaudRate, serial::kDefaultParityCode};
  if (order.empty() || order.front() != factory) order.push_back(factory);
  for (const int32_t rate : kRatesByLikelihood) {
    for (const int32_t parity : kParitiesByLikelihood) {
      const SweepSetting s{rate, parity};
      if (std::find(order.begin(), order.end(), s) == order.end()) order.push_back(s);
    }
  }
  return order;
}

std::vector<SweepStage> LikelyStages(const std::vector<CandidateLine>& lines, size_t settings,
                                     bool again) {
  std::vector<SweepStage> stages;
  for (size_t l = 0; l < lines.size(); ++l) {
    const size_t count = lines[l].sweepSettings ? settings : 1;
    for (size_t s = 0; s < count; ++s) {
      const int index = lines[l].sweepSettings ? static_cast<int>(s) : -1;
      const bool atOnce = s < kSettingsAskedTwiceAtOnce;
      const int rounds = again ? (atOnce ? 0 : 1) : (atOnce ? 2 : 1);
      for (int r = 0; r < rounds; ++r) {
        stages.push_back({l, index, kFirstAddress, kLastLikelyAddress});
      }
    }
  }
  return stages;
}

}  // namespace kt::finder
