// The main dialog's meter as a report.
#include "report/MeterReport.h"

#include "report/ReportDocument.h"
#include "ui/CMonitorDlg.h"

namespace kt::report {

ReportTitle RememberedReportTitle(const workbench::WorkbenchSettings& settings) {
  using workbench::TextSetting;
  return {settings.Text(TextSetting::ReportSite), settings.Text(TextSetting::ReportPanel),
          settings.Text(TextSetting::ReportEngineer), std::chrono::system_clock::now()};
}

void RememberReportTitle(workbench::WorkbenchSettings& settings, const ReportTitle& title) {
  using workbench::TextSetting;
  settings.SetText(TextSetting::ReportSite, title.site);
  settings.SetText(TextSetting::ReportPanel, title.panel);
  settings.SetText(TextSetting::ReportEngineer, title.engineer);
}

std::optional<Report> MakeMeterReport(workbench::WorkbenchModel& workbench,
                                      const ui::CMonitorDlg& dialog, const ReportTitle& title) {
  const workbench::WiringModel& wiring = workbench.Wiring();
  const values::MeasuredBlock* block = wiring.LatestBlock();
  if (block == nullptr) return std::nullopt;
  const ui::MainDialogLine line = dialog.Line();
  ReportMeter meter;
  meter.settings = {line.portNumber,    line.baudRate,      line.parity,
                    line.accuracyKnown, line.accuracyClass, wiring.CtSecondaryA(),
                    wiring.NominalHz()};
  meter.block = *block;
  meter.trend = &workbench.Trend().Store();
  meter.linkCounters = dialog.Link().CounterText();
  return Report{title, {meter}};
}

workbench::SaveQuestion ReportSaveQuestion(const ReportTitle& title) {
  return {"生成报告", DefaultReportFileName(title), "HTML 文件 (*.html)", "html", true};
}

}  // namespace kt::report
