// A port the finder borrows from its holder (the main dialog) for the time it sweeps it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "finder/LineSweep.h"
#include "serial/SerialControl.h"

namespace kt::finder {

struct PortLending {
  // Before the finder opens port `portNumber`: true when it was the holder's open port, which the
  // holder has now closed until `giveBack`.
  std::function<bool(int32_t portNumber)> lend{};
  std::function<void(int32_t portNumber)> giveBack{};
};

// The finder's line on a borrowed port: every access goes to `inner`; destroying it (the finder
// has closed it) gives the port back.
class LentLine : public serial::SerialControl {
 public:
  LentLine(std::unique_ptr<serial::SerialControl> inner, std::function<void()> giveBack);
  ~LentLine() override;
  LentLine(const LentLine&) = delete;
  LentLine& operator=(const LentLine&) = delete;

  serial::SerialControl& Inner() { return *inner_; }

  void SetCommPort(int16_t port) override { inner_->SetCommPort(port); }
  void SetSettings(const std::string& settings) override { inner_->SetSettings(settings); }
  void SetPortOpen(bool open) override { inner_->SetPortOpen(open); }
  bool GetPortOpen() const override { return inner_->GetPortOpen(); }
  void SetInputLen(int16_t length) override { inner_->SetInputLen(length); }
  void SetInBufferCount(int16_t count) override { inner_->SetInBufferCount(count); }
  int16_t GetInBufferCount() override { return inner_->GetInBufferCount(); }
  std::vector<uint8_t> GetInput() override { return inner_->GetInput(); }
  void SetOutput(const std::vector<uint8_t>& bytes) override { inner_->SetOutput(bytes); }

 private:
  std::unique_ptr<serial::SerialControl> inner_;
  std::function<void()> giveBack_;
};

// Opens through `opener`, having borrowed each port from `lending` first; without a lender,
// `opener` itself.
LineOpener LendingOpener(LineOpener opener, PortLending lending);

}  // namespace kt::finder
