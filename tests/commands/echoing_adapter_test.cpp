// An RS-485 adapter that hears its own requests: the echo ahead of each reply is never taken for
// the reply, in the poll cycle or in the address search.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::sim::MeterConfig;
namespace main_ids = kt::ui::main_ids;

namespace {

// The simulated meter behind an adapter that echoes every request at once.
struct EchoingLine : MainDialogHarness {
  explicit EchoingLine(uint8_t address, uint8_t accuracyClass = 0) {
    MeterConfig config;
    config.address = address;
    config.accuracyClass = accuracyClass;
    AttachMeter(config);
    port.onWrite = [this](const Bytes& frame) { meter->InjectBytes(frame); };
    Open();
  }
};

}  // namespace

// At address 69 the echoed class request passes for a one-register reply by address, function
// and CRC; read from it, the class would be 0.5 instead of the meter's 0.2.
TEST(EchoingAdapter, PollCycleTakesTheReplyNotTheEcho) {
  EchoingLine h(69, 1);
  h.host.Type(h.Dlg(), main_ids::kSlaveAddressEdit, "69");
  ASSERT_TRUE(h.PollUntil(3));
  EXPECT_EQ(h.Text(main_ids::kAccuracyClassButton), "0.2级");
  EXPECT_TRUE(h.MeasurementsFlow());
}

// At address 47 the echoed probe passes for a reply the same way; the search must go on to the
// meter at 50.
TEST(EchoingAdapter, AddressSearchStopsOnlyAtTheMeter) {
  EchoingLine h(50);
  h.Click(main_ids::kPollAddressButton);
  for (int probe = 0; probe < 60 && h.ProbeTimerRunning(); ++probe) h.RunFor(500);
  EXPECT_FALSE(h.ProbeTimerRunning());
  EXPECT_EQ(h.Text(main_ids::kSlaveAddressEdit), "50");
}
