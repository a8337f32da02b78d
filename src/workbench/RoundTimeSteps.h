// The round steps of time a trend's labels and ticks fall on, shortest first.
#pragma once

#include <array>
#include <chrono>

namespace kt::workbench {

inline constexpr std::array<std::chrono::milliseconds, 13> kRoundTimeSteps = {
    std::chrono::seconds(1),  std::chrono::seconds(2),  std::chrono::seconds(5),
    std::chrono::seconds(10), std::chrono::seconds(15), std::chrono::seconds(30),
    std::chrono::minutes(1),  std::chrono::minutes(2),  std::chrono::minutes(5),
    std::chrono::minutes(10), std::chrono::minutes(15), std::chrono::minutes(30),
    std::chrono::minutes(60)};

}  // namespace kt::workbench
