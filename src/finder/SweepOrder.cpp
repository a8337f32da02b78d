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

std::vector<SweepStage> LikelyStages(const std::vector<CandidateLine>& lines, size_t settings) {
  std::vector<SweepStage> stages;
  for (size_t l = 0; l < lines.size(); ++l) {
    if (!lines[l].sweepSettings) {
      stages.push_back({l, -1, kFirstAddress, kLastLikelyAddress});
      continue;
    }
    for (size_t s = 0; s < settings; ++s) {
      stages.push_back({l, static_cast<int>(s), kFirstAddress, kLastLikelyAddress});
    }
  }
  return stages;
}

}  // namespace kt::finder
