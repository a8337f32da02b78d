// The broker, the service and the subscriber of the integration tests.
#include "BrokerFixture.h"

#include <fcntl.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace kt::service::testing {

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), length);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);
  return ntohs(address.sin_port);
}

Child::Child(const std::vector<std::string>& argv, const std::string& outputFile) {
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ != 0) return;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  const int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  dup2(out, STDOUT_FILENO);
  dup2(out, STDERR_FILENO);
  std::vector<std::string> copy = argv;
  std::vector<char*> args;
  for (std::string& a : copy) args.push_back(a.data());
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

Child::~Child() {
  if (Stop() < 0 && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

int Child::Stop(int timeoutMs) {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  const int64_t deadline = NowMs() + timeoutMs;
  int status = 0;
  while (NowMs() < deadline) {
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return -1;
}

Broker::Broker(int port, const std::string& folder) : port_(port), folder_(folder) {
  // Started as root, mosquitto drops to its own user, which must still write its database here.
  std::filesystem::permissions(folder_, std::filesystem::perms::all);
  std::ofstream(folder_ + "/mosquitto.conf")
      << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\npersistence true\n"
      << "persistence_location " << folder_ << "/\nmax_queued_messages 0\n";
  Start();
}

void Broker::Start() {
  child_ = std::make_unique<Child>(
      std::vector<std::string>{KT7340_MOSQUITTO_PATH, "-c", folder_ + "/mosquitto.conf"},
      folder_ + "/mosquitto.log");
  // Ready once it accepts a connection.
  for (const int64_t deadline = NowMs() + 5000; NowMs() < deadline;) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port_));
    const bool up = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    if (up) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void Broker::Stop() {
  child_.reset();
}

Subscriber::Subscriber(int port, const std::string& name) {
  mosquitto_lib_init();
  mosq_ = mosquitto_new(("kt_test_" + std::to_string(getpid()) + name).c_str(), false, this);
  mosquitto_message_callback_set(mosq_, &Subscriber::OnMessage);
  mosquitto_connect_callback_set(mosq_, &Subscriber::OnConnect);
  mosquitto_connect(mosq_, "127.0.0.1", port, 30);
}

Subscriber::~Subscriber() {
  mosquitto_disconnect(mosq_);
  mosquitto_destroy(mosq_);
  mosquitto_lib_cleanup();
}

void Subscriber::OnConnect(mosquitto* mosq, void*, int rc) {
  if (rc == 0) mosquitto_subscribe(mosq, nullptr, "#", 1);
}

void Subscriber::OnMessage(mosquitto*, void* self, const mosquitto_message* m) {
  static_cast<Subscriber*>(self)->messages_.push_back(
      {m->topic,
       std::string(static_cast<const char*>(m->payload), static_cast<size_t>(m->payloadlen)),
       m->retain});
}

bool Subscriber::WaitFor(const std::function<bool()>& done, int timeoutMs) {
  for (const int64_t deadline = NowMs() + timeoutMs; NowMs() < deadline;) {
    if (done()) return true;
    if (mosquitto_loop(mosq_, 20, 1) != MOSQ_ERR_SUCCESS) {
      // The broker is away: try again now and then.
      if (NowMs() >= nextTryMs_) {
        nextTryMs_ = NowMs() + 100;
        mosquitto_reconnect(mosq_);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
  }
  return done();
}

std::vector<std::string> Subscriber::On(const std::string& topic) const {
  std::vector<std::string> payloads;
  for (const Message& m : messages_) {
    if (m.topic == topic) payloads.push_back(m.payload);
  }
  return payloads;
}

}  // namespace kt::service::testing
