// Making the bus table's rows from the poller's meters.
#include "bus/BusTable.h"

#include <algorithm>

#include "values/ValueText.h"

namespace kt::bus {
namespace {

using values::Quantity;

std::string Phases(const values::MeasuredBlock& block, Quantity a, Quantity b, Quantity c) {
  if (block.wiringMode == static_cast<uint8_t>(values::WiringMode::SinglePhaseTwoWire)) {
    return values::ValueText(block, a);
  }
  return values::ValueText(block, a) + "/" + values::ValueText(block, b) + "/" +
         values::ValueText(block, c);
}

}  // namespace

std::string WiringVerdictText(const values::MeasuredBlock& block, double nominalHz,
                              double ctSecondaryA) {
  const std::vector<workbench::CheckRow> rows =
      workbench::CheckWiring(block, workbench::kWiringThresholds, nominalHz, ctSecondaryA);
  workbench::Verdict worst = workbench::Verdict::Normal;
  for (const workbench::CheckRow& row : rows) worst = std::max(worst, row.verdict);
  return workbench::VerdictText(worst);
}

namespace {

std::string Verdict(const BusMeter& meter, double nominalHz, double ctSecondaryA,
                    WiringVerdictMemo* memo) {
  if (memo == nullptr) return WiringVerdictText(*meter.lastBlock, nominalHz, ctSecondaryA);
  WiringVerdictMemo::Judged& judged = memo->byAddress[meter.address];
  if (judged.verdict.empty() || judged.blockTick != meter.lastBlockTick ||
      judged.nominalHz != nominalHz || judged.ctSecondaryA != ctSecondaryA) {
    judged = {meter.lastBlockTick, nominalHz, ctSecondaryA,
              WiringVerdictText(*meter.lastBlock, nominalHz, ctSecondaryA)};
  }
  return judged.verdict;
}

}  // namespace

std::vector<BusTableRow> BusTableRows(const BusPoller& poller, double nominalHz,
                                      double ctSecondaryA, WiringVerdictMemo* memo) {
  std::vector<BusTableRow> rows;
  for (const BusMeter& meter : poller.Meters()) {
    BusTableRow row;
    row.address = meter.address;
    auto cell = [&row](BusColumn c) -> std::string& { return row.cells[static_cast<size_t>(c)]; };
    cell(BusColumn::Address) = std::to_string(meter.address);
    cell(BusColumn::Name) = meter.name;
    cell(BusColumn::State) = meter.link.StateText();
    cell(BusColumn::LastData) = meter.link.LastDataText();
    row.failed = meter.link.Alarming();
    row.stale = poller.Stale(meter);
    if (meter.lastBlock) {
      const values::MeasuredBlock& b = *meter.lastBlock;
      cell(BusColumn::PhaseVoltage) =
          Phases(b, Quantity::PhaseVoltageA, Quantity::PhaseVoltageB, Quantity::PhaseVoltageC);
      cell(BusColumn::PhaseCurrent) =
          Phases(b, Quantity::CurrentA, Quantity::CurrentB, Quantity::CurrentC);
      cell(BusColumn::ActivePower) = values::ValueText(b, Quantity::TotalActivePower);
      cell(BusColumn::PowerFactor) = values::ValueText(b, Quantity::TotalPowerFactor);
      cell(BusColumn::Frequency) = values::ValueText(b, Quantity::Frequency);
      cell(BusColumn::Wiring) = Verdict(meter, nominalHz, ctSecondaryA, memo);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace kt::bus
