// Communication settings: the meter is told the new baud rate and parity on the old line, then
// the PC's port follows.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "ui/CommSetDialogIds.h"
#include "ui/LineSettingsText.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::sim::MeterConfig;
using namespace kt::ui::main_ids;
namespace comm_set_ids = kt::ui::comm_set_ids;

namespace {

const Bytes kBaud19200 = WithCrc({0x01, 0x06, 0x00, 0x08, 0x00, 0x04});
const Bytes kParityEven = WithCrc({0x01, 0x06, 0x00, 0x06, 0x00, 0x02});
const Bytes kBaud4800 = WithCrc({0x01, 0x06, 0x00, 0x08, 0x00, 0x02});
const Bytes kBaud1200 = WithCrc({0x01, 0x06, 0x00, 0x08, 0x00, 0x00});
const Bytes kParityOdd = WithCrc({0x01, 0x06, 0x00, 0x06, 0x00, 0x01});

// The user picks radios (and optionally a port) in the dialog and confirms.
void Choose(MainDialogHarness& p, const std::vector<int>& radios, const char* port = nullptr) {
  p.host.ScriptModal(comm_set_ids::kTemplateId, [&p, radios, port](kt::ui::Dialog& d) {
    for (int id : radios) p.host.Click(d, id);
    if (port != nullptr) p.host.Type(d, comm_set_ids::kPortEdit, port);
    p.host.Click(d, kt::ui::IDOK);
  });
}

}  // namespace

TEST(CommSettings, DialogOpensWithTheMonitorSettings) {
  MainDialogHarness p(SimulatedMeter({}, {3, 4800, 1}));
  p.host.ScriptModal(comm_set_ids::kTemplateId, [&p](kt::ui::Dialog& d) {
    EXPECT_EQ(p.host.Control(d, comm_set_ids::kPortEdit).text, "3");
    for (int id = comm_set_ids::kFirstBaudRadio; id <= comm_set_ids::kLastBaudRadio; ++id)
      EXPECT_EQ(p.host.Control(d, id).checked, id == comm_set_ids::kBaud4800Radio);
    for (int id = comm_set_ids::kFirstParityRadio; id <= comm_set_ids::kLastParityRadio; ++id)
      EXPECT_EQ(p.host.Control(d, id).checked, id == comm_set_ids::kOddParityRadio);
    p.host.Click(d, kt::ui::IDCANCEL);
  });
  p.Click(kCommSettingsButton);
  EXPECT_EQ(p.host.UnscriptedModals(), 0);
}

