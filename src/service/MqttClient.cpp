// libmosquitto's calls for one connection.
#include "service/MqttClient.h"

#include <mosquitto.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>

#include "service/StateMessage.h"

namespace kt::service {
namespace {

constexpr int kQos = 1;
// Packets one read or write call handles; the loop comes back at once when more wait.
constexpr int kPacketsPerCall = 64;
// The system's trusted authorities, when the file names none.
constexpr const char* kSystemAuthorities = "/etc/ssl/certs";
// How long a close waits for a connect call still running. A connect and its TLS handshake end
// within it; only a name server that does not answer makes the close leave the call behind.
constexpr std::chrono::milliseconds kCallEndWait{500};

}  // namespace

// What the connect call's thread and the client share; the thread keeps it when the client lets
// go of the call.
struct MqttClient::Call {
  std::mutex mutex;
  std::condition_variable ended;
  bool returned = false;
  bool abandoned = false;  // the client closed: the thread destroys the connection
  std::string failure;     // why the call failed, or ""
};

MqttLibrary::MqttLibrary() {
  mosquitto_lib_init();
}

MqttLibrary::~MqttLibrary() {
  mosquitto_lib_cleanup();
}

int MqttClient::ConnectAsync(mosquitto* mosq, const std::string& host, int port, int keepAliveS) {
  return mosquitto_connect_async(mosq, host.c_str(), port, keepAliveS);
}

MqttClient::MqttClient(MqttConfig config, std::string clientId, std::string willTopic,
                       ConnectCall connectCall)
    : config_(std::move(config)),
      clientId_(std::move(clientId)),
      willTopic_(std::move(willTopic)),
      connectCall_(std::move(connectCall)) {}

MqttClient::~MqttClient() {
  Close();
}

std::string MqttClient::Connect() {
  Close();
  // A clean session each time: what the broker did not acknowledge is the caller's to send.
  mosq_ = mosquitto_new(clientId_.c_str(), true, this);
  if (mosq_ == nullptr) return "无法创建 MQTT 客户端";
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  mosquitto_connect_callback_set(mosq_, &MqttClient::OnConnect);
  mosquitto_disconnect_callback_set(mosq_, &MqttClient::OnDisconnect);
  mosquitto_publish_callback_set(mosq_, &MqttClient::OnPublish);
  const std::string offline(kOffline);
  int rc = mosquitto_will_set(mosq_, willTopic_.c_str(), static_cast<int>(offline.size()),
                              offline.data(), kQos, true);
  if (rc == MOSQ_ERR_SUCCESS && !config_.username.empty()) {
    rc = mosquitto_username_pw_set(mosq_, config_.username.c_str(),
                                   config_.password.empty() ? nullptr : config_.password.c_str());
  }
  if (rc == MOSQ_ERR_SUCCESS && config_.tls) {
    const auto orNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
    rc = mosquitto_tls_set(mosq_, orNull(config_.caFile),
                           config_.caFile.empty() ? kSystemAuthorities : nullptr,
                           orNull(config_.certFile), orNull(config_.keyFile), nullptr);
  }
  if (rc != MOSQ_ERR_SUCCESS) {
    std::string reason = mosquitto_strerror(rc);
    Close();
    return reason;
  }
  // The call may wait for a name server as long as it does not answer; the lines are polled
  // all the while. The reason is taken on the thread: the library reads it from its errno.
  call_ = std::make_shared<Call>();
  try {
    caller_ = std::thread([call = call_, connect = connectCall_, mosq = mosq_, host = config_.host,
                           port = config_.port, keepAliveS = config_.keepAliveS] {
      const int result = connect(mosq, host, port, keepAliveS);
      const std::lock_guard lock(call->mutex);
      call->returned = true;
      if (result != MOSQ_ERR_SUCCESS) call->failure = mosquitto_strerror(result);
      if (call->abandoned) mosquitto_destroy(mosq);
      call->ended.notify_one();
    });
  } catch (const std::system_error&) {
    call_.reset();
    Close();
    return "无法启动连接线程";
  }
  state_ = State::Connecting;
  return {};
}

void MqttClient::TakeCallResult() {
  std::string failure;
  {
    const std::lock_guard lock(call_->mutex);
    if (!call_->returned) return;
    failure = std::move(call_->failure);
  }
  caller_.join();
  call_.reset();
  if (!failure.empty()) Fail(std::move(failure));
}

void MqttClient::Close() {
  if (call_ != nullptr) {
    bool returned = false;
    {
      std::unique_lock lock(call_->mutex);
      returned = call_->ended.wait_for(lock, kCallEndWait, [&] { return call_->returned; });
      call_->abandoned = !returned;
    }
    if (returned) {
      caller_.join();
    } else {
      caller_.detach();
      mosq_ = nullptr;
    }
    call_.reset();
    state_ = State::Down;
  }
  if (mosq_ == nullptr) return;
  if (state_ == State::Up) {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_write(mosq_, 1);
  }
  mosquitto_destroy(mosq_);
  mosq_ = nullptr;
  state_ = State::Down;
}

int MqttClient::Socket() const {
  return mosq_ != nullptr && call_ == nullptr ? mosquitto_socket(mosq_) : -1;
}

bool MqttClient::WantsWrite() const {
  return mosq_ != nullptr && call_ == nullptr && mosquitto_want_write(mosq_);
}

void MqttClient::Service(bool readable, bool writable) {
  if (call_ != nullptr) TakeCallResult();
  if (mosq_ == nullptr || call_ != nullptr) return;
  int rc = MOSQ_ERR_SUCCESS;
  if (readable) rc = mosquitto_loop_read(mosq_, kPacketsPerCall);
  if (rc == MOSQ_ERR_SUCCESS && mosq_ != nullptr && (writable || WantsWrite())) {
    rc = mosquitto_loop_write(mosq_, kPacketsPerCall);
  }
  if (rc == MOSQ_ERR_SUCCESS && mosq_ != nullptr) rc = mosquitto_loop_misc(mosq_);
  if (rc != MOSQ_ERR_SUCCESS && mosq_ != nullptr) {
    Fail(rc == MOSQ_ERR_ERRNO ? "连接中断" : mosquitto_strerror(rc));
  } else if (state_ == State::Down && mosq_ != nullptr) {
    Close();
  }
}

bool MqttClient::Publishable(const std::string& topic) {
  return mosquitto_pub_topic_check2(topic.data(), topic.size()) == MOSQ_ERR_SUCCESS &&
         mosquitto_validate_utf8(topic.data(), static_cast<int>(topic.size())) == MOSQ_ERR_SUCCESS;
}

int MqttClient::Publish(const std::string& topic, const std::string& payload, bool retained) {
  if (state_ != State::Up) return -1;
  int mid = -1;
  const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                   payload.data(), kQos, retained);
  return rc == MOSQ_ERR_SUCCESS ? mid : -1;
}

