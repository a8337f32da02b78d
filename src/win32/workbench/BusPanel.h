// The tab "总线": draws the bus tab's model (its rows in a list view in report view, stale rows
// grey and failed rows red, the text of "开始"/"停止") and forwards the edit "地址", the buttons
// and a chosen row (double click, Enter) to it.
#pragma once

#include <string>
#include <vector>

#include "bus/BusTabModel.h"
#include "win32/workbench/ChildPanel.h"

namespace kt::ui::win32 {

class BusPanel : public ChildPanel {
 public:
  explicit BusPanel(bus::BusTabModel& model) : model_(model) {}

  void Layout(int width, int height) override;
  void OnShown() override { Refresh(); }

  // Draws the model's rows again.
  void Refresh();
  // A cell's text as the list view holds it (UTF-8).
  std::string CellText(int row, int column) const;

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  LRESULT OnNotify(NMHDR& header) override;
  void OnTimer(UINT_PTR timerId) override;

 private:
  HWND List() const;
  void SetCell(int row, int column, const std::string& text);
  void OnAdd();
  void OnStartStop();
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) const;

  bus::BusTabModel& model_;
  std::vector<bus::BusTableRow> rows_;  // as drawn
};

}  // namespace kt::ui::win32
