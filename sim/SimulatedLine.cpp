// The in-process simulated line between the monitor and the simulated meter.
#include "sim/SimulatedLine.h"

#include <algorithm>
#include <cctype>

#include "serial/LineSettingsTable.h"
#include "serial/SerialError.h"

namespace kt::sim {

using kt::serial::SerialError;
using kt::serial::SerialErrorKind;

// isdigit is undefined for a negative char; bytes above 127 are negative on this platform.
bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool ParseSettingsText(const std::string& text, LineSettings& out) {
  for (const kt::serial::ParityRow& row : kt::serial::kParityRows) {
    const std::string s(row.settingsSuffix);
    const int32_t parity = row.meterCode;
    if (text.size() <= s.size() || text.compare(text.size() - s.size(), s.size(), s) != 0) continue;
    const std::string digits = text.substr(0, text.size() - s.size());
    if (digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), IsDigit)) return false;
    const int32_t baud = std::stoi(digits);
    if (!IsSupportedBaud(baud) || digits[0] == '0') return false;
    out = {baud, parity};
    return true;
  }
  return false;
}

SimulatedLine::SimulatedLine(kt::modbus::Clock& clock, MeterConfig config)
    : clock_(clock), lastTick_(clock.GetTickCount()), port_(config) {}

std::string SimulatedLine::DevicePath(int16_t port) {
  return "/dev/ttyS" + std::to_string(port - 1);
}

uint64_t SimulatedLine::NowMs() {
  const uint32_t tick = clock_.GetTickCount();
  nowMs_ += static_cast<uint32_t>(tick - lastTick_);
  lastTick_ = tick;
  return nowMs_;
}

bool SimulatedLine::MeterReachable() const {
  return connected_ && (meterPort_ == 0 || meterPort_ == commPort_);
}

void SimulatedLine::Deliver(uint8_t byte) {
  if (open_ && inbox_.size() < kInboxLimit) inbox_.push_back(byte);
}

void SimulatedLine::CatchUp() {
  const uint64_t nowUs = NowMs() * 1000;
  while (!toMeter_.empty() && toMeter_.front().atUs <= nowUs) {
    const WireByte b = toMeter_.front();
    toMeter_.pop_front();
    for (MeterPort* meter : Meters()) {
      if (detached_.count(meter->meter().address()) == 0) {
        meter->Receive(b.byte, b.atUs, b.settings);
      }
    }
  }
  port_.AdvanceTo(nowUs);
  std::vector<TimedByte> sent = port_.TakeSent(nowUs);
  for (MeterPort& other : moreMeters_) {
    other.AdvanceTo(nowUs);
    const std::vector<TimedByte> more = other.TakeSent(nowUs);
    sent.insert(sent.end(), more.begin(), more.end());
  }
  while (!onLine_.empty() && onLine_.front().atUs <= nowUs) {
    sent.push_back(onLine_.front());
    onLine_.pop_front();
  }
  // Replies of several meters reach the PC in the order they were on the wire.
  std::stable_sort(sent.begin(), sent.end(),
                   [](const TimedByte& a, const TimedByte& b) { return a.atUs < b.atUs; });
  for (const TimedByte& b : sent) {
    // Bytes sent at other settings than the PC's reach it as garbage; we drop them.
    if ((MeterReachable() || b.fromLine) && b.settings == pcLine_) Deliver(b.byte);
  }
}

void SimulatedLine::SendFromAnotherMaster(const std::vector<uint8_t>& bytes,
                                          LineSettings settings) {
  CatchUp();
  const uint64_t start = std::max(nowMs_ * 1000, otherTxFreeUs_);
  for (size_t n = 0; n < bytes.size(); ++n) {
    const uint64_t at = start + CharEndUs(n, settings.baud);
    if (MeterReachable()) toMeter_.push_back({at, bytes[n], settings});
    onLine_.push_back({at, bytes[n], settings, true});
    otherTxFreeUs_ = at;
  }
  std::stable_sort(toMeter_.begin(), toMeter_.end(),
                   [](const WireByte& a, const WireByte& b) { return a.atUs < b.atUs; });
  std::stable_sort(onLine_.begin(), onLine_.end(),
                   [](const TimedByte& a, const TimedByte& b) { return a.atUs < b.atUs; });
}

