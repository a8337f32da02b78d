// A pseudo-terminal drops the parity enable bit; settings with parity must still open and
// apply again, as the simulated meter's line needs for odd and even parity.
#include <gtest/gtest.h>

#include "PtyPeer.h"
#include "serial/LineSettings.h"
#include "serial/PlatformTransport.h"

namespace kt::serial {
namespace {

TEST(PtyParity, EachSettingOpensAndAppliesAgainOnAPseudoTerminal) {
  testing::PtyPeer peer;
  for (const char* text : {"2400E,8,1", "9600O,8,1", "19200N,8,2", "1200E,8,1"}) {
    const LineSettings settings = ParseLineSettings(text, peer.Path());
    // Twice over: the second open finds the terminal already at these settings.
    for (int round = 0; round < 2; ++round) {
      auto transport = MakePlatformTransport(peer.Path(), false);
      ASSERT_EQ(transport->Open(settings).result, TransportResult::Done) << text << round;
      EXPECT_EQ(transport->ApplySettings(settings).result, TransportResult::Done) << text;
      transport->Close();
    }
  }
}

}  // namespace
}  // namespace kt::serial
