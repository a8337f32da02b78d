// The dialog "自动查找仪表": runs the finder on its own timer, shows what it tries and finds, and
// hands back the meter the user picks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "finder/LentLine.h"
#include "finder/MeterFinder.h"
#include "modbus/Clock.h"
#include "ui/PortListSource.h"
#include "ui/dialog/Dialog.h"

namespace kt::ui {

// What the finder runs on. Empty parts: the real clock, and a serial line of its own per port.
// `lending`: the holder of a port the finder may sweep too (the main dialog), which closes it
// meanwhile and opens it again afterwards. `addToBus`: "加入总线" hands it the meters found and
// shows what it returns; empty: the button is hidden.
using FoundMetersToBus = std::function<std::string(const std::vector<finder::FoundMeter>& found)>;
struct FinderSetup {
  modbus::Clock* clock = nullptr;
  finder::LineOpener opener{};
  finder::PortLending lending{};
  FoundMetersToBus addToBus{};
};

class CFindMeterDlg : public Dialog {
 public:
  CFindMeterDlg(WindowHost& host, PortListSource portList, FinderSetup setup);

  // Set by the caller before DoModal.
  int32_t m_currentPort = 1;          // the port "只查当前端口" sweeps
  finder::SweepSetting m_lastUsed{};  // tried first
  // After IDOK: the meter chosen with "使用" or a double click.
  std::optional<finder::FoundMeter> m_chosen;

  bool OnInitDialog() override;
  bool OnCommand(int commandId) override;
  void OnTimer(unsigned timerId) override;
  void OnListClick(int controlId, int line) override;
  bool DestroyWindow() override;

 protected:
  void OnOK() override;      // "使用" by Enter
  void OnCancel() override;  // "关闭": stops a sweep first

 private:
  void Start();
  void Stop();
  void Use();
  void AddToBus();
  // Brings the controls up to the finder's state.
  void ShowState();

  PortListSource portList_;
  modbus::SteadyClock ownClock_;
  modbus::Clock& clock_;
  finder::LineOpener opener_;
  FoundMetersToBus addToBus_;
  std::unique_ptr<finder::MeterFinder> finder_;
  int selectedRow_ = -1;
  size_t shownMeters_ = 0;
  size_t shownFailures_ = 0;
};

}  // namespace kt::ui
