// RS-485 mode: asked for through the environment, refused by a pseudo-terminal's driver.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "PtyPeer.h"
#include "SerialTestHelpers.h"
#include "platform/SystemReasonText.h"
#include "serial/PosixSerialPort.h"
#include "serial/Rs485Mode.h"
#include "serial/SerialErrorText.h"

using namespace kt::serial;
using namespace kt::serial::testing;

namespace {

TEST(Rs485Mode, OnlyTheValueOneAsksForIt) {
  const std::pair<std::map<std::string, std::string>, bool> cases[] = {
      {{{"KT7340_RS485", "1"}}, true},
      {{{"KT7340_RS485", "0"}}, false},
      {{{"KT7340_RS485", ""}}, false},
      {{}, false},
  };
  for (const auto& [vars, requested] : cases) {
    EXPECT_EQ(Rs485Requested(Only(vars)), requested) << vars.size();
  }
}

// The port is a pseudo-terminal, whose driver has no RS-485 mode.
TEST(Rs485Mode, APortThatRefusesItIsReportedAndStaysClosed) {
  const PtyPeer pty(PtyPeer::kKeepSlaveOpen);
  setenv("KT7340_COM9", pty.Path().c_str(), 1);
  PosixSerialPort port;
  port.SetCommPort(9);
  port.SetEnvironment(Only({{"KT7340_RS485", "1"}}));
  const auto e = Refusal([&] { port.SetPortOpen(true); });
  ASSERT_TRUE(e) << "a pseudo-terminal accepted RS-485 mode";
  EXPECT_EQ(e->kind(), SerialErrorKind::Rs485Unsupported);
  EXPECT_EQ(e->device(), pty.Path());
  // The user reads the device, the refusal and the system's reason in the brackets.
  EXPECT_NE(e->systemError(), 0);
  EXPECT_EQ(SerialErrorText(*e), "串口 " + pty.Path() + " 不支持 RS-485 模式（" +
                                     kt::platform::SystemReasonText(e->systemError()) + "）");
  EXPECT_FALSE(port.GetPortOpen());

  // The refused open let the device go: without RS-485 mode it opens.
  port.SetEnvironment(Only({}));
  port.SetPortOpen(true);
  EXPECT_TRUE(port.GetPortOpen());
}

}  // namespace
