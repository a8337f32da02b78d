// Every command, on every path, restarts the poll timer and leaves Run's flag and caption alone.
#include <gtest/gtest.h>

#include "MainDialogHarness.h"
#include "commands/AddrDialogIds.h"
#include "commands/MeterSetDialogIds.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using namespace kt::ui::main_ids;
namespace addr_ids = kt::ui::addr_ids;
namespace comm_set_ids = kt::ui::comm_set_ids;
namespace meter_set_ids = kt::ui::meter_set_ids;

namespace {

enum class User { None, Cancels, Confirms };

struct Path {
  const char* name;
  int command;
  int dialogTemplate;  // 0: the command has no dialog
  User user;
};

const Path kPaths[] = {
    {"comm settings exit", kCommSettingsButton, comm_set_ids::kTemplateId, User::Cancels},
    {"comm settings 4800", kCommSettingsButton, comm_set_ids::kTemplateId, User::Confirms},
    {"meter settings cancel", kMeterSettingsButton, meter_set_ids::kTemplateId, User::Cancels},
    {"meter settings set", kMeterSettingsButton, meter_set_ids::kTemplateId, User::Confirms},
    {"slave address cancel", kChangeSlaveAddressButton, addr_ids::kTemplateId, User::Cancels},
    {"slave address 1", kChangeSlaveAddressButton, addr_ids::kTemplateId, User::Confirms},
    {"accuracy class", kAccuracyClassButton, 0, User::None},
    {"read parameters", kReadParametersCommand, 0, User::None},
    {"refresh Urg", kRefreshUrgButton, 0, User::None},
    {"set parameters", kSetParametersCommand, 0, User::None},
};

// The user's part in the command's dialog; `whileOpen` runs first, with the dialog open.
void Script(MainDialogHarness& p, const Path& path, const std::function<void()>& whileOpen = {}) {
  if (path.dialogTemplate == 0) return;
  p.host.ScriptModal(path.dialogTemplate, [&p, path, whileOpen](kt::ui::Dialog& d) {
    if (whileOpen) whileOpen();
    if (path.user == User::Cancels) {
      p.host.Click(d, kt::ui::IDCANCEL);
      return;
    }
    if (path.command == kCommSettingsButton) p.host.Click(d, comm_set_ids::kBaud4800Radio);
    if (path.command == kChangeSlaveAddressButton) p.host.Type(d, addr_ids::kNewAddressEdit, "1");
    p.host.Click(d, kt::ui::IDOK);
  });
}

}  // namespace

// While a command's dialog or message box is open the poll timer is off: no request goes out.
// Afterwards it runs again, and Run's flag, caption and the poll state are as they were.
TEST(PollingResumes, AfterEveryCommandWhateverRunShows) {
  for (const auto& path : kPaths) {
    for (bool meterAnswers : {true, false}) {
      for (bool runningBefore : {false, true}) {
        SCOPED_TRACE(std::string(path.name) + (meterAnswers ? ", meter" : ", no meter") +
                     (runningBefore ? ", polling" : ", stopped"));
        MainDialogHarness p(SimulatedMeter());
        ASSERT_TRUE(p.PollUntil(3));
        if (!runningBefore) p.Click(kRunButton);
        p.Meter().SetMeterConnected(meterAnswers);
        const uint8_t pollState = p.Dlg().m_pollState;
        const std::string caption = p.Text(kRunButton);
        std::vector<size_t> sentWhileOpen;
        const auto letTimePass = [&p, &sentWhileOpen] {
          const size_t before = p.Mark();
          p.host.RunFor(4 * p.Dlg().m_pollPeriodMs);
          sentWhileOpen.push_back(p.Mark() - before);
        };
        Script(p, path, letTimePass);
        p.host.OnMessageBox([&letTimePass](const std::string&) { letTimePass(); });
        p.Command(path.command);
        const bool failureMessage =
            !meterAnswers && path.dialogTemplate == 0 && path.command != kAccuracyClassButton;
        EXPECT_EQ(sentWhileOpen.empty(), path.dialogTemplate == 0 && !failureMessage);
        for (size_t sent : sentWhileOpen) EXPECT_EQ(sent, 0u);
        EXPECT_EQ(p.host.UnscriptedModals(), 0);
        EXPECT_TRUE(p.PollTimerRunning());
        EXPECT_EQ(p.host.TimerPeriod(p.Dlg(), kt::ui::kPollTimer), p.Dlg().m_pollPeriodMs);
        EXPECT_EQ(p.Dlg().m_running, runningBefore ? 1 : 0);
        EXPECT_EQ(p.Text(kRunButton), caption);
        EXPECT_EQ(p.Dlg().m_pollState, pollState);
        const size_t after = p.Mark();
        p.host.RunFor(2 * p.Dlg().m_pollPeriodMs);
        EXPECT_GE(p.Mark() - after, 2u);
      }
    }
  }
}

TEST(PollingResumes, ASearchGoesOnWhileACommandDialogIsOpen) {
  MainDialogHarness p(SimulatedMeter());
  p.Meter().SetMeterConnected(false);
  const size_t mark = p.Mark();
  p.Click(kPollAddressButton);
  p.host.ScriptModal(meter_set_ids::kTemplateId, [&p](kt::ui::Dialog& d) {
    p.host.RunFor(1500);
    p.host.Click(d, kt::ui::IDCANCEL);
  });
  p.Click(kMeterSettingsButton);
  EXPECT_EQ(p.FramesSince(mark).size(), 3u);  // probes 1, 2 and 3
  EXPECT_TRUE(p.ProbeTimerRunning());
  EXPECT_TRUE(p.PollTimerRunning());
}
