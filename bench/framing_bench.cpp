// Throughput of CalcCrc16 and the worst case of FindFrame on a full receive buffer.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "modbus/Buffers.h"
#include "modbus/Crc16.h"
#include "modbus/FindFrame.h"

using namespace kt::modbus;

namespace {

void BM_CalcCrc16(benchmark::State& state) {
  std::vector<uint8_t> bytes(static_cast<size_t>(state.range(0)));
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 131 + 7);
  const auto count = static_cast<int16_t>(bytes.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(CalcCrc16(std::span(bytes).first(static_cast<size_t>(count))));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_CalcCrc16)->Arg(8)->Arg(95)->Arg(1200);

// Every position starts a candidate (address and function code are both 0x03 and so is every
// byte), none has a matching CRC: each of the 1106 candidates costs a 93-byte CRC.
void BM_FindFrameWorstCase(benchmark::State& state) {
  constexpr uint8_t kAddressAndFunction = 0x03;
  constexpr int16_t kLength = 95;
  ReceiveBuffer buffer;
  buffer.fill(kAddressAndFunction);
  const auto count = static_cast<int16_t>(buffer.size());
  if (FindFrame(buffer, SlaveAddress(kAddressAndFunction), FunctionCode(kAddressAndFunction),
                kLength) != -1) {
    state.SkipWithError("a candidate matched; the buffer is not the worst case");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindFrame(buffer, SlaveAddress(kAddressAndFunction),
                                       FunctionCode(kAddressAndFunction), kLength));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * count);
}
BENCHMARK(BM_FindFrameWorstCase);

}  // namespace
