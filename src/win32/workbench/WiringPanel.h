// The tab "接线检查": the core's checks of the latest block in a table (verdicts in their
// colours), the nominal frequency and CT rated secondary they judge against, and the phasor
// diagram with its note.
// Out of sight it only keeps the block and catches up when shown.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "values/MeasuredBlock.h"
#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/PaintedView.h"
#include "workbench/PhasorDiagram.h"
#include "workbench/WiringCheck.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {

class WiringPanel : public ChildPanel {
 public:
  WiringPanel();
  void AddBlock(const values::MeasuredBlock& block);
  void OnShown() override;
  void Layout(int width, int height) override;

  double NominalHz() const;
  void SetNominalHz(double hz);
  double CtSecondaryA() const;
  void SetCtSecondaryA(double amps);
  // The rows as shown: name, verdict and message each, and the diagram drawn.
  const std::vector<workbench::CheckRow>& Rows() const { return rows_; }
  // The table's text of a row and column, as Windows holds it.
  std::string CellText(int row, int column) const;
  const workbench::PhasorDiagram* Diagram() const { return phasorsDrawn_ ? &diagram_ : nullptr; }
  HWND Table() const;
  HWND PhasorWindow() const { return phasors_->Handle(); }

 protected:
  void Populate() override;
  void OnCommand(int id, int code) override;
  LRESULT OnNotify(NMHDR& header) override;

 private:
  void ShowLastBlock();
  // A label and a drop-down list with the choice's options, set to `remembered` if it is one.
  void AddChoice(const workbench::WiringChoice& choice, int labelId, int listId,
                 std::optional<double> remembered);
  double Chosen(const workbench::WiringChoice& choice, int listId) const;
  void Choose(const workbench::WiringChoice& choice, int listId, double value);
  void SetCell(int row, int column, const std::string& text);

  values::MeasuredBlock last_{};
  bool hasBlock_ = false;
  std::vector<workbench::CheckRow> rows_;
  workbench::PhasorDiagram diagram_{};
  bool phasorsDrawn_ = false;
  std::unique_ptr<PaintedView> phasors_;
};

}  // namespace kt::ui::win32
