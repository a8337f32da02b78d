// Status texts, limit status flags and colours; where the decoder takes the status pair from.
#include <gtest/gtest.h>

#include <array>

#include "MainDialogHarness.h"
#include "measure/LimitStatus.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using namespace kt::ui::main_ids;
using kt::ui::CtlColorType;

namespace {

constexpr std::array<int, 4> kVoltageBoxes = {kVoltageStatus1Box, kVoltageStatus2Box,
                                              kVoltageStatus3Box, kVoltageStatus4Box};
constexpr std::array<int, 4> kCurrentBoxes = {kCurrentStatus1Box, kCurrentStatus2Box,
                                              kCurrentStatus3Box, kCurrentStatus4Box};

struct StatusCase {
  uint8_t byte;
  std::array<const char*, 4> voltageTexts;
  std::array<const char*, 4> currentTexts;
  std::array<int, 4> flags;
};

class UpdateStatusTest : public ::testing::Test,
                         public MainDialogHarness,
                         public ::testing::WithParamInterface<StatusCase> {};

TEST_P(UpdateStatusTest, TextsAndFlagsFollowTheCodes) {
  const StatusCase& c = GetParam();
  auto& d = Open();
  // Start from the opposite state so that clearing a flag is seen too.
  d.m_limitStatus.fill(1);
  d.UpdateStatus(c.byte, c.byte);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Text(kVoltageBoxes[i]), c.voltageTexts[i]) << "voltage item " << i;
    EXPECT_EQ(Text(kCurrentBoxes[i]), c.currentTexts[i]) << "current item " << i;
    EXPECT_EQ(d.m_limitStatus[i], c.flags[i]);
    EXPECT_EQ(d.m_limitStatus[4 + i], c.flags[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, UpdateStatusTest,
    ::testing::Values(
        StatusCase{
            0x00, {"正常", "正常", "正常", "正常"}, {"正常", "正常", "正常", "正常"}, {0, 0, 0, 0}},
        StatusCase{
            0x40, {"欠压", "正常", "正常", "正常"}, {"欠流", "正常", "正常", "正常"}, {1, 0, 0, 0}},
        StatusCase{
            0x9B, {"过压", "欠压", "过压", "正常"}, {"过流", "欠流", "过流", "正常"}, {1, 1, 1, 0}},
        StatusCase{
            0xFF, {"正常", "正常", "正常", "正常"}, {"正常", "正常", "正常", "正常"}, {0, 0, 0, 0}},
        StatusCase{0x21,
                   {"正常", "过压", "正常", "欠压"},
                   {"正常", "过流", "正常", "欠流"},
                   {0, 1, 0, 1}}));

class StatusColourTest : public ::testing::Test, public MainDialogHarness {};

TEST_F(StatusColourTest, AlarmIsRedOnPaleCyanUntilTheNextNormalBlock) {
  auto& d = Open();
  d.UpdateStatus(0x80, 0x00);  // voltage item 1 over, everything else normal
  const auto& alarm = host.Control(d, kVoltageStatus1Box);
  EXPECT_EQ(alarm.repaints, 1);
  EXPECT_FALSE(alarm.lastColor.useDefault);
  EXPECT_TRUE(alarm.lastColor.transparentBackground);
  EXPECT_EQ(alarm.lastColor.textColor, kt::ui::kRed);
  EXPECT_EQ(alarm.lastColor.brushColor, 0x00F9F0B5u);
  // Items whose alarm did not turn, and one reporting the same alarm again, are not drawn again.
  EXPECT_EQ(host.Control(d, kCurrentStatus1Box).repaints, 0);
  d.UpdateStatus(0x80, 0x00);
  EXPECT_EQ(alarm.repaints, 1);

  d.UpdateStatus(0x00, 0x00);
  EXPECT_EQ(host.Control(d, kVoltageStatus1Box).repaints, 2);
  EXPECT_EQ(host.Control(d, kVoltageStatus1Box).lastColor.textColor, kt::ui::kBlack);
}

TEST_F(StatusColourTest, OnlyStatusBoxesAreColoured) {
  auto& d = Open();
  d.m_limitStatus.fill(1);
  // The read-only status boxes report Static and keep their alarm colour...
  EXPECT_EQ(d.OnCtlColor(kVoltageStatus1Box, CtlColorType::Static).textColor, kt::ui::kRed);
  EXPECT_FALSE(d.OnCtlColor(kVoltageStatus1Box, CtlColorType::Static).useDefault);
  // ...as does an editable box that is not a status control, and a data box.
  EXPECT_TRUE(d.OnCtlColor(kSlaveAddressEdit, CtlColorType::Edit).useDefault);
  d.RedrawControl(kPhaseVoltageABox);
  EXPECT_TRUE(host.Control(d, kPhaseVoltageABox).lastColor.useDefault);
  // The handler itself changes no flag.
  d.OnCtlColor(kVoltageStatus1Box, CtlColorType::Edit);
  EXPECT_EQ(d.m_limitStatus[0], 1);
}

// The status pair is taken from right after the matched reply, in the same read (wherever the
// reply starts: poll_cycle_test's ReceiveEchoTest).
class StatusPairTest : public ::testing::Test, public MainDialogHarness {
 protected:
  void PlaceBlockAt(int framePos, const Bytes& trailer, int16_t count) {
    auto& d = *dialog;
    d.m_receiveBuffer.fill(0x55);  // whatever earlier reads left (0x55: codes 1 everywhere)
    const Bytes block = ReadReply(1, std::vector<uint16_t>(45, 0));
    std::copy(block.begin(), block.end(), d.m_receiveBuffer.begin() + framePos);
    std::copy(trailer.begin(), trailer.end(), d.m_receiveBuffer.begin() + framePos + 95);
    d.m_pollReceiveCount = count;
  }
};

TEST_F(StatusPairTest, ReadWithoutThePairKeepsTheStatus) {
  auto& d = Open();
  d.UpdateStatus(0x00, 0x40);
  const int repaints = host.Control(d, kVoltageStatus1Box).repaints;
  // Only the 95 reply bytes (and one byte of the pair) came with this read.
  PlaceBlockAt(0, {0x80, 0x80}, 96);
  d.DecodeMeasurementBlock(3);
  EXPECT_EQ(Text(kVoltageStatus1Box), "正常");
  EXPECT_EQ(Text(kCurrentStatus1Box), "欠流");
  EXPECT_EQ(d.m_limitStatus[4], 1);
  EXPECT_EQ(host.Control(d, kVoltageStatus1Box).repaints, repaints);
  EXPECT_FALSE(Text(kPhaseVoltageABox).empty());  // the values themselves were decoded
}

}  // namespace
