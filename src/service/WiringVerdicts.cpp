// The wiring verdicts kept per meter.
#include "service/WiringVerdicts.h"

#include "service/StateMessage.h"

namespace kt::service {

const char* WiringVerdicts::For(size_t line, const values::MeasuredBlock& block,
                                std::chrono::steady_clock::time_point now) {
  const auto key = std::make_pair(line, block.slaveAddress);
  const auto found = judged_.find(key);
  if (found != judged_.end() && now - found->second.at < every_) return found->second.verdict;
  const char* verdict = WiringVerdictText(block);
  judged_[key] = {verdict, now};
  return verdict;
}

}  // namespace kt::service
