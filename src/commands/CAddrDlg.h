// The slave address dialog: the new address to give the meter.
#pragma once

#include <cstdint>

#include "ui/dialog/Dialog.h"

namespace kt::ui {

class CAddrDlg : public Dialog {
 public:
  explicit CAddrDlg(WindowHost& host);

  uint8_t m_newAddress = 0;  // exchanged with the new address edit, 0..255

 protected:
  void DoDataExchange(DataExchange& dx) override;
};

}  // namespace kt::ui