Meter& SimulatedLine::AddMeter(const MeterConfig& config) {
  CatchUp();
  return moreMeters_.emplace_back(config).meter();
}

void SimulatedLine::SetMeterAttached(uint8_t address, bool attached) {
  CatchUp();
  if (attached) {
    detached_.erase(address);
  } else {
    detached_.insert(address);
  }
}

std::vector<MeterPort*> SimulatedLine::Meters() {
  std::vector<MeterPort*> meters = {&port_};
  for (MeterPort& other : moreMeters_) meters.push_back(&other);
  return meters;
}

void SimulatedLine::InjectBytes(const std::vector<uint8_t>& bytes) {
  CatchUp();
  for (uint8_t b : bytes) Deliver(b);
}

void SimulatedLine::SetMeterConnected(bool connected) {
  CatchUp();
  connected_ = connected;
}

void SimulatedLine::SetMeterPort(int16_t port) {
  CatchUp();
  meterPort_ = port;
}

void SimulatedLine::SetPortMissing(int16_t port, bool missing) {
  if (missing) {
    missing_.insert(port);
  } else {
    missing_.erase(port);
  }
}

void SimulatedLine::SetPortInUse(int16_t port, bool inUse) {
  if (inUse) {
    inUse_.insert(port);
  } else {
    inUse_.erase(port);
  }
}

void SimulatedLine::SetCommPort(int16_t port) {
  CatchUp();
  commPort_ = port;
}

void SimulatedLine::SetSettings(const std::string& settings) {
  CatchUp();
  LineSettings parsed;
  if (!ParseSettingsText(settings, parsed)) {
    throw SerialError(SerialErrorKind::BadSettings, DevicePath(commPort_),
                      "settings \"" + settings +
                          "\" are not a baud rate followed by N,8,2, "
                          "O,8,1 or E,8,1");
  }
  settings_ = settings;
  pcLine_ = parsed;
}

void SimulatedLine::SetPortOpen(bool open) {
  CatchUp();
  if (open == open_) return;
  if (open) {
    if (commPort_ < 1) {
      throw SerialError(SerialErrorKind::BadPortNumber, "",
                        "port number " + std::to_string(commPort_) + " is below 1");
    }
    const std::string path = DevicePath(commPort_);
    if (missing_.count(commPort_)) {
      throw SerialError(SerialErrorKind::NoSuchPort, path, "No such file or directory");
    }
    if (inUse_.count(commPort_)) {
      throw SerialError(SerialErrorKind::PortInUse, path, "Device or resource busy");
    }
    ++openCount_;
  }
  open_ = open;
  inbox_.clear();
}

void SimulatedLine::SetInputLen(int16_t length) {
  CatchUp();
  inputLen_ = std::max<int16_t>(length, 0);
}

void SimulatedLine::SetInBufferCount(int16_t count) {
  CatchUp();
  if (count == 0) inbox_.clear();
}

int16_t SimulatedLine::GetInBufferCount() {
  CatchUp();
  return static_cast<int16_t>(std::min<size_t>(inbox_.size(), kInboxLimit));
}

std::vector<uint8_t> SimulatedLine::GetInput() {
  CatchUp();
  const size_t n = inputLen_ > 0 ? std::min<size_t>(inbox_.size(), inputLen_) : inbox_.size();
  std::vector<uint8_t> taken(inbox_.begin(), inbox_.begin() + static_cast<long>(n));
  inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<long>(n));
  return taken;
}

void SimulatedLine::SetOutput(const std::vector<uint8_t>& bytes) {
  CatchUp();
  written_.push_back({nowMs_, bytes, open_});
  if (!open_) return;
  const uint64_t start = std::max(nowMs_ * 1000, txFreeUs_);
  for (size_t n = 0; n < bytes.size(); ++n) {
    const uint64_t at = start + CharEndUs(n, pcLine_.baud);
    if (MeterReachable()) toMeter_.push_back({at, bytes[n], pcLine_});
    if (echo_) onLine_.push_back({at, bytes[n], pcLine_, true});
    txFreeUs_ = at;
  }
}

}  // namespace kt::sim
