// How long the window's thread spends in the serial line while a device server does not
// answer: a loopback listener whose accept queue is full ignores connection requests, as an
// unreachable server would. Each round opens the port, writes a poll request (kept for the
// connection), counts input, writes again after the kept frame's bound (refused as a stall),
// and closes, as the monitor does every second while it reconnects.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "serial/SerialError.h"
#include "serial/SerialLine.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Figures {
  std::vector<double> samples;
  void Add(double ms) { samples.push_back(ms); }
  void Print(const char* what) {
    std::sort(samples.begin(), samples.end());
    std::printf("%-34s median %7.3f ms  max %7.3f ms\n", what, samples[samples.size() / 2],
                samples.back());
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 0) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    std::perror("listener");
    return 1;
  }
  std::vector<int> fillers;  // connections nobody accepts: the queue stays full
  for (int i = 0; i < 4; ++i) {
    fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  const std::string device = "tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  kt::serial::SerialLine line;
  line.SetPortSources(kt::serial::PortSources{
      [device](const std::string&) -> std::optional<std::string> { return device; }});
  const std::vector<uint8_t> request = {0x01, 0x03, 0x00, 0x00, 0x00, 0x2D, 0x85, 0xD7};
  Figures open, kept, count, stalled, round;
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    auto t = Clock::now();
    line.SetPortOpen(true);
    open.Add(Ms(Clock::now() - t));
    t = Clock::now();
    line.SetOutput(request);
    kept.Add(Ms(Clock::now() - t));
    t = Clock::now();
    (void)line.GetInBufferCount();
    count.Add(Ms(Clock::now() - t));
    double inLine = Ms(Clock::now() - start);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the next poll tick
    t = Clock::now();
    try {
      line.SetOutput(request);
    } catch (const kt::serial::SerialError&) {
    }
    stalled.Add(Ms(Clock::now() - t));
    inLine += Ms(Clock::now() - t);
    line.SetPortOpen(false);
    round.Add(inLine);
  }
  std::printf("device server that does not answer, %d rounds\n", rounds);
  open.Print("open");
  kept.Print("first write (kept)");
  count.Print("count while connecting");
  stalled.Print("write after its bound (stall)");
  round.Print("in the line per second");
  for (const int fd : fillers) ::close(fd);
  ::close(listener);
  return 0;
}
