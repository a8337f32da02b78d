// The window "诊断与记录" in Qt: draws the workbench model (its tabs, its place and remembered
// frame) and forwards the user's input to it. Non-modal, beside the main dialog.
#pragma once

#include <QWidget>
#include <memory>

#include "qt/workbench/QtWorkbenchSettings.h"
#include "qt/workbench/ReportMaker.h"
#include "workbench/BlockFanOut.h"
#include "workbench/WorkbenchModel.h"

class QTabWidget;

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::bus {
class BusTabModel;
class LineScheduler;
}  // namespace kt::bus

namespace kt::modbus {
class Clock;
}

namespace kt::ui::qt {

class BusTab;
class RecordingTab;
class TrafficTab;
class TrendTab;
class WiringTab;

class WorkbenchWindow : public QWidget {
 public:
  static constexpr const char* kGeometryKey = QtWorkbenchSettings::kGeometryKey;

  explicit WorkbenchWindow(QWidget* parent = nullptr);
  ~WorkbenchWindow() override;
  WorkbenchWindow(const WorkbenchWindow&) = delete;
  WorkbenchWindow& operator=(const WorkbenchWindow&) = delete;
  WorkbenchWindow(WorkbenchWindow&&) = delete;
  WorkbenchWindow& operator=(WorkbenchWindow&&) = delete;

  // Attaches the model to `dialog` (WorkbenchModel::AttachTo), the button showing this window.
  // The dialog must end before the window does (the application's exit ends the dialog first).
  void Attach(CMonitorDlg& dialog);
  // Shows the window and brings it to the front; a hidden window is first placed by the model
  // (WindowFrameModel::Place) on the main dialog's screen (the active window).
  void ShowBeside();

  // Room for further tools: a tab (its title also added to the model), and the decoded blocks.
  void AddTab(QWidget* tab, const QString& title);
  void SubscribeBlocks(workbench::BlockFanOut::Consumer consumer);
  // The tab "总线" polling the meters of the main dialog's `line` (before Attach).
  void AddBusTab(bus::LineScheduler& line, modbus::Clock& clock);
  BusTab* Bus() { return busTab_; }

  workbench::WorkbenchModel& Model() { return model_; }
  workbench::TrafficLog& Log() { return model_.Log(); }
  const workbench::CsvRecorder& Recorder() { return model_.Recording().Recorder(); }
  TrafficTab& Traffic() { return *traffic_; }
  RecordingTab& Recording() { return *recording_; }
  ReportMaker& Reports() { return reports_; }

 protected:
  // Closing only hides; the main dialog's exit ends the program and the window with it.
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Sets the window's and, when it must make room, the main dialog's place before showing.
  void PlaceNextTo(QWidget* mainDialog);
  // Tells the model the frame shown and has it remembered.
  void RememberFrame();

  QtWorkbenchSettings settings_;
  workbench::WorkbenchModel model_;
  QTabWidget* tabs_;
  TrafficTab* traffic_;
  RecordingTab* recording_;
  TrendTab* trend_;
  WiringTab* wiring_;
  ReportMaker reports_{model_, this};
  std::unique_ptr<bus::BusTabModel> bus_;
  BusTab* busTab_ = nullptr;
};

}  // namespace kt::ui::qt
