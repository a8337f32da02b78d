// The tab "接线检查": draws the wiring model (the checks of the latest block in a table, verdicts
// in their colours, the nominal frequency and CT rated secondary they judge against, the phasor
// diagram with its note) and forwards the choices to it. Out of sight it draws nothing and
// catches up when shown. The chosen row's "说明" (the first row's until one is chosen) shows whole
// under the table; rows are copied with Ctrl+C or the right-click menu ("复制", "全选").
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/PaintedView.h"
#include "workbench/WiringModel.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {

class WiringPanel : public ChildPanel {
 public:
  explicit WiringPanel(workbench::WiringModel& wiring);
  // The model has a new block: shown at once when the page is in sight.
  void BlockAdded();
  void OnShown() override;
  void Layout(int width, int height) override;

  double NominalHz() const { return wiring_.NominalHz(); }
  void SetNominalHz(double hz);
  double CtSecondaryA() const { return wiring_.CtSecondaryA(); }
  void SetCtSecondaryA(double amps);
  // The rows as shown: name, verdict and message each, and the diagram drawn.
  const std::vector<workbench::CheckRow>& Rows() const { return wiring_.Rows(); }
  // The table's text of a row and column, as Windows holds it.
  std::string CellText(int row, int column) const;
  const workbench::PhasorDiagram* Diagram() const { return wiring_.Diagram(); }
  HWND Table() const;
  HWND PhasorWindow() const { return phasors_->Handle(); }
  // "生成报告…" calls `make`; without it the button stays hidden.
  void SetMakeReport(std::function<void()> make);

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  LRESULT OnNotify(NMHDR& header) override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ShowLastBlock();
  void ShowChosenMessage();
  // A label and a drop-down list with the choice's options, set to option `chosen`.
  void AddChoice(const workbench::WiringChoice& choice, int labelId, int listId,
                 std::size_t chosen);
  // The list's option `index` chosen, as a click would.
  void Choose(int listId, std::size_t index);
  // The table's texts, asked for by the table as it draws.
  void GiveText(NMLVDISPINFOW& info) const;
  // The row whose name starts with the letters typed into the table, -1 for none.
  int FindRow(const NMLVFINDITEMW& find) const;

  workbench::WiringModel& wiring_;
  std::unique_ptr<PaintedView> phasors_;
  std::function<void()> make_;
  // The texts of each row's cells as the table shows them.
  using RowTexts = std::array<std::wstring, workbench::kWiringColumns.size()>;
  std::vector<RowTexts> shown_;
  std::string shownMessage_;
  // The diagram the phasor view last painted; a new block repaints it only when it looks other.
  std::optional<workbench::PhasorDiagram> painted_;
};

}  // namespace kt::ui::win32
