// One line of the service: its meters polled in turn, one request on the wire at a time, each
// meter's configuration read first and now and then again, and its blocks decoded with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "modbus/Clock.h"
#include "modbus/ConfigurationBlock.h"
#include "serial/SerialLine.h"
#include "service/MeterSource.h"
#include "service/ServiceConfig.h"

namespace kt::service {

// The line's SerialLine with the port the file names: "COM<N>" as the monitor numbers ports,
// a device path or a tcp:// address as itself (found again as the same device after a loss).
std::unique_ptr<serial::SerialLine> OpenableLine(const LineConfig& line);

class LinePoller {
 public:
  LinePoller(size_t index, LineConfig line, uint32_t intervalMs, modbus::Clock& clock,
             MeterEvents& events);

  // Does what is due; returns the milliseconds until something is due again.
  uint32_t Run();

 private:
  struct Meter {
    uint8_t address;
    std::optional<modbus::MeterConfiguration> configuration;
    uint32_t blocksSinceConfiguration = 0;
    bool asked = false;  // a request went to it
    uint32_t lastRequestTick = 0;
    uint32_t periodMs = 0;        // between its last two requests
    uint32_t lastAnswerTick = 0;  // its last block, or the start
    std::optional<bool> online;   // unknown until it answers or the stale rule decides
  };
  enum class Phase { Closed, Idle, Waiting, Resting };

  uint32_t Open(uint32_t now);
  uint32_t Send(uint32_t now);
  uint32_t Wait(uint32_t now);
  // Rests the line after its exchange, then sends the next request.
  uint32_t Rest(uint32_t now);
  void Settle(int replyAt);
  void Apply(Meter& meter, int replyAt, bool withStatus);
  void JudgeStaleness(uint32_t now);
  void Lost(const std::string& text, uint32_t now);
  uint32_t StaleAfterMs(const Meter& meter) const;

  size_t index_;
  LineConfig config_;
  uint32_t intervalMs_;
  modbus::Clock& clock_;
  MeterEvents& events_;
  std::unique_ptr<serial::SerialLine> line_;
  std::vector<Meter> meters_;
  Phase phase_ = Phase::Closed;
  size_t current_ = 0;  // the meter asked, or the next in turn
  bool askedConfiguration_ = false;
  std::vector<uint8_t> received_;
  uint32_t sentTick_ = 0;
  uint32_t lastByteTick_ = 0;
  uint32_t settledTick_ = 0;
  uint32_t nextOpenTick_ = 0;
  std::string lastNote_;
};

// Every line of the configuration, each a LinePoller: the source the service runs until the
// bus poller takes its place.
class PolledLines : public MeterSource {
 public:
  PolledLines(const ServiceConfig& config, modbus::Clock& clock, MeterEvents& events);
  // Runs only the lines whose time has come.
  uint32_t Run() override;

 private:
  modbus::Clock& clock_;
  std::vector<std::unique_ptr<LinePoller>> lines_;
  std::vector<uint32_t> dueTicks_;
};

}  // namespace kt::service
