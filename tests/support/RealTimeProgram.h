// The real-time harness with the steps the pseudo-terminal tests repeat.
#pragma once

#include "RealTimeHarness.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

namespace kt::testing {

class RealTimeProgram : public RealTimeHarness {
 public:
  void RunFor(uint32_t ms) { RealTimeHarness::RunFor(ms, 50); }
  bool DecodesABlock(int maxTicks) { return RealTimeHarness::DecodesABlock(maxTicks); }

  // Half a period after a tick, so that the latest poll reply is in, opens the communication
  // settings, clicks `radio` and confirms.
  void ChangeLine(int radio) {
    RunFor(dialog->m_pollPeriodMs / 2);
    host.ScriptModal(ui::comm_set_ids::kTemplateId, [this, radio](ui::Dialog& d) {
      host.Click(d, radio);
      host.Click(d, ui::IDOK);
    });
    host.Click(*dialog, ui::main_ids::kCommSettingsButton);
  }
};

}  // namespace kt::testing
