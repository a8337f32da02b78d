// Commands and polling on a bus with several meters: the typed address, the broadcast address,
// a reply in flight, noise after a reply and a line that fails midway (each meter's own ratios:
// tests/ui/meter_change_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainDialogHarness.h"
#include "commands/AddrDialogIds.h"
#include "commands/MeterSetDialogIds.h"
#include "modbus/QuietLine.h"
#include "serial/SerialError.h"
#include "ui/CommSetDialogIds.h"
#include "ui/LineSettingsText.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::sim::MeterConfig;

namespace {

namespace main_ids = kt::ui::main_ids;
namespace comm_set_ids = kt::ui::comm_set_ids;
constexpr int kCommSetTemplate = comm_set_ids::kTemplateId;
constexpr int kMeterSetTemplate = kt::ui::meter_set_ids::kTemplateId;
const char* const kBroadcastRefusal =
    "子机地址为0（广播地址），仪表不会应答。请先输入仪表的子机地址。";

// A command as the user starts it, with the dialog it opens confirmed (baud 19200 for the
// communication settings).
struct CommandCase {
  const char* name;
  int id;
};
const CommandCase kCommands[] = {
    {"comm settings", main_ids::kCommSettingsButton},
    {"meter settings", main_ids::kMeterSettingsButton},
    {"accuracy class", main_ids::kAccuracyClassButton},
    {"read parameters", main_ids::kReadParametersCommand},
    {"refresh Urg", main_ids::kRefreshUrgButton},
};

void ScriptDialogs(MainDialogHarness& h) {
  h.host.ScriptModal(kCommSetTemplate, [&h](kt::ui::Dialog& d) {
    h.host.Click(d, comm_set_ids::kBaud19200Radio);
    h.host.Click(d, kt::ui::IDOK);
  });
  h.host.ScriptModal(kMeterSetTemplate, [&h](kt::ui::Dialog& d) { h.host.Click(d, kt::ui::IDOK); });
}

// The main dialog with a meter at address 3 whose address was typed but never taken by Run.
struct TypedAddress : MainDialogHarness {
  explicit TypedAddress(const char* typed) {
    MeterConfig config;
    config.address = 3;
    AttachMeter(config);
    Open();
    host.Type(*dialog, main_ids::kSlaveAddressEdit, typed);
  }
};

}  // namespace

// The typed address (never taken by Run) is the one every frame of a command goes to; the
// broadcast address or no number sends nothing and prompts once, pending input dropped.
TEST(MultiDrop, CommandsTalkToTheTypedAddressOnly) {
  for (const char* typed : {"3", "0", "abc"}) {
    for (const auto& c : kCommands) {
      SCOPED_TRACE(std::string(c.name) + " with " + typed);
      TypedAddress h(typed);
      ScriptDialogs(h);
      const bool meter = std::string(typed) == "3";
      if (!meter) h.meter->InjectBytes({0x55, 0x66});
      h.Command(c.id);
      const auto frames = h.FramesSince(0);
      const auto messages = h.MessagesSince(0);
      EXPECT_TRUE(h.PollTimerRunning());
      if (meter) {
        ASSERT_FALSE(frames.empty());
        for (const Bytes& f : frames) EXPECT_EQ(f[0], 3);
        EXPECT_TRUE(messages.empty() ||
                    c.id == main_ids::kMeterSettingsButton);  // "设置仪表参数成功"
        continue;
      }
      EXPECT_TRUE(frames.empty());
      ASSERT_EQ(messages.size(), 1u);
      EXPECT_EQ(messages[0] == kBroadcastRefusal, std::string(typed) == "0");
      EXPECT_EQ(h.meter->meter().baudRate(), 9600);
      EXPECT_EQ(h.port.GetInBufferCount(), 0);
    }
  }
}

TEST(MultiDrop, CommSettingsToTheBroadcastAddressKeepTheLineButReopenThePort) {
  TypedAddress h("0");
  h.host.ScriptModal(kCommSetTemplate, [&h](kt::ui::Dialog& d) {
    h.host.Click(d, comm_set_ids::kBaud19200Radio);  // 19200
    h.host.Click(d, comm_set_ids::kEvenParityRadio);
    h.host.Type(d, comm_set_ids::kPortEdit, "2");
    h.host.Click(d, kt::ui::IDOK);
  });
  h.Click(main_ids::kCommSettingsButton);
  EXPECT_TRUE(h.FramesSince(0).empty());
  EXPECT_EQ(h.dialog->m_baudRate, 9600);
  EXPECT_EQ(h.dialog->m_parity, 0);
  EXPECT_EQ(h.meter->CommPort(), 2);
  EXPECT_EQ(h.meter->Settings(), "9600N,8,2");
  EXPECT_TRUE(h.meter->GetPortOpen());
  EXPECT_EQ(h.Text(main_ids::kInformationBox), kt::ui::InformationBoxText(2, 9600, 0));
}

