// The child-process and raw-terminal helpers of the simulator's integration tests.
#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "modbus/RequestFrames.h"
#include "serial/posix/RawTermios.h"

namespace kt::sim::testing {
namespace {

int NowMs() {
  using namespace std::chrono;
  return static_cast<int>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count() & 0x3FFFFFFF);
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    std::vector<char*> argv;
    std::string program = KT7340_SIM_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  out_ = pipeFds[0];
  fcntl(out_, F_SETFL, O_NONBLOCK);
  const int deadline = NowMs() + 5000;
  while (lines_.empty() && NowMs() < deadline) ReadAvailable(deadline - NowMs());
  if (!lines_.empty()) {
    path_ = lines_.front();
    lines_.erase(lines_.begin());
  }
}

SimProcess::~SimProcess() {
  if (Terminate(2000) < 0 && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) close(out_);
}

void SimProcess::ReadAvailable(int timeoutMs) {
  if (out_ < 0) return;
  pollfd p{out_, POLLIN, 0};
  if (poll(&p, 1, std::max(timeoutMs, 0)) <= 0) return;
  char buf[4096];
  for (;;) {
    const ssize_t n = read(out_, buf, sizeof buf);
    if (n <= 0) break;
    pendingText_.append(buf, static_cast<size_t>(n));
  }
  size_t eol;
  while ((eol = pendingText_.find('\n')) != std::string::npos) {
    lines_.push_back(pendingText_.substr(0, eol));
    pendingText_.erase(0, eol + 1);
  }
}

const std::vector<std::string>& SimProcess::Lines() {
  ReadAvailable(0);
  return lines_;
}

std::optional<std::string> SimProcess::WaitForLine(const std::string& text, size_t from,
                                                   int timeoutMs) {
  const int deadline = NowMs() + timeoutMs;
  for (;;) {
    for (size_t n = from; n < lines_.size(); ++n) {
      const size_t space = lines_[n].find(' ');
      if (space != std::string::npos && lines_[n].compare(space + 1, text.size(), text) == 0) {
        return lines_[n];
      }
    }
    const int left = deadline - NowMs();
    if (left <= 0) return std::nullopt;
    ReadAvailable(left);
  }
}

int SimProcess::Terminate(int timeoutMs) {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  const int deadline = NowMs() + timeoutMs;
  int status = 0;
  while (NowMs() < deadline) {
    ReadAvailable(0);  // keep the pipe drained so the child can finish writing
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    usleep(5000);
  }
  return -1;
}

RawPort::RawPort(const std::string& path, int baud, char parity) {
  fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd_ < 0) return;
  termios t{};
  tcgetattr(fd_, &t);
  cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  t.c_cflag &= ~(PARENB | PARODD | CSTOPB);
  if (parity == 'N') t.c_cflag |= CSTOPB;
  if (parity != 'N') t.c_cflag |= PARENB;
  if (parity == 'O') t.c_cflag |= PARODD;
  cfsetispeed(&t, kt::serial::TermiosSpeed(baud));
  cfsetospeed(&t, kt::serial::TermiosSpeed(baud));
  tcsetattr(fd_, TCSANOW, &t);
  tcflush(fd_, TCIOFLUSH);
}

RawPort::~RawPort() {
  if (fd_ >= 0) close(fd_);
}

void RawPort::Write(const std::vector<uint8_t>& bytes) {
  if (fd_ >= 0 && write(fd_, bytes.data(), bytes.size()) < 0) return;
}

std::vector<RawPort::Chunk> RawPort::Collect(int ms) {
  std::vector<Chunk> chunks;
  const int start = NowMs();
  for (;;) {
    const int left = start + ms - NowMs();
    if (left <= 0 || fd_ < 0) return chunks;
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, left) <= 0) continue;
    uint8_t buf[512];
    const ssize_t n = read(fd_, buf, sizeof buf);
    if (n > 0) chunks.push_back({NowMs() - start, std::vector<uint8_t>(buf, buf + n)});
  }
}

std::vector<uint8_t> RawPort::CollectBytes(int ms) {
  std::vector<uint8_t> all;
  for (const Chunk& c : Collect(ms)) all.insert(all.end(), c.bytes.begin(), c.bytes.end());
  return all;
}

}  // namespace kt::sim::testing
