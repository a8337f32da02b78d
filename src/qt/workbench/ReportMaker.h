// "生成报告…" on the wiring tab in Qt: the title fields in a small dialog, the file in the save
// dialog, the report opened by the desktop's browser, refusals in a message box
// (report::MakeReportFile decides the rest). Tests replace the front end's parts.
#pragma once

#include "report/MeterReport.h"

class QWidget;

namespace kt::ui::qt {

class ReportMaker {
 public:
  // The dialogs are owned by `parent`.
  ReportMaker(workbench::WorkbenchModel& model, QWidget* parent);

  // The main dialog whose line and link counters the report names; nothing is made before.
  void Attach(const CMonitorDlg& dialog) { dialog_ = &dialog; }
  void Make();

  report::ReportFrontEnd front;

 private:
  workbench::WorkbenchModel& model_;
  const CMonitorDlg* dialog_ = nullptr;
};

// The title fields in a small dialog owned by `parent`; false when cancelled.
bool AskReportTitle(QWidget* parent, report::ReportTitle& title);

}  // namespace kt::ui::qt
