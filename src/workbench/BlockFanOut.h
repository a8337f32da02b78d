// Hands each decoded block of the main dialog to every subscriber (recording, trends, wiring).
#pragma once

#include <functional>
#include <vector>

#include "ui/MonitorListener.h"

namespace kt::workbench {

class BlockFanOut : public ui::MonitorListener {
 public:
  using Consumer = std::function<void(const measure::MeasuredBlock&)>;

  void Subscribe(Consumer consumer) { consumers_.push_back(std::move(consumer)); }
  void OnBlockDecoded(const measure::MeasuredBlock& block) override {
    for (const Consumer& consumer : consumers_) consumer(block);
  }

 private:
  std::vector<Consumer> consumers_;
};

}  // namespace kt::workbench
