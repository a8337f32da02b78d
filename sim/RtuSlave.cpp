// Functions 0x03, 0x06 and 0x10 of the simulated meter, with exception replies.
#include "sim/RtuSlave.h"

#include "modbus/Crc16.h"
#include "modbus/RequestFrames.h"
#include "sim/FrameAssembler.h"
#include "sim/MeasurementEncoding.h"

namespace kt::sim {
namespace {

uint16_t Word(const std::vector<uint8_t>& f, size_t at) {
  return static_cast<uint16_t>(f[at] << 8 | f[at + 1]);
}
void PutWord(std::vector<uint8_t>& f, uint16_t value) {
  f.push_back(static_cast<uint8_t>(value >> 8));
  f.push_back(static_cast<uint8_t>(value & 0xFF));
}
bool CrcMatches(const std::vector<uint8_t>& f) {
  const uint16_t crc = kt::modbus::CalcCrc16(std::span(f).first(f.size() - 2));
  return f[f.size() - 2] == (crc >> 8) && f[f.size() - 1] == (crc & 0xFF);
}

}  // namespace

SlaveReply RtuSlave::Framed(std::vector<uint8_t> bytes) {
  bytes.resize(bytes.size() + 2);
  kt::modbus::PlaceCrc(bytes);
  SlaveReply reply;
  reply.frameLength = bytes.size();
  reply.bytes = std::move(bytes);
  return reply;
}

SlaveReply RtuSlave::Exception(uint8_t function, ModbusException code) {
  SlaveReply reply =
      Framed({meter_.address(), static_cast<uint8_t>(function | 0x80), static_cast<uint8_t>(code)});
  reply.note = "exception " + std::to_string(static_cast<int>(code));
  return reply;
}

SlaveReply RtuSlave::Handle(const std::vector<uint8_t>& f, uint64_t nowUs) {
  if (f.size() < 4 || f.size() > 256) return {{}, 0, "ignored: not a frame"};
  if (!CrcMatches(f)) return {{}, 0, "ignored: bad CRC"};
  const uint8_t address = f[0];
  const bool broadcast = address == 0;
  if (!broadcast && address != meter_.address()) return {{}, 0, "ignored: other address"};
  const uint8_t function = f[1];
  const size_t implied = ImpliedRequestLength(f);
  const bool multiple = function == 0x0F || function == 0x10;
  if ((implied != 0 && f.size() != implied) || (multiple && f.size() < 9)) {
    return {{}, 0, "ignored: wrong length"};
  }

  switch (function) {
    case kt::modbus::kReadHoldingRegisters:
      if (broadcast) return {{}, 0, "ignored: broadcast read"};
      return ReadRegisters(f, nowUs);
    case kt::modbus::kWriteSingleRegister:
      return WriteSingle(f);
    case kt::modbus::kWriteMultipleRegisters:
      return WriteMultiple(f);
    default:
      if (broadcast) return {{}, 0, "ignored: broadcast of unknown function"};
      return Exception(function, ModbusException::IllegalFunction);
  }
}

SlaveReply RtuSlave::ReadRegisters(const std::vector<uint8_t>& f, uint64_t nowUs) {
  const uint8_t function = f[1];
  std::vector<uint16_t> regs;
  const uint16_t start = Word(f, 2);
  const uint16_t count = Word(f, 4);
  const ModbusException e = meter_.Read(start, count, nowUs, regs);
  if (e != ModbusException::None) return Exception(function, e);
  std::vector<uint8_t> out{f[0], function, static_cast<uint8_t>(2 * regs.size())};
  for (uint16_t r : regs) PutWord(out, r);
  SlaveReply reply = Framed(std::move(out));
  if (meter_.statusTrailer() && start == kBlockStart && count == kBlockRegisters) {
    reply.bytes.push_back(meter_.lastBlock().voltageStatus);
    reply.bytes.push_back(meter_.lastBlock().currentStatus);
  }
  return reply;
}

SlaveReply RtuSlave::WriteSingle(const std::vector<uint8_t>& f) {
  const bool broadcast = f[0] == 0;
  const ModbusException e = meter_.Write(Word(f, 2), {Word(f, 4)}, true, broadcast);
  return WriteReply(f, e);
}

SlaveReply RtuSlave::WriteMultiple(const std::vector<uint8_t>& f) {
  const bool broadcast = f[0] == 0;
  const uint16_t start = Word(f, 2);
  const uint16_t count = Word(f, 4);
  ModbusException e = ModbusException::None;
  if (count < 1 || count > 123 || f[6] != 2 * count) {
    e = ModbusException::IllegalDataValue;
  } else {
    std::vector<uint16_t> values;
    for (size_t n = 0; n < count; ++n) values.push_back(Word(f, 7 + 2 * n));
    e = meter_.Write(start, values, false, broadcast);
  }
  return WriteReply(f, e);
}

SlaveReply RtuSlave::WriteReply(const std::vector<uint8_t>& f, ModbusException e) {
  // A broadcast is executed (or refused) silently; otherwise the request's head is echoed.
  if (f[0] == 0) {
    return {{}, 0, e == ModbusException::None ? "broadcast executed" : "broadcast refused"};
  }
  if (e != ModbusException::None) return Exception(f[1], e);
  return Framed(std::vector<uint8_t>(f.begin(), f.begin() + 6));
}

}  // namespace kt::sim
