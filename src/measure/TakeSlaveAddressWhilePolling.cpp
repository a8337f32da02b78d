// Reading the slave address edit back with every decoded block, prompting once per bad text.
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"
#include "ui/dialog/DataExchange.h"

namespace kt::ui {

void CMonitorDlg::TakeSlaveAddressWhilePolling() {
  // The same test the data exchange of the edit makes; a block every poll period would otherwise
  // prompt again and again for one mistyped text.
  std::string text = GetDlgItemText(main_ids::kSlaveAddressEdit);
  unsigned long long value = 0;
  if (ParseUnsigned(text, 255, value)) {
    m_badEntryPrompted = false;
  } else {
    if (m_badEntryPrompted && text == m_promptedBadEntry) return;
    m_badEntryPrompted = true;
    m_promptedBadEntry = std::move(text);
  }
  UpdateData(true);
}

}  // namespace kt::ui
