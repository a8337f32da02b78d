// The report of the main dialog's meter, made from what the workbench holds: the wiring tab's
// latest block and choices, the trend store, and the main dialog's line and link counters. The
// title fields the user typed last are remembered in the workbench's settings.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "report/ReportData.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchModel.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::report {

// Shown instead of a report while the wiring tab has no block.
inline constexpr const char* kNoBlockForReport =
    "尚无测量数据，无法生成报告。请在主窗口开始轮询，收到测量数据后再试。";

// The title fields remembered, made now; and remembering those the user typed.
ReportTitle RememberedReportTitle(const workbench::WorkbenchSettings& settings);
void RememberReportTitle(workbench::WorkbenchSettings& settings, const ReportTitle& title);

// The one meter's report, or nothing when there is no block yet (then kNoBlockForReport). The
// report points into the workbench's trend store: write it before the next block comes.
std::optional<Report> MakeMeterReport(workbench::WorkbenchModel& workbench,
                                      const ui::CMonitorDlg& dialog, const ReportTitle& title);

// "生成报告…"'s save dialog: the default name DefaultReportFileName(title), an HTML file.
workbench::SaveQuestion ReportSaveQuestion(const ReportTitle& title);

// What "生成报告…" asks the user and does beyond the file: each front end's dialogs.
struct ReportFrontEnd {
  std::function<bool(ReportTitle& title)> askTitle;  // fills the fields in; false: cancelled
  // The file chosen (UTF-8), "" when cancelled; the dialog starts in `folder`, the user's own
  // folder when it is "".
  std::function<std::string(const workbench::SaveQuestion& question, const std::string& folder)>
      askPath;
  std::function<void(const std::string& path)> open;  // in the system's browser
  std::function<void(const std::string& text)> tell;  // a refusal or a failure
};

// The report made with the title, or nothing when there is nothing to report.
using ReportSource = std::function<std::optional<Report>(const ReportTitle& title)>;

// "生成报告…": told `refusal` while `make` has nothing; else asks the title fields (the
// remembered ones filled in, then remembered), then the file (the default name in the folder
// last exported to while it exists), writes the report `make` gives then, remembers the folder
// and opens the file; a write failure is told with its reason.
void MakeReportFile(workbench::WorkbenchSettings& settings, const ReportSource& make,
                    const std::string& refusal, const ReportFrontEnd& front);
// The wiring tab's: the main dialog's meter (MakeMeterReport), refused with kNoBlockForReport.
void MakeReportFile(workbench::WorkbenchModel& workbench, const ui::CMonitorDlg& dialog,
                    const ReportFrontEnd& front);

}  // namespace kt::report
