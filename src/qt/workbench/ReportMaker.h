// "生成报告…" on the wiring tab: asks the report's title fields (the remembered ones filled in)
// and the file (DefaultReportFileName in the export folder), writes the report of the main
// dialog's meter and opens it in the system's browser. A refusal or a write failure is shown
// in a message box. The three questions and the opener are seams for tests.
#pragma once

#include <QString>
#include <functional>

#include "report/ReportData.h"
#include "workbench/SaveQuestions.h"
#include "workbench/WorkbenchModel.h"

class QWidget;

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::ui::qt {

class ReportMaker {
 public:
  // Fills in `title`; false when the user cancelled.
  using AskTitle = std::function<bool(QWidget* parent, report::ReportTitle& title)>;
  // The file chosen, starting at `suggested`; empty when the user cancelled.
  using AskPath = std::function<QString(QWidget* parent, const workbench::SaveQuestion& question,
                                        const QString& suggested)>;
  using OpenFile = std::function<void(const QString& path)>;
  using Tell = std::function<void(QWidget* parent, const QString& title, const QString& text)>;

  explicit ReportMaker(workbench::WorkbenchModel& model) : model_(model) {}

  // The main dialog whose line and link counters the report names; nothing is made before.
  void Attach(const CMonitorDlg& dialog) { dialog_ = &dialog; }
  void Make(QWidget* parent);

  // The folder last exported to when it still exists, else the home folder.
  QString ExportFolder() const;

  AskTitle askTitle;  // the small dialog below
  AskPath askPath;    // QFileDialog
  OpenFile open;      // QDesktopServices
  Tell tell;          // QMessageBox

 private:
  workbench::WorkbenchModel& model_;
  const CMonitorDlg* dialog_ = nullptr;
};

// The title fields in a small dialog; false when cancelled.
bool AskReportTitle(QWidget* parent, report::ReportTitle& title);

}  // namespace kt::ui::qt
