// One connection to the broker through libmosquitto, driven by the service's own poll loop:
// connecting never waits (the library's connect call, which looks the broker's name up and may
// wait seconds for a name server, runs on a thread of its own), and a lost connection is
// dropped whole (the caller decides what is sent again), so that nothing is sent twice by the
// library behind the caller's back.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
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
  // The library's connect call (name lookup, socket, the first packet): a libmosquitto result.
  using ConnectCall =
      std::function<int(mosquitto*, const std::string& host, int port, int keepAliveS)>;
  // mosquitto_connect_async.
  static int ConnectAsync(mosquitto* mosq, const std::string& host, int port, int keepAliveS);

  // `willTopic` gets "offline" (retained) from the broker when the connection is lost.
  MqttClient(MqttConfig config, std::string clientId, std::string willTopic,
             ConnectCall connectCall = &MqttClient::ConnectAsync);
  ~MqttClient();
  MqttClient(const MqttClient&) = delete;
  MqttClient& operator=(const MqttClient&) = delete;

  // Starts connecting: the connect call goes to its thread, the state is Connecting. "" or the
  // reason it could not even start (the state stays Down); the call's own failure ends the
  // state Connecting in Service(), with its reason in TakeNote().
  std::string Connect();
  // Says goodbye when up (the will is not sent) and forgets the connection. A connect call still
  // running is waited for half a second at most: after that its thread gets the connection and
  // destroys it once the call returns, so a stop is never held long by a name server.
  void Close();

  State GetState() const { return state_; }
  // Whether the connect call is still running; till it returns nothing else touches the library.
  bool Calling() const { return call_ != nullptr; }
  // The socket to poll, or -1; whether the library has bytes to write.
  int Socket() const;
  bool WantsWrite() const;
  // After the poll: takes the connect call's result once it returned, then reads, writes and
  // keeps the connection alive. A failure closes it, with its reason in TakeNote().
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
  struct Call;
  // The connect call's thread: joined once the call returned, else handed the connection.
  void TakeCallResult();
  void Fail(std::string note);
  static void OnConnect(mosquitto*, void* self, int rc);
  static void OnDisconnect(mosquitto*, void* self, int rc);
  static void OnPublish(mosquitto*, void* self, int mid);

  MqttConfig config_;
  std::string clientId_;
  std::string willTopic_;
  ConnectCall connectCall_;
  mosquitto* mosq_ = nullptr;  // the call's while it runs
  std::shared_ptr<Call> call_;
  std::thread caller_;
  State state_ = State::Down;
  std::vector<int> acknowledged_;
  std::string note_;
};

}  // namespace kt::service
