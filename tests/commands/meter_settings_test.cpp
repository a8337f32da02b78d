// Meter settings: PT, read-back, CT, read-back, wiring; values taken only when acknowledged.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "commands/MeterSetDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::sim::MeterConfig;
using namespace kt::ui::main_ids;
namespace meter_set_ids = kt::ui::meter_set_ids;

namespace {

const Bytes kPt100 = {0x01, 0x10, 0x00, 0x0E, 0x00, 0x02, 0x04, 0x00, 0x64, 0x00, 0x00, 0x33, 0xFC};
const Bytes kReadBack = golden::kValuesRequest;
const Bytes kCt5 = {0x01, 0x10, 0x00, 0x12, 0x00, 0x02, 0x04, 0x00, 0x05, 0x00, 0x00, 0x63, 0x7B};
const Bytes kWiring3 = {0x01, 0x06, 0x00, 0x02, 0x00, 0x03, 0x68, 0x0B};

// The user enters PT, CT and a wiring radio and presses "设置".
void Enter(MainDialogHarness& p, const char* pt, const char* ct, int wiringRadio) {
  p.host.ScriptModal(meter_set_ids::kTemplateId, [&p, pt, ct, wiringRadio](kt::ui::Dialog& d) {
    p.host.Type(d, meter_set_ids::kPtEdit, pt);
    p.host.Type(d, meter_set_ids::kCtEdit, ct);
    p.host.Click(d, wiringRadio);
    p.host.Click(d, kt::ui::IDOK);
  });
}

MeterConfig Configured(uint16_t pt, uint16_t ct, uint8_t wiring) {
  MeterConfig meter;
  meter.ptRatio = pt;
  meter.ctRatio = ct;
  meter.wiring = wiring;
  return meter;
}

}  // namespace

TEST(MeterSettings, FiveRequestsInOrderWithTheirWaits) {
  MainDialogHarness p(SimulatedMeter());
  const size_t mark = p.Mark();
  const uint64_t start = p.clock.ElapsedMs();
  Enter(p, "100", "5", meter_set_ids::kThreePhaseThreeWireBalancedRadio);
  p.Click(kMeterSettingsButton);
  EXPECT_EQ(p.FramesSince(mark),
            (std::vector<Bytes>{kPt100, kReadBack, kCt5, kReadBack, kWiring3}));
  EXPECT_EQ(p.OffsetsSince(mark), (std::vector<uint64_t>{0, 300, 900, 1200, 1800}));
  EXPECT_EQ(p.clock.ElapsedMs() - start, 2100u);
  EXPECT_EQ(p.MessagesSince(0), std::vector<std::string>{"设置仪表参数成功"});
  EXPECT_EQ(p.Dlg().m_ptRatio, 100u);
  EXPECT_EQ(p.Dlg().m_ctRatio, 5u);
  EXPECT_EQ(p.Dlg().m_wiringMode, 3);
  EXPECT_EQ(p.Meter().meter().ptRatio(), 100);
  EXPECT_EQ(p.Meter().meter().ctRatio(), 5);
  EXPECT_EQ(p.Meter().meter().wiring(), 3);
  EXPECT_TRUE(p.PollTimerRunning());
}

