// The window "诊断与记录" without a toolkit: everything its tabs show and every decision about
// it, the same for every front end. A front end (Qt, Win32) draws this model and forwards the
// user's input to it; it decides nothing itself.
//
// The model observes the main dialog as a values::MonitorListener: the front end attaches it
// with AttachTo (the main dialog's AddListener and its "诊断与记录…" button), from the start, so
// the log holds every frame even when the window is opened later.
//
// Its parts, one per tab, and the window:
//   Log()       "报文": the traffic log (each view chooses its lines with a TrafficLogFilter);
//               LogCountText() for its count, LogSaveQuestion() for "保存…".
//   Recording() "记录": the CSV recorder and its texts.
//   Trend()     "趋势": store, columns, axes, zoom, the export title (Settings() keeps the
//               folder pictures go to).
//   Wiring()    "接线检查": the check's rows and phasors, nominal frequency and CT secondary.
//   Frame()     the window's place and remembered frame.
//
// A further tab: AddTab gives it a title after the four above, SubscribeBlocks hands it each
// decoded block (after the model's own tabs have taken it), AddListener every event of the main
// dialog. Its widgets are the front end's; its logic belongs in a model of its own beside this
// one, which the further tab's code owns.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "values/MonitorListener.h"
#include "workbench/BlockFanOut.h"
#include "workbench/RecordingModel.h"
#include "workbench/SaveQuestions.h"
#include "workbench/TrafficLog.h"
#include "workbench/TrendModel.h"
#include "workbench/WindowFrameModel.h"
#include "workbench/WiringModel.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::workbench {

// "共 12 条": the count of events the log has taken.
std::string LogCountText(const TrafficLog& log);

// The four tabs every workbench has, in kWorkbenchTabTitles' order.
enum class WorkbenchTab { Traffic, Recording, Trend, Wiring };

class WorkbenchModel : public values::MonitorListener {
 public:
  // `settings` outlives the model; `files` is how the recorder opens its files.
  WorkbenchModel(WorkbenchSettings& settings, std::unique_ptr<RecordFiles> files);

  // Observes `dialog` (a CMonitorDlg) from now on, and lets its button call `open` (the front
  // end's ShowBeside). The dialog must end before the model does.
  // The dialog's link band shows the recording's note, at once after a start or a stop.
  template <typename MainDialog>
  void AttachTo(MainDialog& dialog, const std::function<void()>& open) {
    dialog.AddListener(*this);
    dialog.SetOpenWorkbench(open);
    dialog.SetRecordingNote([this] { return recording_.Note(); });
    recording_.SetStartedOrStopped(dialog.LinkStatusRefresh());
  }

  TrafficLog& Log() { return log_; }
  RecordingModel& Recording() { return recording_; }
  TrendModel& Trend() { return trend_; }
  WiringModel& Wiring() { return wiring_; }
  WindowFrameModel& Frame() { return frame_; }
  WorkbenchSettings& Settings() { return settings_; }

  // The tabs' titles: the four above, then those added.
  const std::vector<std::string>& TabTitles() const { return tabTitles_; }
  // Room for further tools: a tab's title (its index returned), the decoded blocks in base units,
  // and every event of the main dialog.
  std::size_t AddTab(std::string title);
  void SubscribeBlocks(BlockFanOut::Consumer consumer) { blocks_.Subscribe(std::move(consumer)); }
  void AddListener(values::MonitorListener& listener) { listeners_.push_back(&listener); }

  // values::MonitorListener: to the log, then the blocks to the tabs, then to further listeners.
  void OnFrameSent(std::span<const uint8_t> frame) override;
  void OnReadTaken(const values::ReadTaken& read) override;
  void OnInputDiscarded(std::span<const uint8_t> bytes) override;
  void OnPortEvent(const values::PortEvent& event) override;
  void OnBlockDecoded(const values::MeasuredBlock& block) override;

 private:
  WorkbenchSettings& settings_;
  TrafficLog log_;
  RecordingModel recording_;
  TrendModel trend_;
  WiringModel wiring_;
  WindowFrameModel frame_;
  BlockFanOut blocks_;
  std::vector<values::MonitorListener*> listeners_;
  std::vector<std::string> tabTitles_;
};

}  // namespace kt::workbench
