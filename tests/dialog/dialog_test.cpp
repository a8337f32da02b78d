// The dialog base over the in-memory host: data exchange, prompts, timers, modal runs, clicks.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "InMemoryHost.h"
#include "ui/dialog/DataExchange.h"
#include "ui/dialog/Dialog.h"

using namespace kt::ui;

namespace {

constexpr ControlTemplate kControls[] = {
    {10, ControlKind::Edit, "", {0, 0, 10, 10}, kBorder},
    {11, ControlKind::Edit, "", {0, 20, 10, 10}, kBorder},
    {12, ControlKind::Edit, "", {0, 40, 10, 10}, kBorder},
    {20, ControlKind::PushButton, "hidden", {0, 60, 10, 10}, kHidden},
    {21, ControlKind::PushButton, "disabled", {0, 80, 10, 10}, kDisabled},
    {22, ControlKind::PushButton, "go", {0, 100, 10, 10}, kNoStyle},
    {IDOK, ControlKind::PushButton, "OK", {0, 120, 10, 10}, kDefaultButton},
};
const DialogTemplate kTemplate{900, "test", 100, 140, "宋体", 9, kCaption, kControls};

class FieldDialog : public Dialog {
 public:
  explicit FieldDialog(WindowHost& host) : Dialog(host, kTemplate) {}
  uint8_t byteField = 5;
  int32_t signedField = -3;
  uint32_t countField = 100;
  std::vector<int> commands;
  std::vector<unsigned> ticks;
  bool destroyed = false;

  bool OnCommand(int id) override {
    commands.push_back(id);
    return Dialog::OnCommand(id);
  }
  void OnTimer(unsigned id) override { ticks.push_back(id); }
  bool DestroyWindow() override {
    destroyed = true;
    return Dialog::DestroyWindow();
  }

 protected:
  void DoDataExchange(DataExchange& dx) override {
    DDX_Text(dx, 10, byteField);
    DDV_MinMaxByte(dx, byteField, 0, 255);
    DDX_Text(dx, 11, signedField);
    DDX_Text(dx, 12, countField);
    DDV_MinMaxUInt(dx, countField, 1, 64000);
  }
};

class DialogTest : public ::testing::Test {
 protected:
  kt::modbus::VirtualClock clock;
  InMemoryHost host{clock};
  FieldDialog d{host};
  void SetUp() override { host.Open(d); }
  std::string Text(int id) { return host.Control(d, id).text; }
};

TEST_F(DialogTest, InitialisationWritesTheFields) {
  EXPECT_EQ(Text(10), "5");
  EXPECT_EQ(Text(11), "-3");
  EXPECT_EQ(Text(12), "100");
}

// Each field's rule just inside its edge (taken) and then just outside (a prompt on the dialog,
// and the field keeps the value just taken).
TEST_F(DialogTest, EntriesAreTakenInsideTheirRangeAndPromptOutside) {
  const char* byte = "请输入一个介于 0 和 255 之间的整数。";
  const char* whole = "请输入一个整数。";
  const char* count = "请输入一个介于 1 和 64000 之间的整数。";
  struct Case {
    int id;
    const char* inside;
    int64_t value;
    const char* outside;
    const char* prompt;
  };
  const Case cases[] = {
      {10, " 255 ", 255, "256", byte},
      {10, "0", 0, "-1", byte},
      {10, "0", 0, "abc", byte},
      {11, "-2147483648", INT32_MIN, "-2147483649", whole},
      {11, "2147483647", INT32_MAX, "2147483648", whole},
      {11, "-3", -3, "1.5", whole},
      {11, "-3", -3, "", whole},
      {12, "64000", 64000, "64001", count},
      {12, "1", 1, "0", count},
  };
  for (const Case& c : cases) {
    for (const bool taken : {true, false}) {
      host.ClearMessages();
      host.Type(d, 10, "5");
      host.Type(d, 11, "-3");
      host.Type(d, 12, "100");
      host.Type(d, c.id, taken ? c.inside : c.outside);
      EXPECT_EQ(d.UpdateData(true), taken) << c.outside;
      const int64_t fields[] = {d.byteField, d.signedField, d.countField};
      const int64_t kept[] = {5, -3, 100};
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(fields[i], c.id == 10 + i ? c.value : kept[i]) << c.outside << i;
      }
      ASSERT_EQ(host.Messages().size(), taken ? 0u : 1u) << c.outside;
      if (taken) continue;
      EXPECT_EQ(host.Messages()[0].text, c.prompt) << c.outside;
      EXPECT_EQ(host.Messages()[0].ownerTemplateId, 900);
    }
  }
}

