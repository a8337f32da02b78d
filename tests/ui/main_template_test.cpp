// Templates 102 and 130: the controls the other parts rely on, and a layout without overlaps.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "serial/LineSettingsTable.h"
#include "ui/CommSetDialogIds.h"
#include "ui/CommSetDialogTemplate.h"
#include "ui/MainDialogIds.h"
#include "ui/MainDialogTemplate.h"
#include "ui/dialog/WindowHost.h"

using namespace kt::ui;

namespace {

bool Overlap(const DuRect& a, const DuRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool SameRect(const DuRect& a, const DuRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// Labels and group boxes have no identifier; they are found by their text.
const ControlTemplate* FindUnnamed(const DialogTemplate& t, ControlKind kind, const char* text) {
  for (const auto& c : t.controls) {
    if (c.id == IDC_STATIC && c.kind == kind && std::string(c.text) == text) return &c;
  }
  return nullptr;
}

TEST(MainDialogTemplate, CaptionSizeAndStyle) {
  const DialogTemplate& t = MainDialogTemplate();
  EXPECT_EQ(t.id, 102);
  EXPECT_STREQ(t.caption, "7340智能电力检测仪---Tenbrook");
  EXPECT_EQ(t.widthDu, 383);
  EXPECT_GE(t.heightDu, 319);
  EXPECT_STREQ(t.fontName, "宋体");
  EXPECT_EQ(t.fontPointSize, 9);
  EXPECT_TRUE(t.Has(kSysMenu) && t.Has(kMinimizeBox) && t.Has(kCaption) && t.Has(kModalFrame));
  EXPECT_FALSE(t.Has(kMaximizeBox));
}

// Identifiers are unique; the named measurement boxes are 34 of them, read-only edits.
TEST(MainDialogTemplate, IdentifiersAreUniqueAndTheMeasurementBoxesReadOnlyEdits) {
  const DialogTemplate& t = MainDialogTemplate();
  std::set<int> seen;
  for (const auto& c : t.controls) {
    if (c.id == IDC_STATIC) continue;
    EXPECT_TRUE(seen.insert(c.id).second) << "duplicate " << c.id;
  }
  std::set<int> boxes;
  for (int id : main_ids::kMeasurementBoxes) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(boxes.insert(id).second);
    const ControlTemplate* c = t.Find(id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->kind, ControlKind::Edit);
    EXPECT_TRUE(c->Has(kReadOnly));
  }
  EXPECT_EQ(boxes.size(), 34u);
}

// The controls where the layout puts them; labels and group boxes (no identifier) found by their
// text, a 0 in their rectangles not fixed by the layout.
TEST(MainDialogTemplate, ControlsOfTheLayout) {
  const DialogTemplate& t = MainDialogTemplate();
  struct Expect {
    int id;
    ControlKind kind;
    const char* text;
    DuRect rect;
  };
  constexpr ControlKind L = ControlKind::Label;
  constexpr ControlKind G = ControlKind::GroupBox;
  constexpr ControlKind E = ControlKind::Edit;
  constexpr ControlKind P = ControlKind::PushButton;
  constexpr ControlKind C = ControlKind::SerialControl;
  constexpr int S = IDC_STATIC;
  const Expect unnamed[] = {
      {S, L, "子机地址", {15, 11, 31, 8}},   {S, G, "基本数据", {7, 25, 292, 161}},
      {S, G, "电能数据", {7, 185, 292, 40}}, {S, L, "接收帧:", {213, 231, 31, 9}},
      {S, L, "发送帧:", {45, 232, 27, 8}},   {S, L, "  合相", {56, 46, 0, 0}},
      {S, L, "A相/CA线", {109, 46, 0, 0}},   {S, L, "B相/AB线", {174, 46, 0, 0}},
      {S, L, "C相/BC线", {229, 46, 0, 0}},   {S, L, "相 电 压", {13, 59, 0, 0}},
      {S, L, "线 电 压", {13, 75, 0, 0}},    {S, L, "相 电 流", {13, 91, 0, 0}},
      {S, L, "有功功率", {13, 107, 0, 0}},   {S, L, "无功功率", {13, 123, 0, 0}},
      {S, L, "视在功率", {13, 139, 0, 0}},   {S, L, "功率因数", {13, 155, 0, 0}},
      {S, L, "频    率", {14, 171, 0, 0}},   {S, L, "零序电流", {0, 171, 0, 0}},
      {S, L, "正向有功电能", {0, 0, 0, 0}},  {S, L, "负向有功电能", {0, 0, 0, 0}},
      {S, L, "正向无功电能", {0, 0, 0, 0}},  {S, L, "负向无功电能", {0, 0, 0, 0}},
  };
  const Expect named[] = {
      {1061, E, "", {56, 9, 37, 14}},
      {1057, E, "", {313, 30, 56, 46}},
      {1008, C, "", {7, 32, 22, 23}},
      {1062, P, "轮询地址", {313, 85, 55, 15}},
      {1063, P, "运行", {313, 111, 55, 15}},
      {1007, P, "更改子机地址", {313, 137, 55, 15}},
      {1004, P, "通讯设置", {313, 166, 55, 15}},
      {1006, P, "仪表设置", {313, 194, 55, 15}},
      {1091, P, "刷新Urg值", {313, 241, 55, 15}},
      {1021, E, "", {14, 242, 137, 63}},
      {1022, E, "", {160, 242, 140, 65}},
      {1009, P, "修改精度", {313, 254, 55, 15}},
      {1050, E, "", {168, 170, 53, 12}},
      {1049, E, "", {52, 170, 53, 12}},
      {1053, E, "", {13, 208, 65, 12}},
      {1054, E, "", {83, 208, 66, 12}},
      {1055, E, "", {153, 208, 65, 12}},
      {1056, E, "", {223, 208, 62, 12}},
      {IDCANCEL, P, "退  出", {313, 223, 55, 15}},
  };
  std::vector<Expect> expected(std::begin(unnamed), std::end(unnamed));
  expected.insert(expected.end(), std::begin(named), std::end(named));
  for (const Expect& e : expected) {
    const ControlTemplate* c = e.id == IDC_STATIC ? FindUnnamed(t, e.kind, e.text) : t.Find(e.id);
    ASSERT_NE(c, nullptr) << e.id << " " << e.text;
    EXPECT_EQ(c->kind, e.kind) << e.id;
    EXPECT_STREQ(c->text, e.text) << e.id;
    const int shown[] = {c->rect.x, c->rect.y, c->rect.width, c->rect.height};
    const int laid[] = {e.rect.x, e.rect.y, e.rect.width, e.rect.height};
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(laid[i] == 0 || shown[i] == laid[i]) << e.text << i;
  }
  // The grid: rows of four at the listed columns, all read-only with a static edge.
  const int rows[7][4] = {{1000, 1001, 1002, 1003}, {1025, 1026, 1027, 1028},
                          {1029, 1030, 1031, 1032}, {1033, 1034, 1035, 1036},
                          {1037, 1038, 1039, 1040}, {1041, 1042, 1043, 1044},
                          {1045, 1046, 1047, 1048}};
  const int columns[4] = {52, 110, 168, 226};
  for (int r = 0; r < 7; ++r) {
    for (int col = 0; col < 4; ++col) {
      const ControlTemplate* c = t.Find(rows[r][col]);
      ASSERT_NE(c, nullptr) << rows[r][col];
      EXPECT_EQ(c->rect.x, columns[col]);
      EXPECT_EQ(c->rect.y, 58 + 16 * r);
      EXPECT_EQ(c->rect.width, 53);
      EXPECT_EQ(c->rect.height, 12);
    }
  }
  for (int id : {main_ids::kPhaseVoltageTotalBox, main_ids::kLineVoltageMeanBox,
                 main_ids::kFrequencyBox, main_ids::kZeroSequenceCurrentBox,
                 main_ids::kForwardActiveEnergyBox, main_ids::kReverseReactiveEnergyBox,
                 main_ids::kInformationBox, main_ids::kSendEcho, main_ids::kReceiveEcho}) {
    EXPECT_TRUE(t.Find(id)->Has(kReadOnly)) << id;
    EXPECT_EQ(ColorTypeOf(*t.Find(id)), CtlColorType::Static) << id;
  }
  EXPECT_TRUE(t.Find(main_ids::kSendEcho)->Has(kMultiLine) &&
              t.Find(main_ids::kSendEcho)->Has(kVScroll));
  EXPECT_TRUE(t.Find(main_ids::kReceiveEcho)->Has(kMultiLine) &&
              t.Find(main_ids::kReceiveEcho)->Has(kVScroll));
  EXPECT_TRUE(t.Find(main_ids::kInformationBox)->Has(kMultiLine));
  EXPECT_FALSE(t.Find(main_ids::kSlaveAddressEdit)->Has(kReadOnly));
  for (int id : {main_ids::kRefreshUrgButton, main_ids::kAccuracyClassButton}) {
    EXPECT_TRUE(t.Find(id)->Has(kHidden) && t.Find(id)->Has(kDisabled)) << id;
  }
  // No controls for the four parameter values.
  for (int id : {main_ids::kPhaseVoltageParameterBox, main_ids::kLineVoltageParameterBox,
                 main_ids::kCurrentParameterBox, main_ids::kZeroSequenceParameterBox})
    EXPECT_EQ(t.Find(id), nullptr) << id;
}

TEST(MainDialogTemplate, StatusControlsAreVisibleReadOnlyAndInside) {
  const DialogTemplate& t = MainDialogTemplate();
  // The limit status and the link status boxes.
  for (int id :
       {main_ids::kVoltageStatus1Box, main_ids::kVoltageStatus2Box, main_ids::kVoltageStatus3Box,
        main_ids::kVoltageStatus4Box, main_ids::kCurrentStatus1Box, main_ids::kCurrentStatus2Box,
        main_ids::kCurrentStatus3Box, main_ids::kCurrentStatus4Box, main_ids::kLinkStateBox,
        main_ids::kLinkDeviceBox, main_ids::kLinkCounterBox, main_ids::kLinkLastDataBox,
        main_ids::kRecordingNoteBox}) {
    const ControlTemplate* c = t.Find(id);
    ASSERT_NE(c, nullptr) << id;
    EXPECT_TRUE(c->Has(kReadOnly)) << id;
    EXPECT_FALSE(c->Has(kHidden) || c->Has(kDisabled)) << id;
    EXPECT_LE(c->rect.x + c->rect.width, t.widthDu) << id;
    EXPECT_LE(c->rect.y + c->rect.height, t.heightDu) << id;
  }
}

TEST(MainDialogTemplate, NoVisibleControlCoversAnother) {
  // Group boxes frame other controls by design, and the serial control is never drawn.
  std::vector<const ControlTemplate*> drawn;
  for (const auto& c : MainDialogTemplate().controls) {
    if (c.kind == ControlKind::GroupBox || c.kind == ControlKind::SerialControl) continue;
    if (c.Has(kHidden)) continue;
    drawn.push_back(&c);
  }
  for (size_t i = 0; i < drawn.size(); ++i) {
    for (size_t j = i + 1; j < drawn.size(); ++j) {
      EXPECT_FALSE(Overlap(drawn[i]->rect, drawn[j]->rect))
          << drawn[i]->text << " (" << drawn[i]->id << ") and " << drawn[j]->text << " ("
          << drawn[j]->id << ")";
    }
  }
}

TEST(MainDialogTemplate, StatusBandHoldsOnlyTheStatusControls) {
  const DialogTemplate& t = MainDialogTemplate();
  const ControlTemplate* band = FindUnnamed(t, ControlKind::GroupBox, "越限状态");
  ASSERT_NE(band, nullptr);
  const std::set<int> status = {main_ids::kVoltageStatus1Box, main_ids::kVoltageStatus2Box,
                                main_ids::kVoltageStatus3Box, main_ids::kVoltageStatus4Box,
                                main_ids::kCurrentStatus1Box, main_ids::kCurrentStatus2Box,
                                main_ids::kCurrentStatus3Box, main_ids::kCurrentStatus4Box};
  for (const auto& c : t.controls) {
    if (&c == band || !Overlap(c.rect, band->rect)) continue;
    const std::string text = c.text;
    const bool ownLabel =
        c.kind == ControlKind::Label && (text.rfind("电压", 0) == 0 || text.rfind("电流", 0) == 0);
    EXPECT_TRUE(status.count(c.id) != 0 || ownLabel) << c.id << " " << c.text;
  }
}

TEST(CommSetDialogTemplate, CaptionSizeStyleAndControls) {
  const DialogTemplate& t = CommSetDialogTemplate();
  EXPECT_EQ(t.id, 130);
  EXPECT_STREQ(t.caption, "通讯设置");
  EXPECT_EQ(t.widthDu, 187);
  EXPECT_EQ(t.heightDu, 171);  // grown below the settings for the port list
  EXPECT_STREQ(t.fontName, "宋体");
  EXPECT_EQ(t.fontPointSize, 10);
  EXPECT_TRUE(t.Has(kCaption) && t.Has(kModalFrame));
  EXPECT_FALSE(t.Has(kSysMenu));  // no close box
  using K = ControlKind;
  struct Expect {
    int id;
    K kind;
    const char* text;
    DuRect rect;
    uint32_t flags;  // that must be set
  };
  constexpr uint32_t kRadio = kAutoRadio | kGroup;
  // In template order.
  const Expect expected[] = {
      {IDOK, K::PushButton, "确    定", {138, 55, 42, 14}, kDefaultButton},
      {IDCANCEL, K::PushButton, "退    出", {137, 82, 43, 14}, kNoStyle},
      {1009, K::RadioButton, "1200bps", {17, 14, 48, 15}, kRadio},
      {1010, K::RadioButton, "2400bps", {17, 31, 48, 15}, kRadio},
      {1011, K::RadioButton, "4800bps", {17, 46, 48, 15}, kRadio},
      {1012, K::RadioButton, "9600bps", {17, 64, 48, 15}, kRadio},
      {1013, K::RadioButton, "19200bps", {17, 81, 48, 15}, kRadio},
      {1014, K::RadioButton, "无校验", {77, 49, 42, 15}, kRadio},
      {1015, K::RadioButton, "奇校验", {77, 64, 42, 15}, kRadio},
      {1016, K::RadioButton, "偶校验", {77, 78, 42, 15}, kRadio},
      {IDC_STATIC, K::GroupBox, "波特率", {13, 7, 54, 90}, kNoStyle},
      {IDC_STATIC, K::GroupBox, "校验位", {71, 41, 56, 55}, kNoStyle},
      {1000, K::Edit, "", {95, 17, 28, 14}, kBorder | kAutoHScroll},
      {IDC_STATIC, K::Label, "COM：", {74, 21, 20, 8}, kNoStyle},
      {IDC_STATIC, K::GroupBox, "串口选择", {71, 7, 56, 29}, kNoStyle},
      {IDC_STATIC, K::Label, "可用串口", {13, 102, 60, 8}, kNoStyle},
      {1017, K::ListBox, "", {13, 112, 167, 52}, kBorder},
      {1018, K::PushButton, "自动查找…", {125, 98, 55, 13}, kTabStop},
  };
  ASSERT_EQ(t.controls.size(), std::size(expected));
  // The finder's button was added where nothing was: inside the dialog, clear of every control.
  const DuRect find = t.controls.back().rect;
  EXPECT_LE(find.x + find.width, t.widthDu);
  EXPECT_LE(find.y + find.height, t.heightDu);
  for (size_t i = 0; i + 1 < t.controls.size(); ++i) {
    EXPECT_FALSE(Overlap(find, t.controls[i].rect)) << t.controls[i].text;
  }
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Expect& e = expected[i];
    const ControlTemplate& c = t.controls[i];
    EXPECT_EQ(c.id, e.id) << i;
    EXPECT_EQ(c.kind, e.kind) << i;
    EXPECT_STREQ(c.text, e.text) << i;
    EXPECT_TRUE(SameRect(c.rect, e.rect)) << e.text;
    EXPECT_EQ(c.style & e.flags, e.flags) << e.text;
    EXPECT_FALSE(c.Has(kReadOnly) || c.Has(kHidden) || c.Has(kDisabled)) << e.text;
  }
}

}  // namespace

// Each radio of the communication settings dialog stands for the table row of its index.
TEST(CommSetDialogTemplate, RadiosFollowTheLineSettingsTable) {
  const DialogTemplate& t = CommSetDialogTemplate();
  for (size_t i = 0; i < kt::serial::kBaudRows.size(); ++i) {
    const ControlTemplate* radio = t.Find(comm_set_ids::kBaudRadios[i]);
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(std::string(radio->text), std::to_string(kt::serial::kBaudRows[i].baudRate) + "bps");
  }
  for (size_t i = 0; i < kt::serial::kParityRows.size(); ++i) {
    const ControlTemplate* radio = t.Find(comm_set_ids::kParityRadios[i]);
    ASSERT_NE(radio, nullptr);
    // The information box names the parity as its radio does.
    EXPECT_EQ("校验位:" + std::string(radio->text), kt::serial::kParityRows[i].informationLine);
  }
}
