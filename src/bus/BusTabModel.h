// The workbench tab "总线" without a toolkit: the list of meters the user builds in the edit
// "地址" with "添加" and "删除", polled on the program's line with "开始"/"停止", its rows, and a
// row chosen (double click, Enter) made the main dialog's meter. The list is remembered per port.
// A front end draws Rows() and forwards its input; while NeedsTicks() it calls Tick() every
// kBusTickMs (never once stopped and settled), and redraws when Tick() says so.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bus/BusPoller.h"
#include "bus/BusTable.h"
#include "bus/LineScheduler.h"
#include "modbus/Clock.h"
#include "workbench/TrafficLogColours.h"
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
// The list as it is stored ("3,17,200") and read back (ParseAddressList).
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

  // Observes `dialog` (its blocks feed its own meter's row; its port chooses the list) and makes
  // chosen rows its meter. The dialog must end before the model does.
  void AttachTo(ui::CMonitorDlg& dialog);

  // "添加": the addresses of `text` appended (those listed already stay where they are). Returns
  // "" or the message for the user, and then adds nothing.
  std::string Add(const std::string& text);
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

  // The line's schedule turns; true when the table is due to be drawn again.
  bool Tick();
  // While the poller runs, and after "停止" until its last exchange has settled (so that the
  // main dialog never waits for it).
  bool NeedsTicks() const { return Running() || line_.BusExchangeOnWire(); }

  const BusPoller& Poller() const { return poller_; }

 private:
  // Takes up the list remembered for the main dialog's port when it changed.
  void FollowPort();
  void SetList(const std::vector<BusMeterEntry>& entries);

  LineScheduler& line_;
  modbus::Clock& clock_;
  workbench::WorkbenchSettings& settings_;
  BusPoller poller_;
  ui::CMonitorDlg* dialog_ = nullptr;
  int32_t port_ = 0;  // whose list is loaded; 0: none yet
  uint32_t lastRedraw_ = 0;
};

}  // namespace kt::bus
