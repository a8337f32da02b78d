// The wiring check's choices and the rows and phasors of the latest block.
#include "workbench/WiringModel.h"

namespace kt::workbench {
namespace {

std::size_t RememberedIndex(const WorkbenchSettings& settings, NumberSetting which,
                            const WiringChoice& choice) {
  const std::optional<double> value = settings.Number(which);
  return value ? choice.IndexOf(*value) : 0;
}

std::size_t ValidIndex(std::size_t index, const WiringChoice& choice) {
  return index < choice.options.size() ? index : 0;
}

}  // namespace

WiringModel::WiringModel(WorkbenchSettings& settings)
    : settings_(settings),
      nominalIndex_(RememberedIndex(settings, NumberSetting::NominalHz, kNominalFrequencyChoice)),
      ctIndex_(RememberedIndex(settings, NumberSetting::CtSecondaryA, kCtSecondaryChoice)) {}

void WiringModel::AddBlock(const values::MeasuredBlock& block) {
  last_ = block;
  hasBlock_ = true;
}

void WiringModel::ChooseNominalHz(std::size_t index) {
  nominalIndex_ = ValidIndex(index, kNominalFrequencyChoice);
  settings_.SetNumber(NumberSetting::NominalHz, NominalHz());
}

void WiringModel::ChooseCtSecondary(std::size_t index) {
  ctIndex_ = ValidIndex(index, kCtSecondaryChoice);
  settings_.SetNumber(NumberSetting::CtSecondaryA, CtSecondaryA());
}

bool WiringModel::Check() {
  if (!hasBlock_) return false;
  rows_ = CheckWiring(last_, kWiringThresholds, NominalHz(), CtSecondaryA());
  diagram_ = MakePhasorDiagram(last_);
  checked_ = true;
  return true;
}

}  // namespace kt::workbench
