// The service's integration tests: mosquitto on a free loopback port, kt7340d as a child
// process, and a subscriber that keeps every message it gets.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace kt::service::testing {

int FreeLoopbackPort();
int64_t NowMs();

// A child process with its output in a file; stopped by SIGTERM (then SIGKILL) when it goes.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::string& outputFile);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  // SIGTERM, and the exit status once it ended (-1 when it did not within `timeoutMs`).
  int Stop(int timeoutMs = 5000);
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// mosquitto on `port`, keeping sessions and queued messages across its restarts in `folder`.
class Broker {
 public:
  Broker(int port, const std::string& folder);
  void Start();
  void Stop();
  int port() const { return port_; }

 private:
  int port_;
  std::string folder_;
  std::unique_ptr<Child> child_;
};

struct Message {
  std::string topic;
  std::string payload;
  bool retained;
};

// Subscribed to everything at QoS 1 with a session the broker keeps, reconnecting by itself.
class Subscriber {
 public:
  // `name` tells several subscribers of one test apart.
  explicit Subscriber(int port, const std::string& name = "main");
  ~Subscriber();
  // Runs the client until `done` holds or `timeoutMs` pass; returns `done()`.
  bool WaitFor(const std::function<bool()>& done, int timeoutMs);
  const std::vector<Message>& Messages() const { return messages_; }
  // The payloads of `topic`, in the order they came.
  std::vector<std::string> On(const std::string& topic) const;

 private:
  static void OnMessage(mosquitto*, void* self, const mosquitto_message* m);
  static void OnConnect(mosquitto*, void* self, int rc);
  mosquitto* mosq_ = nullptr;
  std::vector<Message> messages_;
  int64_t nextTryMs_ = 0;
};

}  // namespace kt::service::testing
