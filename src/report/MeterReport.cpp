// The main dialog's meter as a report.
#include "report/MeterReport.h"

#include "report/ReportDocument.h"
#include "ui/CMonitorDlg.h"

namespace kt::report {

ReportTitle RememberedReportTitle(const workbench::WorkbenchSettings& settings) {
  return {settings.Text(workbench::kReportSiteKey), settings.Text(workbench::kReportPanelKey),
          settings.Text(workbench::kReportEngineerKey), std::chrono::system_clock::now()};
}

void RememberReportTitle(workbench::WorkbenchSettings& settings, const ReportTitle& title) {
  settings.SetText(workbench::kReportSiteKey, title.site);
  settings.SetText(workbench::kReportPanelKey, title.panel);
  settings.SetText(workbench::kReportEngineerKey, title.engineer);
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
  return {"生成报告", DefaultReportFileName(title), "HTML 文件 (*.html)", "html", true, true};
}

void MakeReportFile(workbench::WorkbenchSettings& settings, const ReportSource& make,
                    const std::string& refusal, const ReportFrontEnd& front) {
  if (!make(RememberedReportTitle(settings))) return front.tell(refusal);
  ReportTitle title = RememberedReportTitle(settings);
  if (!front.askTitle(title)) return;
  RememberReportTitle(settings, title);
  title.made = std::chrono::system_clock::now();
  const workbench::SaveQuestion question = ReportSaveQuestion(title);
  std::string path = front.askPath(question, workbench::ExistingFolder(settings.ExportFolder()));
  if (path.empty()) return;
  path = workbench::WithExtension(question, path);
  // The latest blocks when the file is written: polling went on while the user answered.
  const std::optional<Report> made = make(title);
  if (!made) return front.tell(refusal);
  if (std::string why = WriteReportFile(path, ReportHtml(*made)); !why.empty()) {
    return front.tell(why);
  }
  settings.SetExportFolder(workbench::FolderOf(path));
  front.open(path);
}

void MakeReportFile(workbench::WorkbenchModel& workbench, const ui::CMonitorDlg& dialog,
                    const ReportFrontEnd& front) {
  MakeReportFile(
      workbench.Settings(),
      [&](const ReportTitle& title) { return MakeMeterReport(workbench, dialog, title); },
      kNoBlockForReport, front);
}

}  // namespace kt::report
