// kt7340d's work without its platform: the blocks of the meter source go to the broker (through
// the spool) and to the day's CSV file, availability as retained messages, notes to the log.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "modbus/Clock.h"
#include "service/DailyCsv.h"
#include "service/MeterSource.h"
#include "service/Publisher.h"
#include "service/ServiceConfig.h"
#include "service/ServiceLog.h"
#include "service/Spool.h"
#include "service/WiringVerdicts.h"

namespace kt::service {

class Service : public MeterEvents {
 public:
  // `clientId` names the service at the broker.
  Service(ServiceConfig config, modbus::Clock& clock, Log log, const std::string& clientId);
  ~Service() override;
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

  // The source of blocks; until it is set nothing is polled.
  void SetSource(std::unique_ptr<MeterSource> source) { source_ = std::move(source); }

  // Polls and publishes what is due; returns the ms until something is due again.
  uint32_t Run();
  // The broker's connection, when there is one to poll.
  Publisher* GetPublisher() { return publisher_.get(); }
  // A clean stop: availability, the last states acknowledged or written to the spool's file.
  void Stop(uint32_t graceMs);

  const ServiceConfig& Config() const { return config_; }
  // After a reload: the retained topics of each meter `previous` had and this configuration has
  // not on that line (its availability, and its discovery when that was on) removed at the
  // broker, through the spool.
  void Withdraw(const ServiceConfig& previous);

  void OnBlock(size_t line, const values::MeasuredBlock& block) override;
  void OnAvailability(size_t line, uint8_t address, bool online) override;
  void OnLineNote(size_t line, const std::string& text) override;

 private:
  ServiceConfig config_;
  modbus::Clock& clock_;
  Log log_;
  std::unique_ptr<Spool> spool_;
  std::unique_ptr<Publisher> publisher_;
  std::vector<std::unique_ptr<DailyCsv>> csv_;
  std::unique_ptr<MeterSource> source_;
  WiringVerdicts wiring_;
};

// --once: one block of every meter printed as its JSON state, one line each, then the end.
class OnceCollector : public MeterEvents {
 public:
  OnceCollector(const ServiceConfig& config, std::ostream& out, Log log);
  void OnBlock(size_t line, const values::MeasuredBlock& block) override;
  void OnAvailability(size_t, uint8_t, bool) override {}
  void OnLineNote(size_t line, const std::string& text) override;
  // Every meter printed.
  bool Done() const;
  // "panel1/3" for each meter still without a block.
  std::vector<std::string> Missing() const;

 private:
  const ServiceConfig& config_;
  std::ostream& out_;
  Log log_;
  std::vector<std::vector<bool>> printed_;
};

}  // namespace kt::service
