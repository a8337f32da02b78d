// The workbench tab "总线" without a toolkit: the list of meters the user builds in the edit
// "地址" with "添加" and "删除" (names given as "17=进线柜"), or the finder's "加入总线", polled on
// the program's line with "开始"/"停止", its rows, the wiring check of the selected row, the
// report of all meters, and a row chosen (double click, Enter) made the main dialog's meter. The
// list is remembered per port. A front end draws Rows() and forwards its input; it runs its timer
// every TimerMs(), calls Tick() on it and redraws when Tick() says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bus/BusPoller.h"
#include "bus/BusTable.h"
#include "bus/LineScheduler.h"
#include "finder/FinderTypes.h"
#include "modbus/Clock.h"
#include "report/MeterReport.h"
#include "workbench/TrafficLogColours.h"
#include "workbench/WiringModel.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::ui {
class CMonitorDlg;
}

namespace kt::bus {

inline constexpr const char* kBusTabTitle = "总线";
inline constexpr const char* kBusAddressLabel = "地址";
inline constexpr const char* kBusAddButton = "添加";
inline constexpr const char* kBusRemoveButton = "删除";
inline constexpr const char* kBusStartButton = "开始";
inline constexpr const char* kBusStopButton = "停止";
inline constexpr const char* kBusNoSelectionText = "在上表中选择一台仪表，这里显示它的接线检查";
inline constexpr const char* kBusNoFoundMeters = "尚未找到仪表，没有可加入总线的仪表";
inline constexpr const char* kBusNoDataForReport =
    "总线上的仪表尚无测量数据，无法生成报告。请在“总线”页添加仪表并按“开始”，收到数据后再试。";
// The front end's timer while the poller runs, and how often the table is drawn anew.
inline constexpr uint32_t kBusTickMs = 10;
inline constexpr uint32_t kBusRedrawMs = 250;

// A row's text colour: red when its link failed, grey when its values are stale, the
// window's own text colour (nothing) otherwise.
inline constexpr workbench::Rgb kBusFailedColour{200, 0, 0};
inline constexpr workbench::Rgb kBusStaleColour{128, 128, 128};
inline const workbench::Rgb* BusRowColour(const BusTableRow& row) {
  if (row.failed) return &kBusFailedColour;
  return row.stale ? &kBusStaleColour : nullptr;
}

// The settings key of the list for a port: "bus/port3".
std::string BusListKey(int32_t portNumber);
// The list as it is stored ("3,17=进线柜,200") and read back (ParseAddressList).
std::string BusListText(const std::vector<BusMeterEntry>& meters);

class BusTabModel {
 public:
  // `line` and `settings` outlive the model; the poller becomes the line's client.
  BusTabModel(LineScheduler& line, modbus::Clock& clock, workbench::WorkbenchSettings& settings);
  BusTabModel(const BusTabModel&) = delete;
  BusTabModel& operator=(const BusTabModel&) = delete;
  BusTabModel(BusTabModel&&) = delete;
  BusTabModel& operator=(BusTabModel&&) = delete;
  ~BusTabModel();

  // Observes `dialog` (its blocks feed its own meter's row; its port chooses the list), makes
  // chosen rows its meter, and gives its finder "加入总线" (AddFound). The dialog must end before
  // the model does.
  void AttachTo(ui::CMonitorDlg& dialog);
  // The wiring tab's nominal frequency and CT rated secondary judge the meters too (without it,
  // the defaults). `wiring` outlives the model.
  void UseWiringChoices(const workbench::WiringModel& wiring) { wiring_ = &wiring; }

  // "添加": the addresses of `text` appended (those listed already stay where they are), and the
  // names given with "=" set, on new and listed meters alike. Returns "" or the message for the
  // user, and then changes nothing.
  std::string Add(const std::string& text);
  // The finder's "加入总线": each meter found goes on the list of its own port (remembered; the
  // main dialog's port's list is the one shown). Returns what was done, for the user.
  std::string AddFound(const std::vector<finder::FoundMeter>& found);
  // "删除": the row `row` (in Rows()' order); nothing when there is no such row.
  void Remove(std::size_t row);
  // "开始"/"停止": the poller on or off.
  void StartStop();
  bool Running() const { return poller_.Running(); }
  const char* StartStopText() const { return Running() ? kBusStopButton : kBusStartButton; }

  // The table, after the list of the main dialog's current port was taken up.
  std::vector<BusTableRow> Rows();
  // A row chosen by double click or Enter: its meter becomes the main dialog's.
  void Choose(std::size_t row);
  // The wiring check of the selected row's last block (none: nothing selected or no block yet),
  // and the line above it.
  std::vector<workbench::CheckRow> CheckRows(std::optional<std::size_t> row);
  std::string CheckTitle(std::optional<std::size_t> row);

  // "生成报告…": one report of every listed meter that has a block (a summary first, then a page
  // each), through the same steps as the wiring tab's (report::MakeReportFile); told
  // kBusNoDataForReport when none has.
  void MakeReport(workbench::WorkbenchModel& workbench, const report::ReportFrontEnd& front);
  // The report of those meters now, or nothing when none has a block.
  std::optional<report::Report> MakeBusReport(workbench::WorkbenchModel& workbench,
                                              const report::ReportTitle& title) const;

  // The front end's timer takes up the list of the main dialog's port when it changed and turns
  // the line's schedule; true when the table is due to be drawn again.
  bool Tick();
  // While the poller runs, and after "停止" until its last exchange has settled (so that the
  // main dialog never waits for it).
  bool NeedsTicks() const { return Running() || line_.BusExchangeOnWire(); }
  // The front end's timer period: kBusTickMs while NeedsTicks(), else kBusRedrawMs while the table
  // is `shown` (values turn stale as time passes, the main dialog's blocks and the finder change
  // rows), else 0: no timer.
  uint32_t TimerMs(bool shown) const;

  const BusPoller& Poller() const { return poller_; }

 private:
  // Takes up the list remembered for the main dialog's port when it changed.
  void FollowPort();
  void SetList(const std::vector<BusMeterEntry>& entries);
  // The list of `port`: the poller's for the port shown, else as stored.
  std::vector<BusMeterEntry> ListOf(int32_t port) const;
  double NominalHz() const;
  double CtSecondaryA() const;

  LineScheduler& line_;
  modbus::Clock& clock_;
  workbench::WorkbenchSettings& settings_;
  BusPoller poller_;
  ui::CMonitorDlg* dialog_ = nullptr;
  const workbench::WiringModel* wiring_ = nullptr;
  WiringVerdictMemo verdicts_;
  int32_t port_ = 0;  // whose list is loaded; 0: none yet
  uint32_t lastRedraw_ = 0;
};

}  // namespace kt::bus
