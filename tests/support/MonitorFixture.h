// Test fixture: the main dialog on the in-memory host with a scripted port and a tiny register
// map that answers read requests at once.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "MonitorHarness.h"

namespace kt::testing {

class MonitorFixture : public ::testing::Test, public MainDialogHarness {
 protected:
  FakeSerialPort& line = port;
  std::unique_ptr<ui::CMonitorDlg>& dlg = dialog;

  // The answering meter: address, registers and the status pair sent after a block reply.
  bool meterOn = false;
  uint8_t meterAddress = 1;
  std::map<uint16_t, uint16_t> registers;
  Bytes statusTrailer;

  void SetUp() override {
    line.onWrite = [this](const Bytes& f) { Answer(f); };
  }
  void TearDown() override { Close(); }

  ui::CMonitorDlg& Open(int32_t baud = 9600, int32_t parity = 0, int32_t portNumber = 1) {
    return MainDialogHarness::Open(StartSettings{portNumber, baud, parity});
  }

  // Runs one poll tick directly (the timer need not run).
  void Tick() { dlg->OnTimer(ui::kPollTimer); }

  void Answer(const Bytes& f) {
    if (!meterOn || f.size() != 8 || f[0] != meterAddress || f[1] != 0x03) return;
    const uint16_t start = static_cast<uint16_t>(f[2] << 8 | f[3]);
    const uint16_t count = static_cast<uint16_t>(f[4] << 8 | f[5]);
    std::vector<uint16_t> values;
    for (uint16_t r = start; r < start + count; ++r) {
      auto it = registers.find(r);
      values.push_back(it == registers.end() ? 0 : it->second);
    }
    line.Arrive(ReadReply(meterAddress, values));
    if (start == 0x0000) line.Arrive(statusTrailer);
  }
};

}  // namespace kt::testing
