// The order of what is sent, and what happens when the broker comes and goes.
#include "service/Publisher.h"

#include <algorithm>

#include "service/StateMessage.h"

namespace kt::service {
namespace {

// States sent and not yet acknowledged at most; the rest wait in the spool.
constexpr size_t kWindow = 32;
constexpr uint32_t kReconnectMs = 2000;
constexpr uint32_t kIdleMs = 1000;
// How soon the end of a connect call on its thread is noticed.
constexpr uint32_t kCallCheckMs = 100;
constexpr uint32_t kStopSliceMs = 10;

}  // namespace

Publisher::Publisher(const MqttConfig& config, const std::string& clientId, Spool& spool,
                     modbus::Clock& clock, Log log, MqttClient::ConnectCall connectCall)
    : serviceTopic_(ServiceTopic(config.prefix)),
      spool_(spool),
      clock_(clock),
      log_(std::move(log)),
      client_(
          std::make_unique<MqttClient>(config, clientId, serviceTopic_, std::move(connectCall))) {
  spool_.KeepOnDisk(true);
  Retained(serviceTopic_, std::string(kOnline));
  nextConnectTick_ = clock_.GetTickCount();
}

void Publisher::State(std::string topic, std::string payload) {
  if (const size_t dropped = spool_.Push({std::move(topic), std::move(payload)}); dropped > 0) {
    droppedTotal_ += dropped;
    log_(LogLevel::Warning, "暂存已满：丢弃最早的 " + std::to_string(dropped) +
                                " 条状态（累计丢弃 " + std::to_string(droppedTotal_) + " 条）");
  }
  if (spool_.Failure() != spoolFailure_) {
    spoolFailure_ = spool_.Failure();
    if (!spoolFailure_.empty()) {
      log_(LogLevel::Error, "暂存文件写入失败：" + spoolFailure_ + "；状态只留在内存中");
    }
  }
  Drain();
}

void Publisher::Retained(const std::string& topic, std::string payload) {
  auto& held = retained_[topic];
  if (held == payload && retainedToSend_.count(topic) == 0 && Connected()) return;
  held = std::move(payload);
  retainedToSend_.insert(topic);
  Drain();
}

void Publisher::Remove(std::string topic) {
  State(std::move(topic), {});
}

uint32_t Publisher::Run() {
  const uint32_t now = clock_.GetTickCount();
  if (client_->GetState() == MqttClient::State::Down &&
      static_cast<int32_t>(now - nextConnectTick_) >= 0) {
    nextConnectTick_ = now + kReconnectMs;
    // Why the last try ended before the connection was up (the name not found, refused login,
    // TLS), else why this one cannot start.
    std::string refused = client_->TakeNote();
    if (std::string failed = client_->Connect(); !failed.empty()) refused = std::move(failed);
    if (!refused.empty() && refused != lastNote_) {
      log_(LogLevel::Warning, "MQTT：无法连接代理（" + refused + "），稍后重试");
      lastNote_ = refused;
    }
  }
  Drain();
  if (client_->Calling()) {
    // The next try comes 2 s after this one ends, however long a name server made it last.
    nextConnectTick_ = now + kReconnectMs;
    return kCallCheckMs;
  }
  return client_->GetState() == MqttClient::State::Down ? kReconnectMs : kIdleMs;
}

void Publisher::Service(bool readable, bool writable) {
  client_->Service(readable, writable);
  TakeAcknowledgements();
  Drain();
}

void Publisher::TakeAcknowledgements() {
  // Only the states' acknowledgements are kept: a retained message's id, kept, would pass for
  // the acknowledgement of the state that gets the same id once the ids wrap around.
  for (const int id : client_->TakeAcknowledged()) {
    if (std::find(inFlight_.begin(), inFlight_.end(), id) != inFlight_.end()) {
      acknowledged_.insert(id);
    }
  }
  size_t done = 0;
  while (!inFlight_.empty() && acknowledged_.erase(inFlight_.front()) > 0) {
    inFlight_.pop_front();
    ++done;
  }
  spool_.PopFront(done);
}

void Publisher::Drain() {
  const bool up = Connected();
  if (up != wasUp_) {
    wasUp_ = up;
    if (up) {
      log_(LogLevel::Info,
           "MQTT：已连接代理" + (spool_.Empty()
                                     ? std::string()
                                     : "，补发 " + std::to_string(spool_.Count()) + " 条暂存状态"));
      lastNote_.clear();
      for (const auto& [topic, payload] : retained_) retainedToSend_.insert(topic);
    } else {
      // What was sent and not acknowledged is sent again on the next connection.
      inFlight_.clear();
      acknowledged_.clear();
      spool_.KeepOnDisk(true);
      std::string note = client_->TakeNote();
      if (note.empty()) note = "连接中断";
      log_(LogLevel::Warning, "MQTT：" + note + "；状态暂存到磁盘，" +
                                  std::to_string(kReconnectMs / 1000) + " 秒后重连");
      nextConnectTick_ = clock_.GetTickCount() + kReconnectMs;
    }
  }
  if (!up) return;
  for (auto it = retainedToSend_.begin(); it != retainedToSend_.end();) {
    if (client_->Publish(*it, retained_[*it], true) < 0) break;
    it = retainedToSend_.erase(it);
  }
  while (inFlight_.size() < kWindow && inFlight_.size() < spool_.Count()) {
    const SpoolEntry& e = spool_.At(inFlight_.size());
    // An empty payload is a removal (a state never is one). A removal older than a retained
    // message this run holds for the topic (a meter given back by a later reload) is stale.
    const bool removal = e.payload.empty();
    const bool stale = removal && retained_.count(e.topic) > 0;
    if (stale || !MqttClient::Publishable(e.topic)) {
      // A record damaged on disk, which no broker takes, or a stale removal: dropped once it is
      // the first, so that the states behind it go on.
      if (!inFlight_.empty()) break;
      if (!stale) log_(LogLevel::Warning, "暂存文件中有一条损坏的状态，已丢弃");
      spool_.PopFront(1);
      continue;
    }
    const int id = client_->Publish(e.topic, e.payload, removal);
    if (id < 0) break;
    inFlight_.push_back(id);
  }
  if (spool_.Empty()) spool_.KeepOnDisk(false);
}

void Publisher::Stop(uint32_t graceMs) {
  if (Connected()) {
    client_->Publish(serviceTopic_, std::string(kOffline), true);
    const uint32_t start = clock_.GetTickCount();
    while (Connected() && (!inFlight_.empty() || client_->WantsWrite()) &&
           clock_.GetTickCount() - start < graceMs) {
      Service(true, true);
      clock_.Sleep(kStopSliceMs);
    }
  }
  client_->Close();
  spool_.KeepOnDisk(true);
  if (const std::string failed = spool_.Flush(); !failed.empty()) {
    log_(LogLevel::Error, "暂存文件写入失败：" + failed);
  }
}

}  // namespace kt::service
