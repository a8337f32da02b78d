// The slave address dialog: the new address to give the meter.
#pragma once

#include <cstdint>

#include "ui/dialog/Dialog.h"

namespace kt::ui {

// Said when the new address is no slave address a meter may have; the dialog stays open.
inline constexpr const char* kSlaveAddressRangePrompt =
    "子机地址应为 1 至 247 之间的整数（0 为广播地址，248 至 255 为保留地址）。";

class CAddrDlg : public Dialog {
 public:
  explicit CAddrDlg(WindowHost& host);

  uint8_t m_newAddress = 0;  // exchanged with the new address edit; 1..247 after IDOK

  // The edit takes the focus with its text selected, so typed digits replace the 0.
  bool OnInitDialog() override;

 protected:
  void DoDataExchange(DataExchange& dx) override;
  // Closes with IDOK only for an address from 1 to 247; otherwise the edit takes the focus again
  // with its text selected.
  void OnOK() override;
};

}  // namespace kt::ui