TEST_F(DialogTest, PromptIsOpenOnlyWhileItsBoxIs) {
  host.Type(d, 10, "x");
  std::vector<bool> seen;
  host.OnMessageBox([&](const std::string&) {
    seen.push_back(d.IsPromptOpen());
    if (seen.size() == 1) {
      d.UpdateData(true);  // a second prompt from inside the first
      seen.push_back(d.IsPromptOpen());
    }
  });
  EXPECT_FALSE(d.IsPromptOpen());
  d.UpdateData(true);
  EXPECT_EQ(seen, (std::vector<bool>{true, true, true}));
  EXPECT_FALSE(d.IsPromptOpen());
}

TEST_F(DialogTest, TimersFireInVirtualTimeAndRestartWhenSetAgain) {
  d.SetTimer(1, 500);
  d.SetTimer(2, 300);
  host.RunFor(1000);
  EXPECT_EQ(d.ticks, (std::vector<unsigned>{2, 1, 2, 2, 1}));
  d.ticks.clear();
  host.RunFor(400);    // to 1400: timer 2 at 1200; timer 1 would be due at 1500
  d.SetTimer(1, 500);  // restarts: next at 1900
  d.KillTimer(2);
  host.RunFor(499);
  EXPECT_EQ(d.ticks, (std::vector<unsigned>{2}));
  d.ticks.clear();
  host.RunFor(1);
  EXPECT_EQ(d.ticks, (std::vector<unsigned>{1}));
  EXPECT_EQ(host.TimerPeriod(d, 1), 500u);
  d.KillTimer(1);
  d.KillTimer(1);  // killing a stopped timer does nothing
  EXPECT_FALSE(host.TimerRunning(d, 1));
}

TEST_F(DialogTest, ZeroPeriodTimerDoesNotHang) {
  d.SetTimer(3, 0);
  host.RunFor(10);
  EXPECT_EQ(d.ticks.size(), 10u);
}

TEST_F(DialogTest, ClicksReachOnlyVisibleEnabledControls) {
  EXPECT_FALSE(host.Click(d, 20));
  EXPECT_FALSE(host.Click(d, 21));
  EXPECT_FALSE(host.Click(d, 99));
  EXPECT_TRUE(host.Click(d, 22));
  EXPECT_EQ(d.commands, (std::vector<int>{22}));
  d.ShowControl(20, true);
  EXPECT_TRUE(host.Click(d, 20));
}

// A bad entry on OK keeps the dialog open after its prompt; a good one ends it, and the ended
// dialog is gone: no longer open, its window destroyed, and a later end (a scripted Escape, or a
// handler that still calls EndDialog) does not change its result.
TEST(DialogModal, OkEndsOnlyWithGoodEntriesAndTheFirstEndCounts) {
  kt::modbus::VirtualClock clock;
  InMemoryHost host{clock};
  FieldDialog d{host};
  bool openAfterBadEntry = false;
  bool openAfterEnter = true;
  host.ScriptModal(900, [&](Dialog& dlg) {
    host.Type(dlg, 10, "999");
    host.PressEnter(dlg);
    openAfterBadEntry = host.IsOpen(dlg);
    host.Type(dlg, 10, "9");
    host.Type(dlg, 12, "7");
    host.PressEnter(dlg);
    openAfterEnter = host.IsOpen(dlg);
    host.PressEscape(dlg);
    dlg.EndDialog(IDCANCEL);
  });
  EXPECT_EQ(d.DoModal(), IDOK);
  EXPECT_TRUE(openAfterBadEntry);
  EXPECT_EQ(host.Messages().size(), 1u);
  EXPECT_FALSE(openAfterEnter);
  EXPECT_EQ(d.countField, 7u);
  EXPECT_EQ(d.byteField, 9);
  EXPECT_TRUE(d.destroyed);
  EXPECT_FALSE(host.IsOpen(d));
  EXPECT_EQ(host.UnscriptedModals(), 0);

  FieldDialog unscripted{host};
  EXPECT_EQ(unscripted.DoModal(), IDCANCEL);
  EXPECT_EQ(host.UnscriptedModals(), 1);
}

}  // namespace
