// Figure: how many of 40 meter-settings commands, clicked at random moments while polling a
// kt7340-sim over a pseudo-terminal, fail although nothing is wrong with the line or the meter.
// Usage: command_collision [clicks] [seed]
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "MainDialogHarness.h"
#include "SimProcess.h"
#include "commands/MeterSetDialogIds.h"
#include "ui/MainDialogIds.h"

namespace {

using namespace kt::ui::main_ids;

constexpr int kPort = 9;

}  // namespace

int main(int argc, char** argv) {
  const int clicks = argc > 1 ? std::atoi(argv[1]) : 40;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 7340;
  kt::sim::testing::SimProcess sim({"--status-trailer", "--quiet"});
  if (sim.path().empty()) {
    std::fprintf(stderr, "kt7340-sim gave no device path\n");
    return 1;
  }
  setenv(("KT7340_COM" + std::to_string(kPort)).c_str(), sim.path().c_str(), 1);

  kt::testing::MainDialogHarness p(kt::testing::RealPort());
  auto& d = p.Open({kPort, 9600, 0});
  p.host.Type(d, kSlaveAddressEdit, "1");
  p.host.Click(d, kRunButton);
  p.RunFor(3000);  // configuration, parameters and class read; blocks flowing

  std::mt19937 random(seed);
  std::uniform_int_distribution<uint32_t> moment(0, d.m_pollPeriodMs - 1);
  int failures = 0;
  for (int i = 0; i < clicks; ++i) {
    p.RunFor(moment(random));
    // The user opens "仪表设置" and confirms the values it shows.
    p.host.ScriptModal(kt::ui::meter_set_ids::kTemplateId,
                       [&p](kt::ui::Dialog& dialog) { p.host.Click(dialog, kt::ui::IDOK); });
    const size_t before = p.host.Messages().size();
    p.host.Click(d, kMeterSettingsButton);
    for (size_t m = before; m < p.host.Messages().size(); ++m) {
      const std::string& text = p.host.Messages()[m].text;
      if (text != "设置仪表参数成功") {
        ++failures;
        std::printf("click %d: %s\n", i + 1, text.c_str());
      }
    }
    p.RunFor(d.m_pollPeriodMs * 2);
  }
  std::printf("meter settings clicked at random moments while polling: %d, failed: %d\n", clicks,
              failures);
  return 0;
}