// The meter leaves out its Nth reply, or answers after the 300 ms wait (its late reply is
// dropped): each failing step shows its message, and the first failed write ends the command.
TEST(MeterSettings, AFailedWriteEndsTheCommandAFailedReadBackGoesOn) {
  struct Case {
    const char* name;
    uint32_t dropEveryNth, delayMs;
    size_t framesSent;
    std::vector<std::string> messages;
    uint32_t pt, ct;
    uint8_t wiring;
  };
  const std::string kReadBackFailed = "读取更新后参数不成功";
  const Case cases[] = {
      {"PT write", 1, 20, 1, {"设置PT不成功"}, 1, 1, 0},
      {"read-backs", 2, 20, 5, {kReadBackFailed, kReadBackFailed, "设置仪表参数成功"}, 100, 5, 3},
      {"CT write", 3, 20, 3, {"设置CT不成功"}, 100, 1, 0},
      {"wiring write", 5, 20, 5, {"设置接线方式不成功"}, 100, 5, 0},
      {"late meter", 0, 350, 1, {"设置PT不成功"}, 1, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MeterConfig meter;
    meter.faults.dropEveryNth = c.dropEveryNth;
    meter.responseDelayMs = c.delayMs;
    MainDialogHarness p(SimulatedMeter(meter));
    const size_t mark = p.Mark();
    Enter(p, "100", "5", meter_set_ids::kThreePhaseThreeWireBalancedRadio);
    p.Click(kMeterSettingsButton);
    const auto frames = p.FramesSince(mark);
    ASSERT_EQ(frames.size(), c.framesSent);
    EXPECT_EQ(frames[0], kPt100);
    EXPECT_EQ(p.MessagesSince(0), c.messages);
    EXPECT_EQ(p.Dlg().m_ptRatio, c.pt);
    EXPECT_EQ(p.Dlg().m_ctRatio, c.ct);
    EXPECT_EQ(p.Dlg().m_wiringMode, c.wiring);
    EXPECT_EQ(p.Meter().GetInBufferCount(), 0);
    EXPECT_TRUE(p.PollTimerRunning());
  }
}

TEST(MeterSettings, InvalidEntryKeepsTheDialogOpenAndCancelSendsNothing) {
  MainDialogHarness p(SimulatedMeter());
  const size_t mark = p.Mark();
  p.host.ScriptModal(meter_set_ids::kTemplateId, [&p](kt::ui::Dialog& d) {
    p.host.Type(d, meter_set_ids::kPtEdit, "64001");
    p.host.Click(d, kt::ui::IDOK);
    p.Meter().InjectBytes({0xAB});
    p.host.Click(d, kt::ui::IDCANCEL);
  });
  p.Click(kMeterSettingsButton);
  EXPECT_EQ(p.MessagesSince(0), std::vector<std::string>{"请输入一个介于 1 和 64000 之间的整数。"});
  EXPECT_TRUE(p.FramesSince(mark).empty());
  EXPECT_EQ(p.Dlg().m_ptRatio, 1u);
  EXPECT_EQ(p.Meter().GetInBufferCount(), 0);  // discarded on the cancel path
  EXPECT_TRUE(p.PollTimerRunning());
}

// The dialog opens on the ratios and the wiring code the monitor holds (read by polling, or a
// code with no radio of its own); what the user leaves or types goes out as the register table
// lays it out: PT at 0x000E and CT at 0x0012 as two registers, low word first, wiring at 0x0002.
TEST(MeterSettings, PresetsAndEntriesGoOutAsTheirRegisters) {
  namespace m = meter_set_ids;
  struct Row {
    const char* name;
    uint16_t pt, ct;  // the meter's ratios; polled first when not 1
    uint8_t code;     // the meter's wiring code when polled, else the monitor's
    const char *typedPt, *typedCt;
    int radio, shown;  // clicked, and checked on opening; 0: none
    uint16_t ptSent, ctSent;
    uint8_t wiringSent;
  };
  // clang-format off
  const Row rows[] = {
      {"ratio limits", 1, 1, 0, "64000", "1", m::kThreePhaseFourWireUnbalancedRadio,
       m::kThreePhaseFourWireUnbalancedRadio, 64000, 1, 0},
      {"read by polling", 200, 30, 4, nullptr, nullptr, 0, m::kSinglePhaseThreeWireRadio,
       200, 30, 4},
      {"code 3", 1, 1, 3, "100", "5", 0, m::kThreePhaseThreeWireBalancedRadio, 100, 5, 3},
      {"code 5", 1, 1, 5, "100", "5", 0, m::kThreePhaseFourWireBalancedRadio, 100, 5, 5},
      // Codes without a radio go back to the meter as they were.
      {"code 6", 1, 1, 6, "100", "5", 0, 0, 100, 5, 6},
      {"code 255", 1, 1, 255, "100", "5", 0, 0, 100, 5, 255},
  };
  // clang-format on
  const auto ratioWrite = [](uint8_t reg, uint16_t value) {
    return WithCrc({0x01, 0x10, 0x00, reg, 0x00, 0x02, 0x04, static_cast<uint8_t>(value >> 8),
                    static_cast<uint8_t>(value & 0xFF), 0x00, 0x00});
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    MainDialogHarness p(SimulatedMeter(Configured(r.pt, r.ct, r.code)));
    if (r.pt != 1) {
      ASSERT_TRUE(p.PollUntil(3));
    } else {
      p.Dlg().m_wiringMode = r.code;
    }
    p.host.ScriptModal(m::kTemplateId, [&p, &r](kt::ui::Dialog& d) {
      EXPECT_EQ(p.host.Control(d, m::kPtEdit).text, std::to_string(r.pt));
      EXPECT_EQ(p.host.Control(d, m::kCtEdit).text, std::to_string(r.ct));
      for (int id = m::kFirstWiringRadio; id <= m::kLastWiringRadio; ++id)
        EXPECT_EQ(p.host.Control(d, id).checked, id == r.shown) << id;
      if (r.typedPt != nullptr) p.host.Type(d, m::kPtEdit, r.typedPt);
      if (r.typedCt != nullptr) p.host.Type(d, m::kCtEdit, r.typedCt);
      if (r.radio != 0) p.host.Click(d, r.radio);
      p.host.Click(d, kt::ui::IDOK);
    });
    const size_t mark = p.Mark();
    p.Click(kMeterSettingsButton);
    const auto frames = p.FramesSince(mark);
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames[0], ratioWrite(0x0E, r.ptSent));
    EXPECT_EQ(frames[2], ratioWrite(0x12, r.ctSent));
    EXPECT_EQ(frames[4], WriteSingle(1, 0x0002, r.wiringSent));
    EXPECT_EQ(p.Dlg().m_wiringMode, r.wiringSent);
    EXPECT_EQ(p.Meter().meter().ptRatio(), r.ptSent);
    // The new ratios scale the next blocks, and polling goes on from where it stood.
    EXPECT_TRUE(p.MeasurementsFlow());
  }
}
