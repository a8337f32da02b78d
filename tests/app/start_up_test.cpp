// Start-up: the communication settings dialog first, then the main dialog with its settings.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "MainDialogHarness.h"
#include "app/CMonitorApp.h"
#include "app/StartUp.h"
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

// A port number that is not a number keeps the dialog open; Cancel ends without a main dialog.
TEST_F(StartUpTest, CancelEndsWithoutMainDialogOrPort) {
  bool presetsSeen = false;
  bool stillOpen = false;
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    presetsSeen = host.Control(d, comm_set_ids::kPortEdit).text == "1" &&
                  host.Control(d, comm_set_ids::kBaud9600Radio).checked &&
                  host.Control(d, comm_set_ids::kNoParityRadio).checked &&
                  !host.Control(d, comm_set_ids::kBaud19200Radio).checked;
    EXPECT_EQ(host.DialogBackground(), 0x00F9F0B5u);
    EXPECT_EQ(host.DialogText(), 0u);
    host.Type(d, comm_set_ids::kPortEdit, "COM1");
    host.Click(d, kt::ui::IDOK);
    stillOpen = host.IsOpen(d);
    host.Click(d, kt::ui::IDCANCEL);
  });
  int mainRuns = 0;
  host.ScriptModal(kTemplateId, [&](Dialog&) { ++mainRuns; });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_TRUE(presetsSeen);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "请输入一个整数。");
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
  // (The main dialog's presets and what each line setting makes of it: main_dialog_test.)
  std::string info;
  host.ScriptModal(kTemplateId, [&](Dialog& d) {
    info = host.Control(d, kInformationBox).text;
    EXPECT_EQ(&d, app.m_pMainWnd);
    host.Type(d, kSlaveAddressEdit, "1");
    host.Click(d, kRunButton);
    host.RunFor(1000);
    host.Click(d, kt::ui::IDCANCEL);  // "退  出"
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(info, "串行口: 2 \r\n\r\n波特率: 4800 \r\n\r\n校验位:奇校验");
  EXPECT_EQ(line.calls.at(0), "CommPort=2");
  EXPECT_EQ(line.calls.at(1), "Settings=4800O,8,1");
  // Leaving ran the closing: the port is closed and nothing more goes out.
  EXPECT_EQ(line.calls.back(), "PortOpen=0");
  EXPECT_FALSE(line.open);
  EXPECT_EQ(line.written.size(), 1u);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_EQ(host.UnscriptedModals(), 0);
}

// The workbench window as the start-up sees it: what was asked of it, and a recording on or off.
struct FakeWorkbench : kt::app::StartUpWorkbench {
  void Attach(kt::ui::CMonitorDlg&) override { calls.push_back("attach"); }
  void WhenMainDialogRuns(std::function<void()> job) override { later.push_back(std::move(job)); }
  void ShowBeside() override { calls.push_back("show"); }
  void StartRecording(const std::string& path) override {
    calls.push_back("record " + path);
    recording = true;
  }
  bool Recording() const override { return recording; }
  std::vector<std::string> calls;
  std::vector<std::function<void()>> later;
  bool recording = false;
};

// Every way out of the main dialog: asked first only while a recording runs, and ended only on
// Yes; Enter ends only with a valid slave address. Escape and the close box are the same Cancel
// command in both window hosts.
TEST_F(StartUpTest, TheExitAsksFirstOnlyWhileARecordingRuns) {
  enum class Way { ExitButton, EnterValid, EnterInvalid };
  struct Case {
    const char* name;
    Way way;
    bool recording;
    bool answerYes;
    bool asked;
    bool ends;
  };
  const Case cases[] = {
      {"退  出, not recording", Way::ExitButton, false, false, false, true},
      {"退  出, recording, No", Way::ExitButton, true, false, true, false},
      {"退  出, recording, Yes", Way::ExitButton, true, true, true, true},
      {"Enter, not recording", Way::EnterValid, false, false, false, true},
      {"Enter, recording, No", Way::EnterValid, true, false, true, false},
      {"Enter, recording, Yes", Way::EnterValid, true, true, true, true},
      {"Enter on a bad address", Way::EnterInvalid, false, false, false, false},
      {"Enter on a bad address, recording", Way::EnterInvalid, true, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    host.ClearMessages();
    host.AnswerQuestions(c.answerYes);
    FakeWorkbench workbench;
    workbench.recording = c.recording;
    host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) { host.Click(d, kt::ui::IDOK); });
    bool ended = false;
    bool openWhileShown = false;
    host.ScriptModal(kTemplateId, [&](Dialog& d) {
      host.Type(d, kSlaveAddressEdit, c.way == Way::EnterInvalid ? "300" : "7");
      if (c.way == Way::ExitButton) host.Click(d, kt::ui::IDCANCEL);
      if (c.way == Way::EnterValid || c.way == Way::EnterInvalid) host.PressEnter(d);
      ended = !host.IsOpen(d);
      openWhileShown = ended || line.open;  // a dialog kept open keeps its port
      workbench.recording = false;          // stopped: the next way out asks nothing
      host.PressEscape(d);
    });
    kt::app::RunMonitorWindows(app, workbench, {}, {});
    EXPECT_EQ(ended, c.ends);
    EXPECT_TRUE(openWhileShown);
    std::vector<std::string> messages;
    for (const auto& m : host.Messages()) messages.push_back(m.text);
    std::vector<std::string> expected;
    if (c.way == Way::EnterInvalid) expected.push_back("请输入一个介于 0 和 255 之间的整数。");
    if (c.asked) expected.push_back(kt::app::kRecordingExitQuestion);
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(host.UnscriptedModals(), 0);
    EXPECT_FALSE(line.open);
  }
}

