// Start-up: the communication settings dialog first, then the main dialog with its settings.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "app/CMonitorApp.h"
#include "ui/CCommSetDlg.h"
#include "ui/CMonitorDlg.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::ui::Dialog;
using namespace kt::ui::main_ids;
namespace comm_set_ids = kt::ui::comm_set_ids;

namespace {

// The application creates the main dialog itself; the harness gives it host, port and clock.
class StartUpTest : public ::testing::Test, public MainDialogHarness {
 protected:
  FakeSerialPort& line = port;
  kt::app::CMonitorApp app{host, port, clock};
};

TEST_F(StartUpTest, CancelEndsWithoutMainDialogOrPort) {
  bool presetsSeen = false;
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    presetsSeen = host.Control(d, comm_set_ids::kPortEdit).text == "1" &&
                  host.Control(d, comm_set_ids::kBaud9600Radio).checked &&
                  host.Control(d, comm_set_ids::kNoParityRadio).checked &&
                  !host.Control(d, comm_set_ids::kBaud19200Radio).checked;
    EXPECT_EQ(host.DialogBackground(), 0x00F9F0B5u);
    EXPECT_EQ(host.DialogText(), 0u);
    host.Click(d, kt::ui::IDCANCEL);
  });
  int mainRuns = 0;
  host.ScriptModal(kTemplateId, [&](Dialog&) { ++mainRuns; });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(presetsSeen);
  EXPECT_EQ(mainRuns, 0);
  EXPECT_TRUE(line.calls.empty());
}

TEST_F(StartUpTest, OkOpensTheMainDialogWithTheChosenSettings) {
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    host.Click(d, comm_set_ids::kBaud4800Radio);
    host.Click(d, comm_set_ids::kOddParityRadio);
    host.Type(d, comm_set_ids::kPortEdit, "2");
    host.Click(d, kt::ui::IDOK);
  });
  std::string info, settings, run, address;
  const Dialog* mainWindow = nullptr;
  host.ScriptModal(kTemplateId, [&](Dialog& d) {
    info = host.Control(d, kInformationBox).text;
    run = host.Control(d, kRunButton).text;
    address = host.Control(d, kSlaveAddressEdit).text;
    mainWindow = app.m_pMainWnd;
    EXPECT_EQ(&d, mainWindow);
    auto& monitor = static_cast<kt::ui::CMonitorDlg&>(d);
    EXPECT_EQ(monitor.m_pollPeriodMs, 1000u);
    host.Type(d, kSlaveAddressEdit, "1");
    host.Click(d, kRunButton);
    host.RunFor(1000);
    host.Click(d, kt::ui::IDCANCEL);  // "退  出"
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(info, "串行口: 2 \r\n\r\n波特率: 4800 \r\n\r\n校验位:奇校验");
  EXPECT_EQ(run, "运行");
  EXPECT_EQ(address, "0");
  EXPECT_EQ(line.calls.at(0), "CommPort=2");
  EXPECT_EQ(line.calls.at(1), "Settings=4800O,8,1");
  // Leaving ran the closing: the port is closed and nothing more goes out.
  EXPECT_EQ(line.calls.back(), "PortOpen=0");
  EXPECT_FALSE(line.open);
  EXPECT_EQ(line.written.size(), 1u);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_EQ(host.UnscriptedModals(), 0);
}

TEST_F(StartUpTest, PortNumberThatIsNotANumberKeepsTheSettingsDialogOpen) {
  bool stillOpen = false;
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    host.Type(d, comm_set_ids::kPortEdit, "COM1");
    host.Click(d, kt::ui::IDOK);
    stillOpen = host.IsOpen(d);
    host.Click(d, kt::ui::IDCANCEL);
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "请输入一个整数。");
}

// Enter in the main dialog ends it, and with it the program, only with a valid slave address.
TEST_F(StartUpTest, EnterEndsTheProgramOnlyWithAValidAddress) {
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) { host.Click(d, kt::ui::IDOK); });
  bool openAfterBadEnter = false;
  bool openAfterGoodEnter = true;
  host.ScriptModal(kTemplateId, [&](Dialog& d) {
    host.Type(d, kSlaveAddressEdit, "300");
    host.PressEnter(d);
    openAfterBadEnter = host.IsOpen(d);
    host.Type(d, kSlaveAddressEdit, "1");
    host.PressEnter(d);
    openAfterGoodEnter = host.IsOpen(d);
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(openAfterBadEnter);
  EXPECT_FALSE(openAfterGoodEnter);
  EXPECT_EQ(host.UnscriptedModals(), 0);  // the dialog ended itself, not by the host's cancel
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "请输入一个介于 0 和 255 之间的整数。");
  EXPECT_FALSE(line.open);
}

}  // namespace
