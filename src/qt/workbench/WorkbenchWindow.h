// The window "诊断与记录": non-modal, beside the main dialog, a tab per tool. Its frame (place and
// size) is remembered in the user's settings (kGeometryKey) for the next start.
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
  static constexpr const char* kGeometryKey = "workbench/geometry";

  explicit WorkbenchWindow(QWidget* parent = nullptr);
  ~WorkbenchWindow() override;
  WorkbenchWindow(const WorkbenchWindow&) = delete;
  WorkbenchWindow& operator=(const WorkbenchWindow&) = delete;
  WorkbenchWindow(WorkbenchWindow&&) = delete;
  WorkbenchWindow& operator=(WorkbenchWindow&&) = delete;

  // Observes `dialog` from now on and lets its button open this window. The dialog must end
  // before the window does (the application's exit ends the dialog first).
  void Attach(CMonitorDlg& dialog);
  // Shows the window and brings it to the front. A hidden window is first placed on the main
  // dialog's screen (the active window): where it was last, if that is wholly on the screen and
  // clear of the main dialog, else beside the main dialog (see PlaceBesideMain).
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
  void hideEvent(QHideEvent* event) override;

 private:
  // Sets the window's and, when it must make room, the main dialog's place before showing.
  void PlaceNextTo(QWidget* mainDialog);
  void RememberGeometry() const;

  workbench::TrafficLog log_;
  workbench::CsvRecorder recorder_;
  workbench::BlockFanOut blocks_;
  QTabWidget* tabs_;
  TrafficTab* traffic_;
  RecordingTab* recording_;
  bool shown_ = false;  // shown at least once: its frame is worth remembering
};

}  // namespace kt::ui::qt