// KT7340_RECORD and KT7340_OPEN_WORKBENCH: read from the environment, carried out once the main
// dialog runs, and nothing asked of the workbench without them.
TEST_F(StartUpTest, TheEnvironmentsRequestsRunOnceTheMainDialogRuns) {
  struct Case {
    std::map<std::string, std::string> environment;
    std::vector<std::string> later;  // what the workbench is asked once the dialog runs
  };
  const Case cases[] = {
      {{}, {}},
      {{{"KT7340_OPEN_WORKBENCH", "1"}}, {"show"}},
      {{{"KT7340_OPEN_WORKBENCH", "0"}}, {}},
      {{{"KT7340_RECORD", "/tmp/记录 1.csv"}}, {"record /tmp/记录 1.csv"}},
      {{{"KT7340_RECORD", ""}, {"KT7340_OPEN_WORKBENCH", ""}}, {}},
      {{{"KT7340_RECORD", "r.csv"}, {"KT7340_OPEN_WORKBENCH", "1"}}, {"record r.csv", "show"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.environment));
    const kt::app::StartUpRequests requests =
        kt::app::ReadStartUpRequests([&](const char* name) -> std::optional<std::string> {
          const auto found = c.environment.find(name);
          if (found == c.environment.end()) return std::nullopt;
          return found->second;
        });
    FakeWorkbench workbench;
    host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) { host.Click(d, kt::ui::IDOK); });
    std::vector<std::string> before;
    std::string device;
    host.ScriptModal(kTemplateId, [&](Dialog& d) {
      before = workbench.calls;
      device = static_cast<kt::ui::CMonitorDlg&>(d).DeviceOfPort();
      for (const auto& job : workbench.later) job();
      host.PressEscape(d);
    });
    kt::app::RunMonitorWindows(app, workbench, requests, [] { return std::string("COM9"); });
    EXPECT_EQ(before, std::vector<std::string>{"attach"});
    EXPECT_EQ(device, "COM9");
    std::vector<std::string> expected{"attach"};
    expected.insert(expected.end(), c.later.begin(), c.later.end());
    EXPECT_EQ(workbench.calls, expected);
    EXPECT_EQ(workbench.later.size(), c.later.empty() ? 0u : 1u);
    // Leaving while the recording runs asked first; the in-memory user said Yes.
    EXPECT_EQ(host.Messages().size(), workbench.recording ? 1u : 0u);
    host.ClearMessages();
  }
}

}  // namespace
