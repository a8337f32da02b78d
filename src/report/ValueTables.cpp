// The values and the limit status as HTML tables.
#include "report/ValueTables.h"

#include <array>

#include "measure/ShownValueBoxes.h"
#include "report/HtmlText.h"
#include "ui/MainDialogIds.h"
#include "ui/MainDialogLabels.h"
#include "values/LimitStatus.h"
#include "values/MeasurementBlock.h"
#include "values/UnitFormat.h"

namespace kt::report {
namespace {

using namespace ui::main_ids;
using namespace ui::main_labels;

constexpr int kNoBox = 0;

struct GridRow {
  const char* label;
  std::array<int, 4> boxes;  // total, A/CA, B/AB, C/BC
};

constexpr std::array<const char*, 4> kColumns = {kTotalColumn, kColumnA, kColumnB, kColumnC};

constexpr GridRow kGridRows[] = {
    {kPhaseVoltage,
     {kPhaseVoltageTotalBox, kPhaseVoltageABox, kPhaseVoltageBBox, kPhaseVoltageCBox}},
    {kLineVoltage, {kLineVoltageMeanBox, kLineVoltageCABox, kLineVoltageABBox, kLineVoltageBCBox}},
    {kCurrent, {kCurrentTotalBox, kCurrentABox, kCurrentBBox, kCurrentCBox}},
    {kActivePower, {kActivePowerTotalBox, kActivePowerABox, kActivePowerBBox, kActivePowerCBox}},
    {kReactivePower,
     {kReactivePowerTotalBox, kReactivePowerABox, kReactivePowerBBox, kReactivePowerCBox}},
    {kApparentPower,
     {kApparentPowerTotalBox, kApparentPowerABox, kApparentPowerBBox, kApparentPowerCBox}},
    {kPowerFactor, {kPowerFactorTotalBox, kPowerFactorABox, kPowerFactorBBox, kPowerFactorCBox}},
};

struct LabelledBox {
  const char* label;
  int box;
};
constexpr LabelledBox kEnergies[] = {
    {kForwardActiveEnergy, kForwardActiveEnergyBox},
    {kReverseActiveEnergy, kReverseActiveEnergyBox},
    {kForwardReactiveEnergy, kForwardReactiveEnergyBox},
    {kReverseReactiveEnergy, kReverseReactiveEnergyBox},
};

std::string Cell(const values::MeasuredBlock& block, int box) {
  if (box == kNoBox) return "<td></td>";
  return "<td class=\"value\" data-box=\"" + std::to_string(box) + "\">" +
         HtmlEscaped(ShownText(block, box)) + "</td>";
}

std::string Heading(const char* label) {
  return "<th>" + HtmlEscaped(label) + "</th>";
}

}  // namespace

std::string ShownText(const values::MeasuredBlock& block, int controlId) {
  // The decoder's unit families in its order, which is the order of the block's values and boxes.
  static const auto kLayout = [] {
    const std::array<uint8_t, values::kBlockPayloadBytes> zeros{};
    return values::DecodeBlock(zeros.data(), {});
  }();
  for (std::size_t i = 0; i < kLayout.size(); ++i) {
    if (measure::kShownValueBoxes[i] == controlId)
      return values::FormatValue(kLayout[i].family, block.values[i]);
  }
  return "";
}

std::string ValueTables(const values::MeasuredBlock& block) {
  std::string html = "<table class=\"values\"><tr><th></th>";
  for (const char* column : kColumns) html += Heading(column);
  html += "</tr>";
  for (const GridRow& row : kGridRows) {
    html += "<tr>" + Heading(row.label);
    for (int box : row.boxes) html += Cell(block, box);
    html += "</tr>";
  }
  html += "<tr>" + Heading(kFrequency) + Cell(block, kFrequencyBox) +
          Heading(kZeroSequenceCurrent) + Cell(block, kZeroSequenceCurrentBox) +
          Cell(block, kNoBox) + "</tr></table>";
  html += "<table class=\"values energies\"><tr>";
  for (const LabelledBox& e : kEnergies) html += Heading(e.label);
  html += "</tr><tr>";
  for (const LabelledBox& e : kEnergies) html += Cell(block, e.box);
  return html + "</tr></table>";
}

std::string LimitStatusTable(const values::MeasuredBlock& block) {
  if (!block.status) return "<p class=\"status\">越限状态：本数据块未带越限状态</p>";
  std::string html = "<table class=\"status\"><tr>";
  for (std::size_t i = 0; i < values::kStatusItems.size(); ++i) {
    const values::StatusItem& item = values::kStatusItems[i];
    const int code = values::StatusCode(
        item.isCurrent ? block.status->current : block.status->voltage, item.shift);
    html += Heading(kStatusItems[i]) + "<td" +
            (values::IsAlarm(code) ? std::string(" class=\"alarm\"") : std::string()) + ">" +
            values::StatusText(item.isCurrent, code) + "</td>";
    if (i == 3) html += "</tr><tr>";
  }
  return html + "</tr></table>";
}

}  // namespace kt::report
