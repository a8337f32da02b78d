// The window "诊断与记录" on Windows: draws the workbench model (a page per tab: "报文", "记录",
// "趋势", "接线检查"; its place and remembered frame) and forwards the user's input to it.
// Non-modal, beside the main dialog. Closing it only hides it; the main dialog's end ends it too
// (it is owned by the main dialog once shown).
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "report/MeterReport.h"
#include "win32/WindowsApi.h"
#include "win32/workbench/GdiPlus.h"
#include "win32/workbench/RegistrySettings.h"
#include "workbench/BlockFanOut.h"
#include "workbench/WorkbenchModel.h"

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

namespace kt::ui::win32 {

class BusPanel;
class ChildPanel;
class RecordingPanel;
class TrafficPanel;
class TrendPanel;
class WiringPanel;

using workbench::WorkbenchTab;

class WorkbenchWindow {
 public:
  // The main dialog's window while it runs (nullptr before and after).
  using MainWindow = std::function<HWND()>;

  // The window is made hidden; `files` is how the recorder opens its files.
  explicit WorkbenchWindow(std::unique_ptr<workbench::RecordFiles> files);
  ~WorkbenchWindow();
  WorkbenchWindow(const WorkbenchWindow&) = delete;
  WorkbenchWindow& operator=(const WorkbenchWindow&) = delete;
  WorkbenchWindow(WorkbenchWindow&&) = delete;
  WorkbenchWindow& operator=(WorkbenchWindow&&) = delete;

  // Attaches the model to `dialog` (WorkbenchModel::AttachTo), the button showing this window.
  // The dialog must end before the window does.
  void Attach(CMonitorDlg& dialog, MainWindow mainWindow);
  // Shows the window and brings it to the front; a hidden window is first placed by the model
  // (WindowFrameModel::Place), and the main dialog may slide aside to make room.
  void ShowBeside();
  void ShowTab(WorkbenchTab tab);
  WorkbenchTab CurrentTab() const { return current_; }
  bool Visible() const;
  HWND Handle() const { return hwnd_; }

  // Runs `job` once from the message loop that runs next (the main dialog's, when called before
  // it starts), after the messages already waiting.
  void RunSoon(std::function<void()> job);

  // Room for further tools: the decoded blocks in base units, and a page of their own after the
  // model's four (its title added to the model; the panel outlives the window's use of it).
  void SubscribeBlocks(workbench::BlockFanOut::Consumer consumer);
  void AddPanel(ChildPanel& panel, const std::string& title);
  // The tab "总线" polling the meters of the main dialog's `line` (before Attach).
  void AddBusPanel(bus::LineScheduler& line, modbus::Clock& clock);
  BusPanel* Bus() { return busPanel_.get(); }

  workbench::WorkbenchModel& Model() { return model_; }
  workbench::TrafficLog& Log() { return model_.Log(); }
  const workbench::CsvRecorder& Recorder() { return model_.Recording().Recorder(); }
  TrafficPanel& Traffic() { return *traffic_; }
  RecordingPanel& Recording() { return *recording_; }
  TrendPanel& Trend() { return *trend_; }
  WiringPanel& Wiring() { return *wiring_; }
  // What "生成报告…" asks and does beyond the report (report::MakeReportFile): the title dialog,
  // the save dialog, the browser and a message box; tests replace them.
  report::ReportFrontEnd& ReportFront() { return reportFront_; }

 private:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Create();
  void Layout();
  // The window now stands at another resolution: a new font for every page, and `suggested`.
  void Rescale(const RECT& suggested);
  void PlaceNextTo(HWND mainDialog);
  // Has the model keep the frame shown, or moved to by the user, in the user's settings.
  void RememberPlace();
  ChildPanel& Panel(WorkbenchTab tab) const;

  GdiPlusSession gdiPlus_;  // the chart, the phasors and the PNG export draw with it
  RegistrySettings settings_;
  workbench::WorkbenchModel model_;
  MainWindow mainWindow_;
  HWND hwnd_ = nullptr;
  HWND tabs_ = nullptr;
  HFONT font_ = nullptr;
  std::unique_ptr<TrafficPanel> traffic_;
  std::unique_ptr<RecordingPanel> recording_;
  std::unique_ptr<TrendPanel> trend_;
  std::unique_ptr<WiringPanel> wiring_;
  std::vector<ChildPanel*> further_;  // AddPanel's, in the order of their tabs
  std::unique_ptr<bus::BusTabModel> bus_;
  std::unique_ptr<BusPanel> busPanel_;
  WorkbenchTab current_ = WorkbenchTab::Traffic;
  std::vector<std::function<void()>> soon_;  // RunSoon's jobs, in order
  report::ReportFrontEnd reportFront_;
};

}  // namespace kt::ui::win32
