// Hands each decoded block of the main dialog to every subscriber (recording, trends, wiring).
#pragma once

#include <functional>
#include <vector>

#include "values/MonitorListener.h"

namespace kt::workbench {

class BlockFanOut : public values::MonitorListener {
 public:
  using Consumer = std::function<void(const values::MeasuredBlock&)>;

  void Subscribe(Consumer consumer) { consumers_.push_back(std::move(consumer)); }
  void OnBlockDecoded(const values::MeasuredBlock& block) override {
    for (const Consumer& consumer : consumers_) consumer(block);
  }

 private:
  std::vector<Consumer> consumers_;
};

}  // namespace kt::workbench
