// kt7340d: the service's poll loop on Linux. The lines, the broker's socket and the signals in
// one poll, its timeout the time until a line or the broker is due; only the broker's connect
// call, whose name lookup may wait for a name server, runs on a thread of its own (MqttClient).
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/UniqueFd.h"
#include "service/CommandLine.h"
#include "service/FindMeters.h"
#include "service/MqttClient.h"
#include "service/Service.h"
#include "service/ServiceLine.h"

namespace {

using namespace kt::service;

// How long a stop waits for the broker to take the states already sent.
constexpr uint32_t kStopGraceMs = 3000;
// --once: every meter's configuration and block, with room for a slow line.
constexpr uint32_t kOnceLimitMs = 15000;
constexpr size_t kHostNameBytes = 256;

void WriteLog(LogLevel level, const std::string& text) {
  // Under systemd the journal reads the priority from "<N>" at the start of a line.
  static const bool forJournal = std::getenv("JOURNAL_STREAM") != nullptr;
  std::fprintf(stderr, "%s\n", LogLine(level, text, forJournal).c_str());
  std::fflush(stderr);
}

// The client's name at the broker: the file's, else one made of the host's name.
std::string ClientId(const ServiceConfig& config) {
  if (!config.mqtt) return {};
  std::vector<char> name(kHostNameBytes, '\0');
  if (gethostname(name.data(), name.size() - 1) != 0) name[0] = '\0';
  return BrokerClientId(*config.mqtt, name.data());
}

// The signal that came, or 0.
int TakeSignal(int signalFd) {
  signalfd_siginfo info{};
  if (read(signalFd, &info, sizeof info) != static_cast<ssize_t>(sizeof info)) return 0;
  return static_cast<int>(info.ssi_signo);
}

bool StopAsked(int signalFd) {
  pollfd p{signalFd, POLLIN, 0};
  if (poll(&p, 1, 0) <= 0) return false;
  const int signal = TakeSignal(signalFd);
  return signal == SIGTERM || signal == SIGINT;
}

std::optional<ServiceConfig> LoadConfig(const std::string& path) {
  auto read = ReadServiceConfig(path);
  if (const auto* error = std::get_if<ConfigError>(&read)) {
    WriteLog(LogLevel::Error, ConfigErrorText(path, *error));
    return std::nullopt;
  }
  return std::get<ServiceConfig>(std::move(read));
}

int RunOnce(ServiceConfig config, int signalFd) {
  kt::modbus::SteadyClock clock;
  if (!FindMeters(config, clock, WriteLog, [&] { return StopAsked(signalFd); }))
    return kExitFailure;
  OnceCollector collector(config, std::cout, WriteLog);
  PolledLines lines(config, clock, collector);
  const uint32_t start = clock.GetTickCount();
  while (!collector.Done() && clock.GetTickCount() - start < kOnceLimitMs) {
    const uint32_t wait = lines.Run();
    pollfd p{signalFd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(wait)) > 0 && StopAsked(signalFd)) return kExitFailure;
  }
  for (const std::string& meter : collector.Missing()) {
    WriteLog(LogLevel::Error, "仪表 " + meter + " 没有应答 / meter " + meter + " did not answer");
  }
  return collector.Done() ? EXIT_SUCCESS : kExitFailure;
}

// Runs until SIGTERM or SIGINT; SIGHUP reads the file again and starts over with it when it is
// good (a bad one is logged and the running configuration kept).
int RunService(ServiceConfig config, const std::string& path, int signalFd) {
  kt::modbus::SteadyClock clock;
  const MqttLibrary mqttLibrary;
  std::optional<ServiceConfig> previous;  // the one before a reload, with the meters it found
  for (;;) {
    if (!FindMeters(config, clock, WriteLog, [&] { return StopAsked(signalFd); })) {
      return EXIT_SUCCESS;
    }
    Service service(config, clock, WriteLog, ClientId(config));
    if (previous) service.Withdraw(*previous);
    service.SetSource(std::make_unique<PolledLines>(service.Config(), clock, service));
    WriteLog(LogLevel::Info, "kt7340d 已启动：" + std::to_string(config.lines.size()) + " 条线路");
    bool reload = false;
    while (!reload) {
      const uint32_t wait = service.Run();
      pollfd fds[2] = {{signalFd, POLLIN, 0}, {-1, 0, 0}};
      Publisher* publisher = service.GetPublisher();
      if (publisher != nullptr && publisher->Socket() >= 0) {
        fds[1] = {publisher->Socket(),
                  static_cast<short>(POLLIN | (publisher->WantsWrite() ? POLLOUT : 0)), 0};
      }
      const int ready = poll(fds, 2, static_cast<int>(wait));
      if (ready > 0 && fds[1].fd >= 0 && fds[1].revents != 0) {
        publisher->Service((fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0,
                           (fds[1].revents & POLLOUT) != 0);
      } else if (publisher != nullptr) {
        publisher->Service(false, false);  // keep-alive and retries
      }
      if (ready <= 0 || (fds[0].revents & POLLIN) == 0) continue;
      const int signal = TakeSignal(signalFd);
      if (signal == SIGHUP) {
        WriteLog(LogLevel::Info, "收到 SIGHUP：重新读取 " + path);
        if (auto fresh = LoadConfig(path)) {
          config = std::move(*fresh);
          reload = true;
        }
      } else if (signal == SIGTERM || signal == SIGINT) {
        service.Stop(kStopGraceMs);
        return EXIT_SUCCESS;
      }
    }
    previous = service.Config();
    service.Stop(kStopGraceMs);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  const auto options = ParseServiceOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "kt7340d: %s\n%s", error.c_str(), ServiceHelp().c_str());
    return kExitBadInput;
  }
  if (options->action == ServiceAction::Help) {
    std::fputs(ServiceHelp().c_str(), stdout);
    return EXIT_SUCCESS;
  }
  if (options->action == ServiceAction::Version) {
    std::printf("kt7340d %s\n", KT7340_VERSION);
    return EXIT_SUCCESS;
  }
  auto config = LoadConfig(options->configPath);
  if (!config) return kExitBadInput;
  if (options->action == ServiceAction::CheckConfig) {
    std::printf("%s：配置正确 / configuration is valid\n", options->configPath.c_str());
    return EXIT_SUCCESS;
  }

  sigset_t signals;
  sigemptyset(&signals);
  for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signals, s);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  const kt::platform::UniqueFd signalFd(signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK));
  if (!signalFd) {
    std::perror("kt7340d: signalfd");
    return kExitFailure;
  }
  if (options->action == ServiceAction::Once) return RunOnce(std::move(*config), signalFd.get());
  return RunService(std::move(*config), options->configPath, signalFd.get());
}
