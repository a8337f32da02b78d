// kt7340-sim: a simulated meter on a pseudo-terminal or TCP; prints where first, then its log.
#include <signal.h>
#include <sys/signalfd.h>

#include <cstdio>

#include "platform/posix/UniqueFd.h"
#include "sim/SimOptions.h"
#include "sim/posix/PtyServer.h"
#include "sim/posix/TcpServer.h"

namespace {

// Opens the server, prints where the monitor finds it as the first line, then serves.
template <typename Server>
int Run(Server& server, const std::string& where, int signalFd) {
  if (const auto error = server.Open()) {
    std::fprintf(stderr, "kt7340-sim: %s\n", error->c_str());
    return 1;
  }
  std::printf("%s\n", where.c_str());
  std::fflush(stdout);
  return server.Serve(signalFd, stdout);
}

}  // namespace

int main(int argc, char** argv) {
  kt::sim::SimOptions options;
  if (const auto error = kt::sim::ParseSimOptions(argc, argv, options)) {
    std::fprintf(stderr, "kt7340-sim: %s\n", error->c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kt::sim::SimUsage().c_str(), stdout);
    return 0;
  }
  // Signals arrive as readable data in the poll loop, so shutdown runs the normal cleanup.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigprocmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  const kt::platform::UniqueFd signalFd(signalfd(-1, &signals, SFD_CLOEXEC));
  if (!signalFd) {
    std::perror("kt7340-sim: signalfd");
    return 1;
  }

  int status = 0;
  if (!options.tcp.empty()) {
    kt::sim::TcpServer server(options);
    status = Run(server, server.address(), signalFd.get());
  } else {
    kt::sim::PtyServer server(options);
    status = Run(server, server.path(), signalFd.get());
  }
  return status;
}
