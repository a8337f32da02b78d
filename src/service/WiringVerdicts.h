// Each meter's wiring verdict, judged again at most every so often: the wiring check is the
// costliest step of a state, and a site's wiring does not change from one block to the next.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <utility>

#include "values/MeasuredBlock.h"

namespace kt::service {

inline constexpr std::chrono::seconds kWiringJudgedEvery{30};

class WiringVerdicts {
 public:
  explicit WiringVerdicts(std::chrono::steady_clock::duration every = kWiringJudgedEvery)
      : every_(every) {}

  // The verdict of the meter at the block's address on `line`: judged on this block when the
  // last judgement is older than the period (or there is none), else the last one.
  const char* For(size_t line, const values::MeasuredBlock& block,
                  std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());

 private:
  struct Judged {
    const char* verdict;
    std::chrono::steady_clock::time_point at;
  };
  std::chrono::steady_clock::duration every_;
  std::map<std::pair<size_t, uint8_t>, Judged> judged_;
};

}  // namespace kt::service
