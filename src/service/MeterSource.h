// Where the service's blocks come from: every meter of every line, polled without waiting.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "values/MeasuredBlock.h"

namespace kt::service {

// What a source tells as it polls; `line` is the line's index in the configuration.
class MeterEvents {
 public:
  virtual ~MeterEvents() = default;
  // A measurement block decoded with the meter's own ratios, at the time of its reply.
  virtual void OnBlock(size_t line, const values::MeasuredBlock& block) = 0;
  // The meter answers again, or has not for longer than the stale rule allows.
  virtual void OnAvailability(size_t line, uint8_t address, bool online) = 0;
  // Something the log should say about the line (opened, lost, refused), in Chinese.
  virtual void OnLineNote(size_t line, const std::string& text) = 0;
};

class MeterSource {
 public:
  virtual ~MeterSource() = default;
  // Does whatever is due on every line, never waiting; returns the milliseconds until
  // something will be due again.
  virtual uint32_t Run() = 0;
};

}  // namespace kt::service
