// Everything that goes to the broker: states through the spool in order, each acknowledged
// before it leaves the spool; retained messages (availability, discovery) as their latest
// value, sent again on every connection.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "modbus/Clock.h"
#include "service/MqttClient.h"
#include "service/ServiceLog.h"
#include "service/Spool.h"

namespace kt::service {

class Publisher {
 public:
  Publisher(const MqttConfig& config, const std::string& clientId, Spool& spool,
            modbus::Clock& clock, Log log,
            MqttClient::ConnectCall connectCall = &MqttClient::ConnectAsync);

  // A state: after every state before it, kept in the spool until the broker has it.
  void State(std::string topic, std::string payload);
  // A retained message; only its latest payload matters.
  void Retained(const std::string& topic, std::string payload);
  // A retained message taken away at the broker (an empty retained payload): it waits in the
  // spool among the states, so that neither a broker away nor a reload or a stop loses it.
  void Remove(std::string topic);

  // Connects, reconnects, sends what the window allows; returns the ms until it wants to run.
  uint32_t Run();
  int Socket() const { return client_->Socket(); }
  bool WantsWrite() const { return client_->WantsWrite(); }
  void Service(bool readable, bool writable);
  bool Connected() const { return client_->GetState() == MqttClient::State::Up; }

  // A clean stop: "offline" for the service, the spool's sent states given up to `graceMs` to
  // be acknowledged, then the rest written to its file.
  void Stop(uint32_t graceMs);

 private:
  void Drain();
  void TakeAcknowledgements();

  std::string serviceTopic_;
  Spool& spool_;
  modbus::Clock& clock_;
  Log log_;
  std::unique_ptr<MqttClient> client_;
  std::map<std::string, std::string> retained_;
  std::set<std::string> retainedToSend_;
  std::deque<int> inFlight_;  // ids of the spool's first entries, in order
  std::set<int> acknowledged_;
  bool wasUp_ = false;
  uint64_t droppedTotal_ = 0;
  uint32_t nextConnectTick_ = 0;
  std::string lastNote_;
  std::string spoolFailure_;  // the spool file's failure last logged
};

}  // namespace kt::service
