// Every command, on every path, restarts the poll timer and leaves Run's flag and caption alone.
#include <gtest/gtest.h>

#include "MonitorHarness.h"

using namespace kt::testing;

namespace {

enum class User { None, Cancels, Confirms };

struct Path {
  const char* name;
  int command;
  int dialogTemplate;  // 0: the command has no dialog
  User user;
};

const Path kPaths[] = {
    {"comm settings exit", 1004, 130, User::Cancels},
    {"comm settings 4800", 1004, 130, User::Confirms},
    {"meter settings cancel", 1006, 131, User::Cancels},
    {"meter settings set", 1006, 131, User::Confirms},
    {"slave address cancel", 1007, 146, User::Cancels},
    {"slave address 1", 1007, 146, User::Confirms},
    {"accuracy class", 1009, 0, User::None},
    {"read parameters", 1071, 0, User::None},
    {"refresh Urg", 1091, 0, User::None},
    {"set parameters", 1070, 0, User::None},
};

// The user's part in the command's dialog; `whileOpen` runs first, with the dialog open.
void Script(Program& p, const Path& path, std::function<void()> whileOpen = {}) {
  if (path.dialogTemplate == 0) return;
  p.host.ScriptModal(path.dialogTemplate, [&p, path, whileOpen](kt::ui::Dialog& d) {
    if (whileOpen) whileOpen();
    if (path.user == User::Cancels) {
      p.host.Click(d, kt::ui::IDCANCEL);
      return;
    }
    if (path.command == 1004) p.host.Click(d, 1011);
    if (path.command == 1007) p.host.Type(d, 1000, "1");
    p.host.Click(d, kt::ui::IDOK);
  });
}

}  // namespace

TEST(PollingResumes, AfterEveryCommandWhateverRunShows) {
  for (const auto& path : kPaths) {
    for (bool meterAnswers : {true, false}) {
      for (bool runningBefore : {false, true}) {
        SCOPED_TRACE(std::string(path.name) + (meterAnswers ? ", meter" : ", no meter") +
                     (runningBefore ? ", polling" : ", stopped"));
        Program p;
        ASSERT_TRUE(p.PollUntil(3));
        if (!runningBefore) p.Click(1063);
        p.line.SetMeterConnected(meterAnswers);
        const uint8_t pollState = p.dlg.m_pollState;
        const std::string caption = p.Text(1063);
        Script(p, path);
        p.Command(path.command);
        EXPECT_EQ(p.host.UnscriptedModals(), 0);
        EXPECT_TRUE(p.PollTimerRunning());
        EXPECT_EQ(p.host.TimerPeriod(p.dlg, kt::ui::kPollTimer), p.dlg.m_pollPeriodMs);
        EXPECT_EQ(p.dlg.m_running, runningBefore ? 1 : 0);
        EXPECT_EQ(p.Text(1063), caption);
        EXPECT_EQ(p.dlg.m_pollState, pollState);
      }
    }
  }
}

TEST(PollingResumes, ASearchGoesOnWhileACommandDialogIsOpen) {
  Program p;
  p.line.SetMeterConnected(false);
  const size_t mark = p.Mark();
  p.Click(1062);
  p.host.ScriptModal(131, [&p](kt::ui::Dialog& d) {
    p.host.RunFor(1500);
    p.host.Click(d, kt::ui::IDCANCEL);
  });
  p.Click(1006);
  EXPECT_EQ(p.FramesSince(mark).size(), 3u);  // probes 1, 2 and 3
  EXPECT_TRUE(p.ProbeTimerRunning());
  EXPECT_TRUE(p.PollTimerRunning());
}

// While a command's dialog or message box is open the poll timer is off: no request goes out.
TEST(PollingResumes, NoPollRequestWhileACommandDialogOrMessageIsOpen) {
  for (const auto& path : kPaths) {
    for (bool meterAnswers : {true, false}) {
      SCOPED_TRACE(std::string(path.name) + (meterAnswers ? ", meter" : ", no meter"));
      Program p;
      ASSERT_TRUE(p.PollUntil(3));
      p.line.SetMeterConnected(meterAnswers);
      std::vector<size_t> sentWhileOpen;
      const auto letTimePass = [&p, &sentWhileOpen] {
        const size_t before = p.Mark();
        p.host.RunFor(4 * p.dlg.m_pollPeriodMs);
        sentWhileOpen.push_back(p.Mark() - before);
      };
      Script(p, path, letTimePass);
      p.host.OnMessageBox([&letTimePass](const std::string&) { letTimePass(); });
      p.Command(path.command);
      const bool failureMessage = !meterAnswers && path.dialogTemplate == 0 && path.command != 1009;
      if (path.dialogTemplate != 0 || failureMessage) {
        EXPECT_FALSE(sentWhileOpen.empty());
      }
      for (size_t sent : sentWhileOpen) EXPECT_EQ(sent, 0u);
      // Afterwards polling goes on.
      const size_t after = p.Mark();
      p.host.RunFor(2 * p.dlg.m_pollPeriodMs);
      EXPECT_GE(p.Mark() - after, 2u);
    }
  }
}