TEST(MultiDrop, CommandStartedWhileAPollReplyArrivesIsAcknowledged) {
  // Milliseconds after the block request: before the reply, at its start, inside it, at its end.
  for (uint32_t afterMs : {0u, 25u, 60u, 110u, 140u}) {
    SCOPED_TRACE(afterMs);
    MainDialogHarness p(SimulatedMeter());
    ASSERT_TRUE(p.PollUntil(3));
    // PollUntil left the clock half a period after a tick; go on to the tick of a block request.
    p.host.RunFor(p.Dlg().m_pollPeriodMs / 2);
    if (p.Dlg().m_pollState != 3) p.host.RunFor(p.Dlg().m_pollPeriodMs);
    ASSERT_EQ(p.port.LastWritten(), golden::kBlockRequest);
    p.host.RunFor(afterMs);
    p.Command(main_ids::kAccuracyClassButton);
    EXPECT_EQ(p.Meter().meter().accuracyClass(), 1);
    EXPECT_EQ(p.Text(main_ids::kAccuracyClassButton), "0.2级");
  }
}

TEST(MultiDrop, BytesAfterAReplyAreAStatusOnlyWhenExactlyTheStatusPair) {
  struct Case {
    const char* name;
    bool trailer;
    uint16_t stray;
    bool statusTaken;
  };
  const Case cases[] = {
      {"three stray bytes", false, 3, false},
      {"trailer and noise", true, 4, false},
      {"trailer alone", true, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MeterConfig config;
    config.statusTrailer = c.trailer;
    config.faults.strayBytes = c.stray;
    config.faults.seed = 7;
    config.load.phaseVoltage = {260.0, 260.0,
                                260.0};  // over voltage: the meter's own status says so
    MainDialogHarness p(SimulatedMeter(config));
    ASSERT_TRUE(p.PollUntil(3));
    for (int block = 0; block < 15; ++block) {
      p.host.RunFor(p.Dlg().m_pollPeriodMs * 2);
      if (!c.statusTaken) {
        ASSERT_EQ(p.Dlg().m_limitStatus, (std::array<uint8_t, 8>{})) << "block " << block;
      }
    }
    EXPECT_EQ(p.Dlg().m_limitStatus != (std::array<uint8_t, 8>{}), c.statusTaken);
  }
}

TEST(MultiDrop, SerialFailureBetweenBaudAndParityWriteEndsTheCommandCleanly) {
  MainDialogHarness p(SimulatedMeter());
  ASSERT_TRUE(p.PollUntil(3));
  const Bytes baud19200 = WithCrc({0x01, 0x06, 0x00, 0x08, 0x00, 0x04});
  p.port.onWrite = [&p, &baud19200](const Bytes& frame) {
    // The adapter is pulled right after the baud write went out.
    if (frame == baud19200) {
      p.port.refuseOutput =
          kt::serial::SerialError(kt::serial::SerialErrorKind::IoError, "/dev/ttyS0", "gone");
    }
  };
  p.host.ScriptModal(kCommSetTemplate, [&p](kt::ui::Dialog& d) {
    p.host.Click(d, comm_set_ids::kBaud19200Radio);
    p.host.Click(d, comm_set_ids::kEvenParityRadio);
    p.host.Click(d, kt::ui::IDOK);
  });
  const size_t messages = p.host.Messages().size();
  p.Click(main_ids::kCommSettingsButton);
  // The meter took the baud rate only; the Monitor state says exactly that.
  EXPECT_EQ(p.Meter().meter().baudRate(), 19200);
  EXPECT_EQ(p.Meter().meter().parity(), 0);
  EXPECT_EQ(p.Dlg().m_baudRate, 19200);
  EXPECT_EQ(p.Dlg().m_parity, 0);
  // One report of the failure, then the ending steps: reopen, information box, polling.
  const auto shown = p.MessagesSince(messages);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_NE(shown[0].find("/dev/ttyS0"), std::string::npos) << shown[0];
  EXPECT_EQ(p.Meter().Settings(), "19200N,8,2");
  EXPECT_EQ(p.Text(1057), kt::ui::InformationBoxText(1, 19200, 0));
  EXPECT_TRUE(p.PollTimerRunning());
}

TEST(MultiDrop, CommandOnASilentLineWaitsOnlyUntilThePollReplyWasDue) {
  // The meter is silent, so the cycle stays in state 0: its request asks for 43 bytes.
  for (const int32_t baud : {9600, 1200}) {
    SCOPED_TRACE(baud);
    MainDialogHarness p;
    auto& d = p.Open({1, baud, 0});
    p.host.Type(d, main_ids::kSlaveAddressEdit, "1");
    uint64_t firstCommandFrameMs = 0;
    p.port.onWrite = [&p, &firstCommandFrameMs](const Bytes& frame) {
      if (frame == golden::kMultiplierRequest && firstCommandFrameMs == 0) {
        firstCommandFrameMs = p.clock.ElapsedMs();
      }
    };
    p.Click(main_ids::kRunButton);
    p.host.RunFor(d.m_pollPeriodMs + 1);  // one poll request out, a millisecond ago
    const uint64_t pollRequestMs = p.clock.ElapsedMs() - 1;
    p.Command(main_ids::kRefreshUrgButton);
    // 8 + 43 characters of 11 bits on the wire and the turnaround, counted from the poll request.
    const uint64_t dueMs =
        (uint64_t{51} * 11 * 1000 + static_cast<uint64_t>(baud) - 1) / static_cast<uint64_t>(baud) +
        kt::modbus::kReplyTurnaroundMs;
    EXPECT_EQ(firstCommandFrameMs - pollRequestMs, dueMs);
    EXPECT_LT(dueMs, d.m_pollPeriodMs / 2);
  }
}
