// One line of the service: its port held as the window programs hold theirs, behind the bus
// library's LineScheduler, and its meters polled by a BusPoller at the file's interval. A lost
// port is reopened (as the same device) a second later; each meter is online from its first
// block and offline once the poller's stale rule says its values are old.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bus/BusPoller.h"
#include "bus/LineScheduler.h"
#include "modbus/Clock.h"
#include "serial/SerialLine.h"
#include "service/MeterSource.h"
#include "service/ServiceConfig.h"

namespace kt::service {

class ServiceLine {
 public:
  ServiceLine(size_t index, const LineConfig& line, uint32_t intervalMs, modbus::Clock& clock,
              MeterEvents& events);

  // Does what is due; returns the milliseconds until something may be due again.
  uint32_t Run();

 private:
  // Opens the port when its time has come; true once it is open and connected.
  bool Open(uint32_t now);
  void Lost(const std::string& reason, uint32_t now);
  void TakeBlock(const values::MeasuredBlock& block);
  void JudgeStaleness(uint32_t now);
  void Note(const std::string& text);

  size_t index_;
  std::string name_;
  modbus::Clock& clock_;
  MeterEvents& events_;
  std::unique_ptr<serial::SerialLine> line_;
  bus::LineScheduler scheduler_;
  bus::BusPoller poller_;
  bool connected_ = false;  // the port is open and its connection made
  uint32_t nextOpenTick_;
  uint32_t startTick_;                       // a meter never asked counts from here
  std::vector<std::optional<bool>> online_;  // in the poller's order; unknown at first
  std::string lastNote_;
};

// Every line of the configuration: the source the service polls.
class PolledLines : public MeterSource {
 public:
  PolledLines(const ServiceConfig& config, modbus::Clock& clock, MeterEvents& events);
  // Runs only the lines whose time has come.
  uint32_t Run() override;

 private:
  modbus::Clock& clock_;
  std::vector<std::unique_ptr<ServiceLine>> lines_;
  std::vector<uint32_t> dueTicks_;
};

}  // namespace kt::service
