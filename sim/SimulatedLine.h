// The simulated meter behind the serial control seam, on any clock: each reply byte arrives when a
// real line would deliver it. Single-threaded and lazy: every property access catches up.
#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "modbus/Clock.h"
#include "serial/SerialControl.h"
#include "sim/LineTiming.h"
#include "sim/Meter.h"
#include "sim/MeterConfig.h"
#include "sim/MeterPort.h"

namespace kt::sim {

// Parses a settings text such as "9600N,8,2", "4800O,8,1" or "19200E,8,1"; false for any other.
bool ParseSettingsText(const std::string& text, LineSettings& out);

class SimulatedLine : public kt::serial::SerialControl {
 public:
  SimulatedLine(kt::modbus::Clock& clock, MeterConfig config = {});

  Meter& meter() { return port_.meter(); }
  const Meter& meter() const { return port_.meter(); }

  // Test controls.
  // Hangs one more meter on the same bus (multi-drop); it hears every request as the first one
  // does and answers at its own address. Returns it (the reference stays valid).
  Meter& AddMeter(const MeterConfig& config);
  // false: the meter at `address` is taken off the line (it hears nothing, so it answers
  // nothing); true: hung on again. The others go on.
  void SetMeterAttached(uint8_t address, bool attached);
  // Bytes that arrive on the PC side now (noise); lost while the port is closed.
  void InjectBytes(const std::vector<uint8_t>& bytes);
  // false: nothing answers, and a reply on its way is lost.
  void SetMeterConnected(bool connected);
  // true: the line gives back every byte the PC sends, as it passes on the wire (an RS-485
  // adapter that hears itself). It echoes with the meters connected or not.
  void SetEcho(bool on) { echo_ = on; }
  // Another master on the bus sends `bytes` at `settings` now: the meters hear it and may answer,
  // and the PC hears it when at the same settings.
  void SendFromAnotherMaster(const std::vector<uint8_t>& bytes, LineSettings settings);
  // The port the meter hangs on; 0 (the default): whichever port is opened.
  void SetMeterPort(int16_t port);
  // Opening this port throws SerialError(NoSuchPort) / SerialError(PortInUse).
  void SetPortMissing(int16_t port, bool missing);
  void SetPortInUse(int16_t port, bool inUse);
  int16_t MeterPortNumber() const { return meterPort_; }
  bool PortMissing(int16_t port) const { return missing_.count(port) != 0; }
  bool PortInUse(int16_t port) const { return inUse_.count(port) != 0; }

  // Observation.
  struct Sent {
    uint64_t atMs;  // line time (see NowMs) of the SetOutput
    std::vector<uint8_t> bytes;
    bool onWire = true;  // false: the port was closed, nothing was transmitted
  };
  // Every SetOutput, in order.
  const std::vector<Sent>& Written() const { return written_; }
  std::string Settings() const { return settings_; }
  int16_t CommPort() const { return commPort_; }
  int OpenCount() const { return openCount_; }
  // Milliseconds of clock time since construction, 64-bit (the clock's ticks may wrap).
  uint64_t NowMs();
  // The device path a port number stands for, as errors name it.
  static std::string DevicePath(int16_t port);

  // SerialControl.
  void SetCommPort(int16_t port) override;
  void SetSettings(const std::string& settings) override;
  void SetPortOpen(bool open) override;
  bool GetPortOpen() const override { return open_; }
  void SetInputLen(int16_t length) override;
  void SetInBufferCount(int16_t count) override;
  int16_t GetInBufferCount() override;
  std::vector<uint8_t> GetInput() override;
  void SetOutput(const std::vector<uint8_t>& bytes) override;

 private:
  struct WireByte {
    uint64_t atUs;  // fully arrived at the meter
    uint8_t byte;
    LineSettings settings;
  };
  static constexpr size_t kInboxLimit = 32767;  // more is an overrun: the rest is lost

  void CatchUp();
  std::vector<MeterPort*> Meters();
  bool MeterReachable() const;
  void Deliver(uint8_t byte);

  kt::modbus::Clock& clock_;
  uint32_t lastTick_;
  uint64_t nowMs_ = 0;
  MeterPort port_;
  std::deque<MeterPort> moreMeters_;  // further meters on the bus, beside port_
  std::set<uint8_t> detached_;        // addresses of meters taken off the line
  std::deque<WireByte> toMeter_;
  uint64_t txFreeUs_ = 0;  // the PC's transmitter is busy until then
  uint64_t otherTxFreeUs_ = 0;
  std::deque<TimedByte> onLine_;  // the echo and another master's bytes, on their way to the PC
  bool echo_ = false;
  std::deque<uint8_t> inbox_;
  std::vector<Sent> written_;
  std::set<int16_t> missing_;
  std::set<int16_t> inUse_;
  std::string settings_ = "9600N,8,2";
  LineSettings pcLine_{9600, 0};
  int16_t commPort_ = 1;
  int16_t meterPort_ = 0;
  int16_t inputLen_ = 0;
  bool open_ = false;
  bool connected_ = true;
  int openCount_ = 0;
};

}  // namespace kt::sim