std::vector<int> MqttClient::TakeAcknowledged() {
  std::vector<int> taken;
  taken.swap(acknowledged_);
  return taken;
}

std::string MqttClient::TakeNote() {
  std::string taken;
  taken.swap(note_);
  return taken;
}

void MqttClient::Fail(std::string note) {
  if (note_.empty()) note_ = std::move(note);
  state_ = State::Down;
  mosquitto_destroy(mosq_);
  mosq_ = nullptr;
}

void MqttClient::OnConnect(mosquitto*, void* self, int rc) {
  auto* client = static_cast<MqttClient*>(self);
  if (rc == 0) {
    client->state_ = State::Up;
    return;
  }
  // Refused: the connection is dropped after this call returns.
  client->note_ = std::string("代理拒绝连接：") + mosquitto_connack_string(rc);
  client->state_ = State::Down;
}

void MqttClient::OnDisconnect(mosquitto*, void* self, int) {
  auto* client = static_cast<MqttClient*>(self);
  if (client->note_.empty()) client->note_ = "与代理的连接已断开";
  client->state_ = State::Down;
}

void MqttClient::OnPublish(mosquitto*, void* self, int mid) {
  static_cast<MqttClient*>(self)->acknowledged_.push_back(mid);
}

}  // namespace kt::service
