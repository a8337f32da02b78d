// A serial control for tests: records every call and output, answers from a script (at once, or
// at virtual times after a transmission), can refuse on demand, or passes through to another
// control (the simulated line) while still recording.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "modbus/Clock.h"
#include "serial/SerialControl.h"
#include "serial/SerialError.h"

namespace kt::testing {

using Bytes = std::vector<uint8_t>;

class FakeSerialPort : public serial::SerialControl {
 public:
  // Scripted: input arrives when the test says so. With a clock, accesses are logged with their
  // time and AnswerAfter() can deliver bytes later on that clock.
  FakeSerialPort() = default;
  explicit FakeSerialPort(const modbus::VirtualClock& clock) : clock_(&clock) {}
  // Recording pass-through: from now on every call goes on to `through` as well, and input
  // comes from it.
  void PassThrough(serial::SerialControl& through) { through_ = &through; }

  // --- Record ---
  std::vector<std::string> calls;  // setters: "CommPort=1", "Settings=9600N,8,2", "PortOpen=1"
  std::vector<std::string> log;    // data accesses: "count@ms", "input@ms", "output@ms"
  std::vector<Bytes> written;      // every output, in order
  bool open = false;

  // --- Script ---
  Bytes pending;  // the receive queue of a scripted port
  // Sees each output after it was recorded (and passed on); may answer it with Arrive().
  std::function<void(const Bytes& frame)> onWrite;
  // Bytes that arrive right after the next count was taken: taken by the read, not counted.
  Bytes arriveAfterCount;
  // The next SetPortOpen(true) throws this; every one while keepRefusingOpen.
  std::optional<serial::SerialError> refuseOpen;
  bool keepRefusingOpen = false;
  // Every SetOutput throws this while it is set (a device unplugged mid-run).
  std::optional<serial::SerialError> refuseOutput;
  // The next `failingReads` reads of InBufferCount throw an I/O error.
  int failingReads = 0;

  void Arrive(const Bytes& bytes) { pending.insert(pending.end(), bytes.begin(), bytes.end()); }
  // `bytes` arrive `afterMs` after the next transmission (needs the clock).
  void AnswerAfter(uint32_t afterMs, Bytes bytes) {
    answers_.push_back({afterMs, std::move(bytes)});
  }
  const Bytes& LastWritten() const {
    static const Bytes kNone;
    return written.empty() ? kNone : written.back();
  }

  // --- SerialControl ---
  void SetCommPort(int16_t port) override {
    calls.push_back("CommPort=" + std::to_string(port));
    if (through_ != nullptr) through_->SetCommPort(port);
  }
  void SetSettings(const std::string& s) override {
    calls.push_back("Settings=" + s);
    if (through_ != nullptr) through_->SetSettings(s);
  }
  void SetPortOpen(bool value) override {
    calls.push_back(std::string("PortOpen=") + (value ? "1" : "0"));
    if (value && refuseOpen) {
      serial::SerialError e = *refuseOpen;
      if (!keepRefusingOpen) refuseOpen.reset();
      throw e;
    }
    if (through_ != nullptr) through_->SetPortOpen(value);
    open = value;
  }
  bool GetPortOpen() const override { return through_ != nullptr ? through_->GetPortOpen() : open; }
  void SetInputLen(int16_t n) override {
    calls.push_back("InputLen=" + std::to_string(n));
    if (through_ != nullptr) through_->SetInputLen(n);
  }
  void SetInBufferCount(int16_t n) override {
    calls.push_back("InBufferCount=" + std::to_string(n));
    if (through_ != nullptr) through_->SetInBufferCount(n);
    if (n == 0) pending.clear();
  }
  int16_t GetInBufferCount() override {
    if (failingReads > 0) {
      --failingReads;
      throw serial::SerialError(serial::SerialErrorKind::IoError, "/dev/ttyS0",
                                "Input/output error");
    }
    if (through_ != nullptr) return through_->GetInBufferCount();
    Deliver();
    Log("count");
    const auto n = open ? static_cast<int16_t>(std::min<size_t>(pending.size(), 32767)) : 0;
    Arrive(std::exchange(arriveAfterCount, {}));
    return static_cast<int16_t>(n);
  }
  Bytes GetInput() override {
    if (through_ != nullptr) return through_->GetInput();
    Deliver();
    Log("input");
    return open ? std::exchange(pending, {}) : Bytes{};
  }
  void SetOutput(const Bytes& bytes) override {
    Log("output");
    if (refuseOutput) throw *refuseOutput;
    written.push_back(bytes);
    if (through_ != nullptr) through_->SetOutput(bytes);
    const uint64_t now = clock_ != nullptr ? clock_->ElapsedMs() : 0;
    for (auto& a : answers_) scheduled_.push_back({now + a.atMs, std::move(a.bytes)});
    answers_.clear();
    Deliver();
    if (onWrite) onWrite(bytes);
  }

 private:
  struct Answer {
    uint64_t atMs;  // relative to the next transmission until it is scheduled
    Bytes bytes;
  };
  void Deliver() {
    const uint64_t now = clock_ != nullptr ? clock_->ElapsedMs() : 0;
    for (auto it = scheduled_.begin(); it != scheduled_.end();) {
      if (it->atMs <= now) {
        Arrive(it->bytes);
        it = scheduled_.erase(it);
      } else {
        ++it;
      }
    }
  }
  void Log(const char* what) {
    if (clock_ != nullptr)
      log.push_back(std::string(what) + "@" + std::to_string(clock_->ElapsedMs()));
  }

  const modbus::VirtualClock* clock_ = nullptr;
  serial::SerialControl* through_ = nullptr;
  std::vector<Answer> answers_;
  std::vector<Answer> scheduled_;
};

}  // namespace kt::testing
