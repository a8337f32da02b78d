// The simulated meter's register model: measurement block, configuration page, writable registers.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/LineTiming.h"
#include "sim/LoadModel.h"
#include "sim/MeasuredValues.h"
#include "sim/MeterConfig.h"

namespace kt::sim {

// Modbus exception codes the meter answers with; None is a normal reply.
enum class ModbusException : uint8_t {
  None = 0,
  IllegalFunction = 1,
  IllegalDataAddress = 2,
  IllegalDataValue = 3,
};

constexpr uint16_t kConfigStart = 0x0300;
constexpr uint16_t kConfigRegisters = 0x30;  // 0x0300..0x032F; unnamed registers read 0

class Meter {
 public:
  explicit Meter(const MeterConfig& config);

  // Current settings, as the meter reports them in its configuration page.
  uint8_t address() const { return address_; }
  int32_t baudRate() const { return line_.baud; }
  int32_t parity() const { return line_.parity; }
  LineSettings line() const { return line_; }
  uint16_t ptRatio() const { return pt_; }
  uint16_t ctRatio() const { return ct_; }
  uint8_t wiring() const { return wiring_; }
  uint8_t accuracyClass() const { return accuracyClass_; }
  const std::array<uint16_t, 4>& parameters() const { return parameters_; }
  int powerMultiplier() const { return powerMultiplierFlag_ ? 4 : 1; }
  uint8_t energyExponent() const { return energyExponent_; }
  bool statusTrailer() const { return statusTrailer_; }
  uint32_t responseDelayMs() const { return responseDelayMs_; }
  const FaultConfig& faults() const { return faults_; }

  void SetStatusTrailer(bool on) { statusTrailer_ = on; }
  void SetResponseDelayMs(uint32_t ms) { responseDelayMs_ = ms; }
  void SetLoad(const LoadProfile& profile) { load_.SetProfile(profile); }
  const LoadProfile& load() const { return load_.profile(); }

  // The physical values encoded in the latest read of measurement registers, and how many such
  // reads there were (0: none yet, lastBlock() is all zeros).
  const MeasuredValues& lastBlock() const { return lastBlock_; }
  const std::array<uint16_t, 45>& lastBlockRegisters() const { return lastRegisters_; }
  uint64_t blockCount() const { return blockCount_; }

  // Function 0x03. Fills `out` with `count` registers from `start`, sampling the load at `nowUs`
  // when measurement registers are among them. Known ranges: 0x0000..0x002C, 0x0300..0x032F.
  ModbusException Read(uint16_t start, uint16_t count, uint64_t nowUs, std::vector<uint16_t>& out);
  // Functions 0x06 (single = true) and 0x10. All registers are checked before any is applied,
  // so a refused write changes nothing. The slave address is taken only from a broadcast.
  ModbusException Write(uint16_t start, const std::vector<uint16_t>& values, bool single,
                        bool broadcast);

  // A written baud rate or parity takes effect only once the acknowledgement is out.
  bool HasPendingLineChange() const { return pendingLine_.has_value(); }
  void CommitLineChange();

 private:
  uint16_t ConfigRegister(uint16_t reg) const;
  ModbusException Check(uint16_t reg, uint16_t value, uint16_t start, size_t count, bool single,
                        bool broadcast) const;
  void Apply(uint16_t reg, uint16_t value);
  void SampleBlock(uint64_t nowUs);

  uint8_t address_;
  LineSettings line_;
  std::optional<LineSettings> pendingLine_;
  uint16_t pt_;
  uint16_t ct_;
  uint8_t wiring_;
  uint8_t accuracyClass_;
  bool powerMultiplierFlag_;
  uint8_t energyExponent_;
  std::array<uint16_t, 4> parameters_;
  bool statusTrailer_;
  uint32_t responseDelayMs_;
  FaultConfig faults_;
  LoadModel load_;
  MeasuredValues lastBlock_{};
  std::array<uint16_t, 45> lastRegisters_{};
  uint64_t blockCount_ = 0;
};

}  // namespace kt::sim
