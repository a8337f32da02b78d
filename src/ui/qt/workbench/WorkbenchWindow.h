// The window "诊断与记录": non-modal, beside the main dialog, a tab per tool.
#pragma once

#include <QWidget>

#include "workbench/BlockFanOut.h"
#include "workbench/CsvRecorder.h"
#include "workbench/TrafficLog.h"

class QTabWidget;

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::ui::qt {

class RecordingTab;
class TrafficTab;

class WorkbenchWindow : public QWidget {
 public:
  explicit WorkbenchWindow(QWidget* parent = nullptr);

  // Observes `dialog` from now on and lets its button open this window. The dialog must end
  // before the window does (the application's exit ends the dialog first).
  void Attach(CMonitorDlg& dialog);
  // Shows the window beside the active window (the main dialog) and brings it to the front.
  void ShowBeside();

  // Room for further tools: a tab, and the decoded blocks in base units.
  void AddTab(QWidget* tab, const QString& title);
  void SubscribeBlocks(workbench::BlockFanOut::Consumer consumer);

  workbench::TrafficLog& Log() { return log_; }
  workbench::CsvRecorder& Recorder() { return recorder_; }
  TrafficTab& Traffic() { return *traffic_; }
  RecordingTab& Recording() { return *recording_; }

 protected:
  // Closing only hides; the main dialog's exit ends the program and the window with it.
  void closeEvent(QCloseEvent* event) override;

 private:
  workbench::TrafficLog log_;
  workbench::CsvRecorder recorder_;
  workbench::BlockFanOut blocks_;
  QTabWidget* tabs_;
  TrafficTab* traffic_;
  RecordingTab* recording_;
};

}  // namespace kt::ui::qt
