// RS-485 mode: asked for through the environment, refused by a pseudo-terminal's driver.
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "platform/SystemReasonText.h"
#include "platform/posix/UniqueFd.h"
#include "serial/PosixSerialPort.h"
#include "serial/Rs485Mode.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"

using namespace kt::serial;

namespace {

EnvironmentLookup Environment(std::map<std::string, std::string> vars) {
  return [vars](const std::string& name) -> std::optional<std::string> {
    auto it = vars.find(name);
    if (it == vars.end()) return std::nullopt;
    return it->second;
  };
}

TEST(Rs485Mode, OnlyTheValueOneAsksForIt) {
  const struct {
    std::map<std::string, std::string> vars;
    bool requested;
  } cases[] = {
      {{{"KT7340_RS485", "1"}}, true},
      {{{"KT7340_RS485", "0"}}, false},
      {{{"KT7340_RS485", ""}}, false},
      {{}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Rs485Requested(Environment(c.vars)), c.requested) << c.vars.size();
  }
}

// The port is a pseudo-terminal, whose driver has no RS-485 mode.
TEST(Rs485Mode, APortThatRefusesItIsReportedAndStaysClosed) {
  char name[256] = {};
  int master = -1;
  int slave = -1;
  ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0) << std::strerror(errno);
  const kt::platform::UniqueFd masterFd(master);
  const kt::platform::UniqueFd slaveFd(slave);
  setenv("KT7340_COM9", name, 1);

  PosixSerialPort port;
  port.SetCommPort(9);
  port.SetEnvironment(Environment({{"KT7340_RS485", "1"}}));
  try {
    port.SetPortOpen(true);
    ADD_FAILURE() << "a pseudo-terminal accepted RS-485 mode";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::Rs485Unsupported);
    EXPECT_EQ(e.device(), name);
    // The user reads the device, the refusal and the system's reason in the brackets.
    EXPECT_NE(e.systemError(), 0);
    EXPECT_EQ(kt::serial::SerialErrorText(e),
              std::string("串口 ") + name + " 不支持 RS-485 模式（" +
                  kt::platform::SystemReasonText(e.systemError()) + "）");
  }
  EXPECT_FALSE(port.GetPortOpen());

  // The refused open let the device go: without RS-485 mode it opens.
  port.SetEnvironment(Environment({}));
  port.SetPortOpen(true);
  EXPECT_TRUE(port.GetPortOpen());
}

}  // namespace
