// The tab "接线检查" without its widgets: the latest block, the nominal frequency and the CTs'
// rated secondary the check judges against (remembered in the settings), and the check's rows,
// verdicts and phasor geometry of that block.
#pragma once

#include <cstddef>
#include <vector>

#include "values/MeasuredBlock.h"
#include "workbench/PhasorDiagram.h"
#include "workbench/WiringCheck.h"
#include "workbench/WorkbenchLook.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::workbench {

class WiringModel {
 public:
  // Reads the choices remembered in `settings` (the defaults for anything else).
  explicit WiringModel(WorkbenchSettings& settings);

  // Keeps the block; Check() judges it.
  void AddBlock(const values::MeasuredBlock& block);
  bool HasBlock() const { return hasBlock_; }
  // The latest block, nullptr before the first.
  const values::MeasuredBlock* LatestBlock() const { return hasBlock_ ? &last_ : nullptr; }

  // The options of kNominalFrequencyChoice and kCtSecondaryChoice chosen, by index (an index
  // out of range chooses the default), remembered in the settings.
  std::size_t NominalHzIndex() const { return nominalIndex_; }
  std::size_t CtSecondaryIndex() const { return ctIndex_; }
  void ChooseNominalHz(std::size_t index);
  void ChooseCtSecondary(std::size_t index);
  double NominalHz() const { return kNominalFrequencyChoice.options[nominalIndex_].value; }
  double CtSecondaryA() const { return kCtSecondaryChoice.options[ctIndex_].value; }

  // Runs the check over the latest block; false when there is none. Rows() and Diagram() then
  // hold what the tab shows.
  bool Check();
  const std::vector<CheckRow>& Rows() const { return rows_; }
  // The diagram of the latest check, nullptr before the first.
  const PhasorDiagram* Diagram() const { return checked_ ? &diagram_ : nullptr; }

 private:
  WorkbenchSettings& settings_;
  std::size_t nominalIndex_ = 0;
  std::size_t ctIndex_ = 0;
  values::MeasuredBlock last_{};
  bool hasBlock_ = false;
  std::vector<CheckRow> rows_;
  PhasorDiagram diagram_{};
  bool checked_ = false;
};

}  // namespace kt::workbench
