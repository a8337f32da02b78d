// The meter settings dialog: PT ratio, CT ratio and wiring code for the meter.
#pragma once

#include <cstdint>

#include "commands/MeterSetDialogIds.h"
#include "ui/dialog/Dialog.h"

namespace kt::ui {

class CMeterSetDlg : public Dialog {
 public:
  explicit CMeterSetDlg(WindowHost& host);

  // Wiring codes 0..5 belong to the six consecutive wiring radios.
  static constexpr int kFirstWiringRadio = meter_set_ids::kFirstWiringRadio;
  static constexpr int kLastWiringRadio = meter_set_ids::kLastWiringRadio;
  // Both ratios are validated to this range.
  static constexpr uint32_t kMinRatio = 1;
  static constexpr uint32_t kMaxRatio = 64000;

  // The caller sets all three before DoModal and reads them back only after IDOK.
  uint8_t m_wiringCode = 0;  // index of the selected wiring radio
  uint32_t m_pt = 0;         // exchanged with the PT edit
  uint32_t m_ct = 0;         // exchanged with the CT edit

  bool OnInitDialog() override;
  bool OnCommand(int commandId) override;
  // Selects the clicked radio among the six and takes its wiring code.
  void OnWiringRadio(int radioId);

 protected:
  void DoDataExchange(DataExchange& dx) override;
  // Closes with IDOK only when PT and CT are both whole numbers from 1 to 64000.
  void OnOK() override;
};

}  // namespace kt::ui
