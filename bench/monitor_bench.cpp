// One poll tick with a measurement reply waiting: take, find, decode, format and write the 34
// values, the status, the receive echo and the next request, on the in-memory host.
#include <benchmark/benchmark.h>

#include <vector>

#include "InMemoryHost.h"
#include "modbus/Crc16.h"
#include "ui/CMonitorDlg.h"

namespace {

// Every read finds the same block reply (with its status pair) waiting.
class WaitingReply : public kt::serial::SerialControl {
 public:
  WaitingReply() {
    reply_ = {0x01, 0x03, 90};
    for (int reg = 0; reg < 45; ++reg) {
      const uint16_t v = static_cast<uint16_t>(21987 + 371 * reg);
      reply_.push_back(static_cast<uint8_t>(v >> 8));
      reply_.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    const uint16_t crc = kt::modbus::CalcCrc16(reply_);
    reply_.push_back(static_cast<uint8_t>(crc >> 8));
    reply_.push_back(static_cast<uint8_t>(crc & 0xFF));
    reply_.push_back(0x9B);
    reply_.push_back(0x21);
  }
  void SetCommPort(int16_t) override {}
  void SetSettings(const std::string&) override {}
  void SetPortOpen(bool open) override { open_ = open; }
  bool GetPortOpen() const override { return open_; }
  void SetInputLen(int16_t) override {}
  void SetInBufferCount(int16_t) override {}
  int16_t GetInBufferCount() override { return static_cast<int16_t>(reply_.size()); }
  std::vector<uint8_t> GetInput() override { return reply_; }
  void SetOutput(const std::vector<uint8_t>& bytes) override { benchmark::DoNotOptimize(bytes); }

 private:
  std::vector<uint8_t> reply_;
  bool open_ = false;
};

void BM_PollTickWithBlock(benchmark::State& state) {
  kt::modbus::VirtualClock clock;
  kt::ui::InMemoryHost host(clock);
  WaitingReply line;
  kt::ui::CMonitorDlg dlg(host, line, clock);
  host.Open(dlg);
  host.Type(dlg, 1061, "1");
  dlg.m_slaveAddress = 1;
  dlg.m_ptRatio = 100;
  dlg.m_ctRatio = 20;
  dlg.m_configuredAddress = 1;
  dlg.m_configuredPort = dlg.m_portNumber;
  for (auto _ : state) {
    dlg.m_pollState = 3;
    dlg.OnTimer(kt::ui::kPollTimer);
  }
  if (dlg.m_pollState != 4 || host.Control(dlg, 1001).text.empty()) {
    state.SkipWithError("the block was not decoded");
  }
  host.Close(dlg);
}
BENCHMARK(BM_PollTickWithBlock);

}  // namespace
