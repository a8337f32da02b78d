// The ways out of the main dialog: ended only when what may be lost is confirmed.
#include "ui/CMonitorDlg.h"

namespace kt::ui {

bool CMonitorDlg::ExitConfirmed() {
  const std::string question = m_exitQuestion ? m_exitQuestion() : std::string();
  return question.empty() || Host().AskYesNo(this, question);
}

void CMonitorDlg::OnOK() {
  // An address that is no address keeps the dialog open after its prompt, without a question.
  if (UpdateData(true) && ExitConfirmed()) EndDialog(IDOK);
}

void CMonitorDlg::OnCancel() {
  if (ExitConfirmed()) EndDialog(IDCANCEL);
}

}  // namespace kt::ui
