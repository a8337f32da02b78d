// The polling cycle over crafted replies: the poll states, what each reply sets, the receive
// echo, and replies that must not match.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>

#include "MainDialogHarness.h"
#include "modbus/RequestFrames.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using namespace kt::ui::main_ids;

namespace {

using namespace golden;

// A configuration reply (registers 0x0300 to 0x0312) from slave address 1.
Bytes ConfigReply(uint16_t address, uint16_t wiring, uint16_t powerFlag, uint16_t exponent,
                  uint16_t pt, uint16_t ct) {
  std::vector<uint16_t> r(19, 0);
  r[0] = address;
  r[1] = wiring;
  r[5] = powerFlag;
  r[6] = exponent;
  r[7] = pt;
  r[9] = ct;
  return ReadReply(1, r);
}

class PollCycleTest : public ::testing::Test, public MainDialogHarness {
 protected:
  void SetUp() override {
    Open();
    host.Type(*dialog, kSlaveAddressEdit, "1");  // the meter answers at address 1
    dialog->UpdateData(true);
    // The configuration of meter 1 counts as read; a test that starts at state 0 reads it anew.
    dialog->m_configuredAddress = 1;
    dialog->m_configuredPort = dialog->m_portNumber;
    port.written.clear();
  }
};

// The configuration reply sets the scale fields; the power flag and the energy exponent each
// just inside and outside their tables.
TEST_F(PollCycleTest, ConfigurationReplySetsTheScaleFields) {
  struct Case {
    uint16_t powerFlag, exponent;
    int32_t power, energy;
  };
  const Case cases[] = {
      {0x0000, 0x0000, 1, 1},       {0x0001, 0x0003, 4, 1000},
      {0x0002, 0x0006, 1, 1000000}, {0x0101, 0x0106, 4, 1000000},  // only the low bytes count
      {0x0001, 0x0007, 4, 1000000},  // beyond the table: the multiplier stays as it was
      {0x0000, 0x00FF, 1, 1000000},
  };
  auto& d = *dialog;
  for (const Case& c : cases) {
    d.m_pollState = 0;
    d.m_slaveAddress = 1;
    port.open = true;
    port.Arrive(ConfigReply(0x0105, 0x0003, c.powerFlag, c.exponent, 0x0064, 0x0005));
    Tick();
    EXPECT_EQ(d.m_powerMultiplier, c.power) << c.powerFlag;
    EXPECT_EQ(d.m_energyMultiplier, c.energy) << c.exponent;
    EXPECT_EQ(d.m_pollState, 1);
    EXPECT_EQ(d.m_slaveAddress, 5);  // the low byte of 0x0300
    EXPECT_EQ(d.m_wiringMode, 3);
    EXPECT_EQ(d.m_ptRatio, 100u);
    EXPECT_EQ(d.m_ctRatio, 5u);
    EXPECT_EQ(d.m_registerImage[15], 0x64);
    EXPECT_EQ(Text(kSlaveAddressEdit), "1");  // the edit box is not updated
    EXPECT_EQ(port.written.back(), ReadRequest(5, 0x0328, 4));
  }
}

TEST_F(PollCycleTest, ConfigurationNamingAnotherAddressGoesOnToTheFourValuesThere) {
  // The address named is polled from then on, the broadcast address excepted: nothing answers
  // there, so the meter stays polled where it answered.
  for (const auto& [named, polled] : {std::pair<uint16_t, uint8_t>{5, 5}, {0, 1}}) {
    SCOPED_TRACE(named);
    dialog->m_pollState = 0;
    port.open = true;
    Tick();  // the request went to address 1 and was not answered
    ASSERT_EQ(port.written.back(), kConfigRequest);
    port.Arrive(ConfigReply(named, 0, 0, 0, 1, 1));
    Tick();
    EXPECT_EQ(dialog->m_pollState, 1);
    EXPECT_EQ(port.written.back(), ReadRequest(polled, 0x0328, 4));
    // No meter answers: the cycle repeats its request there instead of starting over.
    for (int tick = 0; tick < 3; ++tick) {
      Tick();
      EXPECT_EQ(dialog->m_pollState, 1);
      EXPECT_EQ(port.written.back(), ReadRequest(polled, 0x0328, 4));
    }
    dialog->m_slaveAddress = 1;
  }
}

TEST_F(PollCycleTest, RunWithAnotherAddressAndASearchHitThereStartOverAtTheNextTick) {
  struct Case {
    const char* name;
    const char* typed;  // Run with this address ...
    int hit;            // ... or a probe answered at this address
    bool startsOver;
  };
  const Case cases[] = {
      {"Run with the same address", "1", -1, false},
      {"Run with another address", "2", -1, true},
      {"search hit at the same address", nullptr, 1, false},
      {"search hit at another address", nullptr, 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    port.open = true;
    dialog->m_pollState = 3;
    Tick();  // a block request to address 1
    ASSERT_EQ(port.written.back(), kBlockRequest);
    if (c.typed != nullptr) {
      host.Type(*dialog, kSlaveAddressEdit, c.typed);
      Click(kRunButton);
      if (dialog->m_running == 0) Click(kRunButton);  // the case before left it running
    } else {
      port.AnswerAfter(20, ReadReply(static_cast<uint8_t>(c.hit), {0x0000}));
      dialog->ProbeAddress(c.hit);
    }
    Tick();
    const uint8_t polled =
        c.typed != nullptr ? static_cast<uint8_t>(std::stoi(c.typed)) : static_cast<uint8_t>(c.hit);
    EXPECT_EQ(port.written.back(), c.startsOver ? ReadRequest(polled, 0x0300, 19) : kBlockRequest);
    host.Type(*dialog, kSlaveAddressEdit, "1");
    dialog->UpdateData(true);
    Tick();  // back to the first meter, whose configuration still holds, for the next case
  }
}

TEST_F(PollCycleTest, AccuracyClassAndPowerMultiplierReplies) {
  port.open = true;
  auto& d = *dialog;
  d.m_pollState = 2;
  port.Arrive({0x01, 0x03, 0x02, 0x00, 0x01, 0x79, 0x84});
  Tick();
  EXPECT_EQ(Text(kAccuracyClassButton), "0.2级");
  EXPECT_EQ(d.m_accuracyClass, 1);
  d.m_pollState = 2;
  port.Arrive({0x01, 0x03, 0x02, 0x00, 0x00, 0xB8, 0x44});
  Tick();
  EXPECT_EQ(Text(kAccuracyClassButton), "0.5级");
  EXPECT_EQ(d.m_pollState, 3);

  d.m_pollState = 4;
  port.Arrive(ReadReply(1, {0x0001}));
  Tick();
  EXPECT_EQ(d.m_powerMultiplier, 4);
  EXPECT_EQ(d.m_pollState, 3);
  d.m_pollState = 4;
  port.Arrive(ReadReply(1, {0x0100}));
  Tick();
  EXPECT_EQ(d.m_powerMultiplier, 1);
}

TEST_F(PollCycleTest, FourValuesReplyMovesOnToTheAccuracyClass) {
  port.open = true;
  dialog->m_pollState = 1;
  port.Arrive(ReadReply(1, {1, 2, 3, 4}));
  Tick();
  EXPECT_EQ(dialog->m_pollState, 2);
  EXPECT_EQ(dialog->m_registerImage[7], 4);
  EXPECT_EQ(port.written.back(), kClassRequest);
}

TEST_F(PollCycleTest, RepliesThatDoNotMatch) {
  port.open = true;
  const Bytes good = ConfigReply(1, 0, 0, 0, 7, 1);
  Bytes badCrc = good;
  badCrc.back() ^= 0x01;
  const Bytes exception = WithCrc({0x01, 0x83, 0x02});
  const Bytes otherAddress = [] {
    std::vector<uint16_t> r(19, 0);
    return ReadReply(2, r);
  }();
  for (const Bytes& reply : {badCrc, exception, otherAddress}) {
    port.Arrive(reply);
    Tick();
    EXPECT_EQ(dialog->m_pollState, 0);
    EXPECT_EQ(port.written.back(), kConfigRequest);
  }
  // Stray bytes (a late tail of something) ahead of the reply do not hide it.
  port.Arrive(Concat({{0x00, 0x01, 0x03, 0xFF}, exception, good}));
  Tick();
  EXPECT_EQ(dialog->m_pollState, 1);
  EXPECT_EQ(dialog->m_ptRatio, 7u);
}

TEST_F(PollCycleTest, ReplySplitAcrossTwoTicksIsNotTaken) {
  port.open = true;
  const Bytes reply = ConfigReply(1, 0, 0, 0, 9, 1);
  port.Arrive(Bytes(reply.begin(), reply.begin() + 20));
  Tick();
  port.Arrive(Bytes(reply.begin() + 20, reply.end()));
  Tick();
  EXPECT_EQ(dialog->m_pollState, 0);
  EXPECT_EQ(port.written.size(), 2u);
  EXPECT_EQ(port.written[0], port.written[1]);
  // The repeated request is answered whole on the next tick.
  port.Arrive(reply);
  Tick();
  EXPECT_EQ(dialog->m_pollState, 1);
}

class ReceiveEchoTest : public PollCycleTest {
 protected:
  // Brings the cycle to state 3 with a block reply (and `extra` bytes after it) waiting.
  Bytes BlockWaiting(const Bytes& before, const Bytes& extra) {
    dialog->m_pollState = 3;
    port.open = true;
    Bytes all = Concat({before, ReadReply(1, std::vector<uint16_t>(45, 0x0102)), extra});
    port.Arrive(all);
    return all;
  }
};

TEST_F(ReceiveEchoTest, ShowsTheRequestAndOnlyTheBytesOfThisRead) {
  // An earlier, longer read left bytes further up the buffer.
  dialog->m_receiveBuffer.fill(0xEE);
  const Bytes all = BlockWaiting({}, {0x00, 0x00});
  const std::string request = dialog->m_echoText;
  Tick();
  const std::string echo = Text(kReceiveEcho);
  EXPECT_EQ(echo, request + kt::modbus::EchoText(std::span(all).first(97)));
  EXPECT_EQ(echo.find("EE"), std::string::npos);
  // The next send empties the echo text; the receive echo stays until the next block.
  EXPECT_EQ(Text(kSendEcho), kt::modbus::EchoText(std::span(kMultiplierRequest).first(8)));
}

TEST_F(ReceiveEchoTest, AtMostAHundredBytes) {
  const Bytes all = BlockWaiting({0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x11}, {0x40, 0x02});
  const std::string request = dialog->m_echoText;
  Tick();
  EXPECT_EQ(Text(kReceiveEcho), request + kt::modbus::EchoText(std::span(all).first(100)));
  // The pair after the reply, not positions 95 and 96.
  EXPECT_EQ(Text(kVoltageStatus1Box), "欠压");
  EXPECT_EQ(Text(kCurrentStatus4Box), "过流");
  EXPECT_EQ(dialog->m_limitStatus, (std::array<uint8_t, 8>{1, 0, 0, 0, 0, 0, 0, 1}));
}

TEST_F(PollCycleTest, DecodedBlockOnTheDisplay) {
  port.open = true;
  auto& d = *dialog;
  d.m_pollState = 3;
  d.m_ptRatio = 1;
  d.m_ctRatio = 1;
  d.m_powerMultiplier = 4;
  d.m_energyMultiplier = 1;
  std::vector<uint16_t> r(45, 0);
  r[0x04] = 0xFFFF;  // -1 x 4 / 10 W
  r[0x07] = 0xFFFF;  // 65535 / 5 VA
  r[0x1B] = 10000;   // 10.6813 Hz
  r[0x23] = 0;       // reverse active energy 0
  r[0x25] = 0x2710;  // forward reactive energy 10000
  port.Arrive(ReadReply(1, r));
  Tick();
  EXPECT_EQ(Text(kActivePowerABox), "-0.4 W");
  EXPECT_EQ(Text(kApparentPowerABox), "13.1070 KVA");
  EXPECT_EQ(Text(kFrequencyBox), "10.681 Hz");
  EXPECT_EQ(Text(kReverseActiveEnergyBox), "-0.0 Wh");
  EXPECT_EQ(Text(kForwardReactiveEnergyBox), "10.0000 KVarh");
  EXPECT_EQ(Text(kPowerFactorABox), "0.0000");
  EXPECT_EQ(d.m_pollState, 4);
}

}  // namespace

namespace {

// The value texts of the main dialog's read-only edit boxes, but not the echo, information
// and link status boxes.
std::map<int, std::string> ShownValues(const kt::ui::InMemoryHost& host, const kt::ui::Dialog& d) {
  std::map<int, std::string> texts;
  for (const auto& c : d.Template().controls) {
    if (c.kind == kt::ui::ControlKind::Edit && c.Has(kt::ui::kReadOnly) && c.id != kSendEcho &&
        c.id != kReceiveEcho && c.id != kInformationBox &&
        (c.id < kLinkStateBox || c.id > kLinkLastDataBox)) {
      texts[c.id] = host.Control(d, c.id).text;
    }
  }
  return texts;
}

}  // namespace

// A block reply behind stray bytes (the tail of something late) decodes to the same values as
// one at the start of the read.
TEST_F(PollCycleTest, BlockReplyAfterStrayBytesDecodesTheSameValues) {
  port.open = true;
  std::vector<uint16_t> r(45);
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<uint16_t>(0x0101 * (i + 1) + 7 * i);
  const Bytes reply = ReadReply(1, r);
  std::map<int, std::string> atStart;
  for (const Bytes& stray : {Bytes{}, Bytes{0x01}, Bytes{0x00, 0x03, 0xFF}, Bytes(9, 0x01)}) {
    SCOPED_TRACE(stray.size());
    dialog->m_pollState = 3;
    for (const auto& [id, text] : ShownValues(host, *dialog)) host.Type(*dialog, id, "");
    port.Arrive(Concat({stray, reply}));
    Tick();
    EXPECT_EQ(dialog->m_pollState, 4);
    const auto shown = ShownValues(host, *dialog);
    if (stray.empty()) {
      atStart = shown;
      ASSERT_GT(atStart.size(), 30u);
      EXPECT_NE(atStart.at(kPhaseVoltageABox), "");
    } else {
      EXPECT_EQ(shown, atStart);
    }
  }
}
