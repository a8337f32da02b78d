// The tab "总线": draws the bus tab's model (its rows in a list view in report view, stale rows
// grey and failed rows red, the text of "开始"/"停止", the selected row's wiring check in a list
// view below) and forwards the edit "地址" (Enter adds, as "添加" does), the buttons and a chosen
// row (double click, Enter) to it. Both lists copy their chosen rows ("复制"/"全选", Ctrl+C,
// Ctrl+A).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bus/BusTabModel.h"
#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/WorkbenchControlIds.h"

namespace kt::ui::win32 {

class BusPanel : public ChildPanel {
 public:
  explicit BusPanel(bus::BusTabModel& model) : model_(model) {}

  void Layout(int width, int height) override;
  void OnShown() override;

  // Draws the model's rows and the selected row's wiring check again.
  void Refresh();
  // What "生成报告…" does (the window's report steps with the bus's report).
  void SetMakeReport(std::function<void()> make) { makeReport_ = std::move(make); }
  // A cell's text as the list view `listId` holds it (UTF-8).
  std::string CellText(int row, int column, int listId = workbench_ids::kBusList) const;

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  LRESULT OnNotify(NMHDR& header) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnTimer(UINT_PTR timerId) override;

 private:
  static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self);
  void SetCell(int listId, int row, int column, const std::string& text);
  void SetRowCount(int listId, int count);
  std::optional<size_t> Selected() const;
  void RefreshCheck();
  void OnAdd();
  void OnStartStop();
  // The tick timer at the model's period for the page as it is now (shown or not).
  void UpdateTimer();
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;

  bus::BusTabModel& model_;
  std::vector<bus::BusTableRow> rows_;          // as drawn
  std::vector<workbench::CheckRow> checkRows_;  // as drawn
  UINT timerMs_ = 0;                            // the tick timer's period; 0: not running
  std::function<void()> makeReport_;
};

}  // namespace kt::ui::win32