TEST(CommSettings, OneSettingChangedMovesMeterAndPcAndPollingGoesOn) {
  struct Case {
    const char* name;
    int radio;
    Bytes request;
    const char* settings;
    int32_t baud;
    int32_t parity;
  };
  const Case cases[] = {
      {"baud", comm_set_ids::kBaud19200Radio, kBaud19200, "19200N,8,2", 19200, 0},
      {"slowest baud", comm_set_ids::kBaud1200Radio, kBaud1200, "1200N,8,2", 1200, 0},
      {"parity", comm_set_ids::kEvenParityRadio, kParityEven, "9600E,8,1", 9600, 2},
      {"odd parity", comm_set_ids::kOddParityRadio, kParityOdd, "9600O,8,1", 9600, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MainDialogHarness p(SimulatedMeter());
    ASSERT_TRUE(p.PollUntil(3));
    const size_t mark = p.Mark();
    const int opensBefore = p.Meter().OpenCount();
    Choose(p, {c.radio});
    p.Click(kCommSettingsButton);
    EXPECT_EQ(p.FramesSince(mark), std::vector<Bytes>{c.request});
    EXPECT_TRUE(p.MessagesSince(0).empty());
    EXPECT_EQ(p.Meter().Settings(), c.settings);
    EXPECT_EQ(p.Meter().OpenCount(), opensBefore + 1);
    EXPECT_EQ(p.Text(kInformationBox), kt::ui::InformationBoxText(1, c.baud, c.parity));
    EXPECT_EQ(p.Meter().meter().baudRate(), c.baud);
    EXPECT_EQ(p.Meter().meter().parity(), c.parity);
    // The poll period follows an acknowledged baud rate, so that slow replies still fit.
    EXPECT_EQ(p.host.TimerPeriod(p.Dlg(), kt::ui::kPollTimer), kt::ui::PollPeriodMsFor(c.baud));
    EXPECT_TRUE(p.MeasurementsFlow());
  }
}

// The meter is told on the old line, baud rate first, each write waited for 300 ms; the PC
// takes an acknowledged baud rate and any parity. When both go out, the meter moves to the new
// rate once it has acknowledged, so the parity write, still sent at 9600 baud, reaches it
// garbled: proof that both went out before the port was reopened. A late acknowledgement counts
// as none, though the meter did take the rate: the PC, told nothing, keeps its own, and polling
// finds no reply until the settings are made to match again.
TEST(CommSettings, EachWriteAcknowledgedOrNotDecidesWhatThePcTakes) {
  enum class Meter { Answers, Late, Silent, BackAfterFirstMessage };
  struct Case {
    const char* name;
    std::vector<int> radios;
    Meter meter;
    std::vector<Bytes> frames;
    std::vector<std::string> messages;
    std::string pc;                   // the PC's line, and the monitor's rate and parity
    kt::sim::LineSettings meterLine;  // two seconds later; polled when the PC's is the same
  };
  using namespace comm_set_ids;
  // clang-format off
  const Case cases[] = {
      {"both", {kBaud19200Radio, kEvenParityRadio}, Meter::Answers, {kBaud19200, kParityEven},
       {"改变校验方式不成功"}, "19200E,8,1", {19200, 0}},
      {"baud write failing", {kBaud19200Radio, kEvenParityRadio}, Meter::BackAfterFirstMessage,
       {kBaud19200, kParityEven}, {"改变波特率不成功"}, "9600E,8,1", {9600, 2}},
      {"silent meter", {kBaud4800Radio, kOddParityRadio}, Meter::Silent, {kBaud4800, kParityOdd},
       {"改变波特率不成功", "改变校验方式不成功"}, "9600O,8,1", {9600, 0}},
      {"late acknowledgement", {kBaud4800Radio}, Meter::Late, {kBaud4800}, {"改变波特率不成功"},
       "9600N,8,2", {4800, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MainDialogHarness p(MeterAnswering(c.meter == Meter::Late ? 400 : 20, c.meter < Meter::Silent));
    if (c.meter == Meter::BackAfterFirstMessage) {
      p.host.OnMessageBox([&p](const std::string&) { p.Meter().SetMeterConnected(true); });
    }
    const size_t mark = p.Mark();
    Choose(p, c.radios);
    p.Click(kCommSettingsButton);
    EXPECT_EQ(p.FramesSince(mark), c.frames);
    std::vector<uint64_t> offsets;
    for (size_t i = 0; i < c.frames.size(); ++i) offsets.push_back(300 * i);
    EXPECT_EQ(p.OffsetsSince(mark), offsets);
    EXPECT_EQ(p.MessagesSince(0), c.messages);
    EXPECT_EQ(p.Meter().Settings(), c.pc);
    const int32_t baud = std::stoi(c.pc);
    const auto parity = static_cast<int32_t>(std::string("NOE").find(c.pc[c.pc.find(',') - 1]));
    EXPECT_EQ(p.Dlg().m_baudRate, baud);
    EXPECT_EQ(p.Dlg().m_parity, parity);
    EXPECT_EQ(p.Text(kInformationBox), kt::ui::InformationBoxText(1, baud, parity));
    EXPECT_TRUE(p.PollTimerRunning());
    p.host.RunFor(2000);
    EXPECT_EQ(p.Meter().meter().line(), c.meterLine);
    const bool same = c.meterLine == kt::sim::LineSettings{baud, parity};
    EXPECT_EQ(p.Dlg().m_pollState != 0, same);
    if (same) {
      EXPECT_TRUE(p.MeasurementsFlow());
    }
  }
}

TEST(CommSettings, SameSettingsSendNothingButReopenOnTheChosenPort) {
  MainDialogHarness p(SimulatedMeter());
  const size_t mark = p.Mark();
  Choose(p, {}, "2");
  p.Click(kCommSettingsButton);
  EXPECT_TRUE(p.FramesSince(mark).empty());
  EXPECT_EQ(p.Meter().CommPort(), 2);
  EXPECT_EQ(p.Meter().OpenCount(), 2);
  EXPECT_EQ(p.Text(kInformationBox), kt::ui::InformationBoxText(2, 9600, 0));
}

TEST(CommSettings, ExitChangesNothingButDiscardsInputAndRestartsPolling) {
  MainDialogHarness p(SimulatedMeter());
  const size_t mark = p.Mark();
  const std::string infoBefore = p.Text(kInformationBox);
  p.host.ScriptModal(comm_set_ids::kTemplateId, [&p](kt::ui::Dialog& d) {
    p.host.Click(d, comm_set_ids::kBaud19200Radio);
    p.Meter().InjectBytes({0x01, 0x02, 0x03});
    p.host.Click(d, kt::ui::IDCANCEL);
  });
  p.Click(kCommSettingsButton);
  EXPECT_TRUE(p.FramesSince(mark).empty());
  EXPECT_EQ(p.Meter().OpenCount(), 1);
  EXPECT_EQ(p.Dlg().m_baudRate, 9600);
  EXPECT_EQ(p.Text(kInformationBox), infoBefore);
  EXPECT_EQ(p.Meter().GetInBufferCount(), 0);
  EXPECT_TRUE(p.PollTimerRunning());
}

TEST(CommSettings, RefusedReopenIsReportedAndTheProgramStaysUsable) {
  MainDialogHarness p(SimulatedMeter());
  p.Meter().SetPortMissing(3, true);
  Choose(p, {}, "3");
  p.Click(kCommSettingsButton);
  ASSERT_EQ(p.MessagesSince(0).size(), 1u);
  const std::string message = p.MessagesSince(0)[0];
  EXPECT_NE(message.find(kt::sim::SimulatedLine::DevicePath(3)), std::string::npos) << message;
  EXPECT_EQ(p.Text(kInformationBox), kt::ui::InformationBoxText(3, 9600, 0));
  EXPECT_TRUE(p.PollTimerRunning());
  // 65537 has the low 16 bits of port 1: refused as well, not reopened on port 1.
  const int opens = p.Meter().OpenCount();
  Choose(p, {}, "65537");
  p.Click(kCommSettingsButton);
  ASSERT_EQ(p.MessagesSince(0).size(), 2u);
  EXPECT_NE(p.MessagesSince(0)[1].find("65537"), std::string::npos) << p.MessagesSince(0)[1];
  EXPECT_EQ(p.Meter().OpenCount(), opens);
  EXPECT_FALSE(p.Meter().GetPortOpen());
  EXPECT_EQ(p.Text(kInformationBox), kt::ui::InformationBoxText(65537, 9600, 0));
  EXPECT_TRUE(p.PollTimerRunning());
  // Requests are now shown in the send echo but not transmitted.
  const size_t mark = p.Mark();
  p.host.RunFor(500);
  ASSERT_EQ(p.FramesSince(mark).size(), 0u);
  EXPECT_FALSE(p.Text(kSendEcho).empty());
  // Choosing a port that exists again brings the line back.
  Choose(p, {}, "1");
  p.Click(kCommSettingsButton);
  EXPECT_TRUE(p.Meter().GetPortOpen());
  EXPECT_EQ(p.Meter().Settings(), "9600N,8,2");
}
