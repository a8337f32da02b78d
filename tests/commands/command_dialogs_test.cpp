// The meter settings and slave address dialogs: presets, radios and validation.
#include <gtest/gtest.h>

#include <string>

#include "InMemoryHost.h"
#include "commands/AddrDialogIds.h"
#include "commands/AddrDialogTemplate.h"
#include "commands/CAddrDlg.h"
#include "commands/CMeterSetDlg.h"
#include "commands/MeterSetDialogIds.h"

using namespace kt::ui;

namespace {

struct HostFixture {
  kt::modbus::VirtualClock clock;
  InMemoryHost host{clock};
};

const std::string kUnsignedPrompt = "请输入一个正整数。";
const std::string kRatioPrompt = "请输入一个介于 1 和 64000 之间的整数。";

}  // namespace

// (The preset ratios and the radio of each wiring code, one without a radio among them:
// meter_settings_test, through the command.)

TEST(CMeterSetDlg, ARadioClickSelectsOnlyItAndSetsItsCode) {
  HostFixture f;
  CMeterSetDlg dlg(f.host);
  dlg.m_pt = dlg.m_ct = 1;
  dlg.m_wiringCode = 0;
  f.host.ScriptModal(meter_set_ids::kTemplateId, [&](Dialog& d) {
    f.host.Click(d, meter_set_ids::kSinglePhaseThreeWireRadio);
    f.host.Click(d, meter_set_ids::kSinglePhaseTwoWireRadio);
    for (int id = meter_set_ids::kFirstWiringRadio; id <= meter_set_ids::kLastWiringRadio; ++id)
      EXPECT_EQ(f.host.Control(d, id).checked, id == meter_set_ids::kSinglePhaseTwoWireRadio);
    f.host.Click(d, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_wiringCode, 1);
}

TEST(CMeterSetDlg, RatiosOutside1To64000KeepTheDialogOpen) {
  struct Case {
    const char* pt;
    const char* ct;
    std::string prompt;
  };
  const Case cases[] = {
      {"0", "5", kRatioPrompt},       {"64001", "5", kRatioPrompt}, {"100", "0", kRatioPrompt},
      {"abc", "5", kUnsignedPrompt},  {"", "5", kUnsignedPrompt},   {"-1", "5", kUnsignedPrompt},
      {"100", "7x", kUnsignedPrompt},
  };
  for (const auto& c : cases) {
    HostFixture f;
    CMeterSetDlg dlg(f.host);
    dlg.m_pt = 7;
    dlg.m_ct = 9;
    f.host.ScriptModal(meter_set_ids::kTemplateId, [&](Dialog& d) {
      f.host.Type(d, meter_set_ids::kPtEdit, c.pt);
      f.host.Type(d, meter_set_ids::kCtEdit, c.ct);
      f.host.Click(d, IDOK);
    });
    // Still open when the script ends: the host then closes it with Cancel.
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.pt << "/" << c.ct;
    EXPECT_EQ(f.host.UnscriptedModals(), 1);
    ASSERT_EQ(f.host.Messages().size(), 1u);
    EXPECT_EQ(f.host.Messages()[0].text, c.prompt);
  }
}

TEST(CAddrDlg, OpensOnTheSelectedZeroAndTakesOnlyAddressesAMeterMayHave) {
  struct Case {
    const char* text;
    bool accepted;
  };
  const Case cases[] = {{"0", false},   {"1", true},    {"247", true},  {"248", false},
                        {"255", false}, {" 17 ", true}, {"abc", false}, {"", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    HostFixture f;
    CAddrDlg dlg(f.host);
    f.host.ScriptModal(addr_ids::kTemplateId, [&](Dialog& d) {
      EXPECT_EQ(f.host.Control(d, addr_ids::kNewAddressEdit).text, "0");
      EXPECT_EQ(f.host.FocusedControl(d), addr_ids::kNewAddressEdit);
      EXPECT_TRUE(f.host.FocusedTextSelected(d));  // typed digits replace the 0
      f.host.Type(d, addr_ids::kNewAddressEdit, c.text);
      f.host.Click(d, IDOK);
      // Refused: still open, the text selected again for the next try.
      EXPECT_EQ(f.host.IsOpen(d), !c.accepted);
      if (!c.accepted) {
        EXPECT_TRUE(f.host.FocusedTextSelected(d));
      }
    });
    EXPECT_EQ(dlg.DoModal(), c.accepted ? IDOK : IDCANCEL);
    if (c.accepted) {
      EXPECT_TRUE(f.host.Messages().empty());
      EXPECT_EQ(dlg.m_newAddress, std::stoi(c.text));
    } else {
      EXPECT_EQ(f.host.Messages().size(), 1u);
      EXPECT_EQ(f.host.Messages().at(0).text, kt::ui::kSlaveAddressRangePrompt);
    }
  }
}

TEST(CAddrDlg, TemplateKeepsItsControlsWhereTheyStandAndTheBroadcastNoteBelowThem) {
  const DialogTemplate& t = AddrDialogTemplate();
  struct Placed {
    int id;
    const char* text;
    DuRect rect;
  };
  const Placed documented[] = {
      {IDOK, "OK", {27, 57, 50, 14}},
      {IDCANCEL, "Cancel", {107, 57, 50, 14}},
      {IDC_STATIC, "更改子机地址：", {16, 13, 59, 11}},
      {addr_ids::kNewAddressEdit, "", {73, 29, 43, 14}},
  };
  ASSERT_EQ(t.controls.size(), std::size(documented) + 2);
  for (size_t i = 0; i < std::size(documented); ++i) {
    SCOPED_TRACE(documented[i].text);
    const ControlTemplate& c = t.controls[i];
    EXPECT_EQ(c.id, documented[i].id);
    EXPECT_EQ(std::string(c.text), documented[i].text);
    EXPECT_EQ(c.rect.x, documented[i].rect.x);
    EXPECT_EQ(c.rect.y, documented[i].rect.y);
    EXPECT_EQ(c.rect.width, documented[i].rect.width);
    EXPECT_EQ(c.rect.height, documented[i].rect.height);
  }
  // As wide as ever, only taller; the note inside it, overlapping no control.
  EXPECT_EQ(t.widthDu, 180);
  EXPECT_GT(t.heightDu, 85);
  EXPECT_EQ(std::string(t.controls[4].text) + t.controls[5].text,
            "以广播方式发送：总线上所有仪表都会改为此地址。");
  for (size_t i = 4; i < t.controls.size(); ++i) {
    const DuRect& line = t.controls[i].rect;
    EXPECT_LE(line.x + line.width, t.widthDu);
    EXPECT_LE(line.y + line.height, t.heightDu);
    for (size_t j = 0; j < i; ++j) {
      const DuRect& p = t.controls[j].rect;
      const bool apart = line.y + line.height <= p.y || p.y + p.height <= line.y ||
                         line.x + line.width <= p.x || p.x + p.width <= line.x;
      EXPECT_TRUE(apart) << i << " and " << j;
    }
  }
}
