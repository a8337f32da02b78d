// The meter's Modbus RTU slave: checks a framed request and builds the reply from the registers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Meter.h"

namespace kt::sim {

struct SlaveReply {
  std::vector<uint8_t> bytes;  // empty: nothing is sent
  size_t frameLength = 0;      // bytes of the Modbus frame itself (a status trailer follows)
  std::string note;            // why there is no reply, or what was done, for the log
};

class RtuSlave {
 public:
  explicit RtuSlave(Meter& meter) : meter_(meter) {}

  // Handles one framed request taken off the line at `nowUs`. A wrong CRC, another address and
  // broadcasts get no reply; broadcast writes are executed.
  SlaveReply Handle(const std::vector<uint8_t>& frame, uint64_t nowUs);

 private:
  SlaveReply ReadRegisters(const std::vector<uint8_t>& f, uint64_t nowUs);
  SlaveReply WriteSingle(const std::vector<uint8_t>& f);
  SlaveReply WriteMultiple(const std::vector<uint8_t>& f);
  // The reply to a write that ended with `e`.
  SlaveReply WriteReply(const std::vector<uint8_t>& f, ModbusException e);
  SlaveReply Exception(uint8_t function, ModbusException code);
  SlaveReply Framed(std::vector<uint8_t> bytes);

  Meter& meter_;
};

}  // namespace kt::sim
