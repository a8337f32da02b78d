// The workbench seam of the main dialog, answered with a message on Windows.
#include "app/win32/WorkbenchPlaceholder.h"

namespace kt::app::win32 {

void AttachWorkbenchPlaceholder(ui::CMonitorDlg& dialog) {
  dialog.m_onOpenWorkbench = [&dialog] { dialog.AfxMessageBox(kWorkbenchUnavailable); };
}

}  // namespace kt::app::win32
