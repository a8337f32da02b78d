// The communication settings dialog: port number, baud rate and parity of the PC's port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "ui/CFindMeterDlg.h"
#include "ui/PortListSource.h"
#include "ui/dialog/Dialog.h"

namespace kt::ui {

class CCommSetDlg : public Dialog {
 public:
  // `portList` fills the list "可用串口"; empty: the machine's serial ports.
  explicit CCommSetDlg(WindowHost& host, PortListSource portList = {});

  // Set by the caller before DoModal, read back only after IDOK.
  int32_t m_parity = 0;      // 0 none, 1 odd, 2 even
  int32_t m_baudRate = 0;    // 1200, 2400, 4800, 9600 or 19200
  int32_t m_portNumber = 0;  // exchanged with the port edit
  // What "自动查找…" runs on; set by the caller before DoModal (empty: the real ones).
  FinderSetup m_finderSetup;
  // After IDOK: the slave address of the meter taken over from "自动查找…", if one was.
  std::optional<uint8_t> m_foundAddress;

  bool OnInitDialog() override;
  bool OnCommand(int commandId) override;
  // A click on a port of the list puts its number into the port edit.
  void OnListClick(int controlId, int line) override;

  // One handler per radio button: check it, clear the others of its range, store its value.
  void OnBaudRadio(int radioId);
  void OnParityRadio(int radioId);
  // "自动查找…": the finder dialog; its chosen meter fills port, baud rate and parity.
  void OnFindMeter();

 protected:
  void DoDataExchange(DataExchange& dx) override;
  // Takes the port number; closes with IDOK only when it is a whole number.
  void OnOK() override;

 private:
  PortListSource portList_;
  std::vector<int32_t> listedNumbers_;  // the port number of each line that stands for one
};

}  // namespace kt::ui
