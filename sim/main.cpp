// kt7340-sim: a simulated meter on a pseudo-terminal; prints the path first, then its log.
#include <signal.h>
#include <sys/signalfd.h>

#include <cstdio>

#include "serial/UniqueFd.h"
#include "sim/PtyServer.h"
#include "sim/SimOptions.h"

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
  const kt::serial::UniqueFd signalFd(signalfd(-1, &signals, SFD_CLOEXEC));
  if (!signalFd) {
    std::perror("kt7340-sim: signalfd");
    return 1;
  }

  kt::sim::PtyServer server(options);
  if (const auto error = server.Open()) {
    std::fprintf(stderr, "kt7340-sim: %s\n", error->c_str());
    return 1;
  }
  std::printf("%s\n", server.path().c_str());
  std::fflush(stdout);
  return server.Serve(signalFd.get(), stdout);
}
