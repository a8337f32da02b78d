// One connection to the broker through libmosquitto, driven by the service's own poll loop:
// connecting never waits, and a lost connection is dropped whole (the caller decides what is
// sent again), so that nothing is sent twice by the library behind the caller's back.
#pragma once

#include <string>
#include <vector>

#include "service/ServiceConfig.h"

struct mosquitto;

namespace kt::service {

// libmosquitto's set-up for the process, for as long as it lives.
class MqttLibrary {
 public:
  MqttLibrary();
  ~MqttLibrary();
  MqttLibrary(const MqttLibrary&) = delete;
  MqttLibrary& operator=(const MqttLibrary&) = delete;
};

class MqttClient {
 public:
  enum class State { Down, Connecting, Up };

  // `willTopic` gets "offline" (retained) from the broker when the connection is lost.
  MqttClient(MqttConfig config, std::string clientId, std::string willTopic);
  ~MqttClient();
  MqttClient(const MqttClient&) = delete;
  MqttClient& operator=(const MqttClient&) = delete;

  // Starts connecting; "" or the reason it could not even start (the state stays Down).
  std::string Connect();
  // Says goodbye when up (the will is not sent) and forgets the connection.
  void Close();

  State GetState() const { return state_; }
  // The socket to poll, or -1; whether the library has bytes to write.
  int Socket() const;
  bool WantsWrite() const;
  // After the poll: reads, writes and keeps the connection alive. A failure closes it, with
  // its reason in TakeNote().
  void Service(bool readable, bool writable);

  // Whether the library would ever send to `topic` (no wildcard, UTF-8 without control
  // characters).
  static bool Publishable(const std::string& topic);
  // A QoS 1 message; returns its id, or -1 when it could not be queued.
  int Publish(const std::string& topic, const std::string& payload, bool retained);
  // The ids the broker acknowledged since the last call, in the order of the acknowledgements.
  std::vector<int> TakeAcknowledged();
  // Why the connection ended or was refused, once; else "".
  std::string TakeNote();

 private:
  void Fail(std::string note);
  static void OnConnect(mosquitto*, void* self, int rc);
  static void OnDisconnect(mosquitto*, void* self, int rc);
  static void OnPublish(mosquitto*, void* self, int mid);

  MqttConfig config_;
  std::string clientId_;
  std::string willTopic_;
  mosquitto* mosq_ = nullptr;
  State state_ = State::Down;
  std::vector<int> acknowledged_;
  std::string note_;
};

}  // namespace kt::service
