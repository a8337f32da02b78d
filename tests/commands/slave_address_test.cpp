// Slave address change by broadcast, and the accuracy class flip.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "commands/AddrDialogIds.h"
#include "commands/CAddrDlg.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::sim::MeterConfig;
using namespace kt::ui::main_ids;
namespace addr_ids = kt::ui::addr_ids;

namespace {

void EnterAddress(MainDialogHarness& p, const char* text) {
  p.host.ScriptModal(addr_ids::kTemplateId, [&p, text](kt::ui::Dialog& d) {
    EXPECT_EQ(p.host.Control(d, addr_ids::kNewAddressEdit).text,
              "0");  // the current address is not preset
    p.host.Type(d, addr_ids::kNewAddressEdit, text);
    p.host.Click(d, kt::ui::IDOK);
  });
}

}  // namespace

// The broadcast write of register 0x0000, one fixed wait, no message; the address is taken even
// when no meter hears it. (0 would silence every meter on the line for good, and 248..255 are
// no meter's: the dialog refuses them, command_dialogs_test; nothing goes out after a refusal,
// below.)
TEST(SlaveAddress, BroadcastGivesTheMeterItsNewAddressAndPollingFollows) {
  struct Case {
    const char* text;
    bool heard;
  };
  for (const Case c : {Case{"2", true}, Case{"247", false}, Case{"1", false}}) {
    SCOPED_TRACE(c.text);
    MainDialogHarness p(SimulatedMeter());
    p.Meter().SetMeterConnected(c.heard);
    const size_t mark = p.Mark();
    const uint64_t start = p.clock.ElapsedMs();
    EnterAddress(p, c.text);
    p.Click(kChangeSlaveAddressButton);
    const auto address = static_cast<uint16_t>(std::stoi(c.text));
    EXPECT_EQ(p.FramesSince(mark), OneFrame(WriteSingle(0, 0x0000, address)));
    EXPECT_EQ(p.clock.ElapsedMs() - start, 300u);
    EXPECT_TRUE(p.EndedWith({}));
    EXPECT_EQ(p.Dlg().m_slaveAddress, address);
    EXPECT_EQ(p.Text(kSlaveAddressEdit), c.text);
    if (!c.heard) continue;
    EXPECT_EQ(p.Meter().meter().address(), address);
    ASSERT_TRUE(p.PollUntil(3));
    EXPECT_TRUE(p.MeasurementsFlow());
  }
}

TEST(SlaveAddress, CancelOrABadEntrySendsNothing) {
  MainDialogHarness p(SimulatedMeter());
  const size_t mark = p.Mark();
  p.host.ScriptModal(addr_ids::kTemplateId, [&p](kt::ui::Dialog& d) {
    p.host.Type(d, addr_ids::kNewAddressEdit, "256");
    p.host.Click(d, kt::ui::IDOK);
    p.host.Click(d, kt::ui::IDCANCEL);
  });
  p.Click(kChangeSlaveAddressButton);
  EXPECT_EQ(p.MessagesSince(0), std::vector<std::string>{kt::ui::kSlaveAddressRangePrompt});
  EXPECT_TRUE(p.FramesSince(mark).empty());
  EXPECT_EQ(p.Dlg().m_slaveAddress, 1);
  EXPECT_TRUE(p.PollTimerRunning());
}

// The class flips between 0 (0.5级) and 1 (0.2级) by a write of register 0x0022, taken when
// acknowledged; unacknowledged (silent or late) the class stays and the caption shows it.
TEST(AccuracyClass, FlipsWhenAcknowledged) {
  MainDialogHarness p(SimulatedMeter());
  ASSERT_TRUE(p.PollUntil(3));  // poll state 2 has read class 0
  EXPECT_EQ(p.Text(kAccuracyClassButton), "0.5级");
  const std::pair<Bytes, const char*> flips[] = {
      {{0x01, 0x06, 0x00, 0x22, 0x00, 0x01, 0xE8, 0x00}, "0.2级"},
      {{0x01, 0x06, 0x00, 0x22, 0x00, 0x00, 0x29, 0xC0}, "0.5级"}};
  for (const auto& [frame, caption] : flips) {
    const size_t mark = p.Mark();
    p.Command(kAccuracyClassButton);
    EXPECT_EQ(p.FramesSince(mark), OneFrame(frame));
    EXPECT_EQ(p.Dlg().m_accuracyClass, frame[5]);
    EXPECT_EQ(p.Text(kAccuracyClassButton), caption);
    EXPECT_EQ(p.Meter().meter().accuracyClass(), frame[5]);
    EXPECT_TRUE(p.EndedWith({}));
    p.host.RunFor(250);
  }
  struct Case {
    const char* name;
    uint8_t before;
    bool connected;
    uint32_t delayMs;
    uint8_t after;
    const char* caption;
  };
  const Case cases[] = {
      {"silent from 0", 0, false, 20, 0, "0.5级"},
      {"silent from 1", 1, false, 20, 1, "0.2级"},
      {"late from 0", 0, true, 400, 0, "0.5级"},
      {"silent from 2", 2, false, 20, 1, "0.2级"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MainDialogHarness q(MeterAnswering(c.delayMs, c.connected));
    q.Dlg().m_accuracyClass = c.before;
    EXPECT_EQ(q.Text(kAccuracyClassButton), "修改精度");
    q.Command(kAccuracyClassButton);
    EXPECT_EQ(q.Dlg().m_accuracyClass, c.after);
    EXPECT_EQ(q.Text(kAccuracyClassButton), c.caption);
    EXPECT_TRUE(q.EndedWith({}));
  }
}
