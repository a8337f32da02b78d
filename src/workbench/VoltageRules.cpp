// The wiring check's voltage rules: lost and reversed voltages, imbalance, line against phase.
#include "workbench/VoltageRules.h"

#include <algorithm>
#include <cmath>

#include "workbench/WiringFigures.h"
#include "workbench/WiringText.h"

namespace kt::workbench {

using values::Quantity;

std::array<bool, 3> LostPhases(const CheckContext& c) {
  std::array<bool, 3> lost{};
  const WiringThresholds& t = c.limits;
  if (c.site.layout == Layout::ThreeWire) {
    const double ab = c.block[Quantity::LineVoltageAB], bc = c.block[Quantity::LineVoltageBC],
                 ca = c.block[Quantity::LineVoltageCA];
    // A lost phase's input floats to the middle of the other two: the two lines touching it
    // read half the third.
    const auto half = [&](double x, double y, double whole) {
      return whole > 0 && std::abs(x / (whole / 2) - 1) <= t.halfLineTolerance &&
             std::abs(y / (whole / 2) - 1) <= t.halfLineTolerance;
    };
    // Or, with the meter's input pulled onto B's, the line it makes with B reads near 0 V.
    const auto pulledToB = [&](double line, double x, double y) {
      return x > 0 && y > 0 && line < t.lostVoltageFraction * (x + y) / 2 &&
             std::abs(x / y - 1) <= t.halfLineTolerance;
    };
    lost[0] = half(ab, ca, bc) || pulledToB(ab, bc, ca);
    lost[1] = half(ab, bc, ca);
    lost[2] = half(ca, bc, ab) || pulledToB(bc, ab, ca);
    if (ab <= 0 && bc <= 0 && ca <= 0) lost = {true, true, true};
    return lost;
  }
  const auto& m = c.site.measured;
  if (m.size() < 2) return lost;
  for (int p : m) {
    std::vector<double> others;
    for (int o : m)
      if (o != p) others.push_back(c.site.elements[o].voltage);
    lost[p] = c.site.elements[p].voltage < t.lostVoltageFraction * Mean(others) ||
              c.site.elements[p].voltage <= 0;
  }
  return lost;
}

void LostVoltage(CheckContext& c, const char* name) {
  const std::array<bool, 3> lost = LostPhases(c);
  if (c.site.layout != Layout::ThreeWire && c.site.measured.size() < 2) return;
  if (std::all_of(lost.begin(), lost.end(), [](bool l) { return l; })) {
    c.Add(name, Verdict::Fault, "各相电压均为 0 V：电压未接入。检查电压回路的保险与接线");
    return;
  }
  bool any = false;
  for (int p = 0; p < 3; ++p) {
    if (!lost[p]) continue;
    any = true;
    if (c.site.layout == Layout::ThreeWire && p != 1 &&
        (p == 0 ? c.block[Quantity::LineVoltageAB] : c.block[Quantity::LineVoltageBC]) <
            c.limits.lostVoltageFraction * c.block[Quantity::LineVoltageCA]) {
      const Quantity line = p == 0 ? Quantity::LineVoltageAB : Quantity::LineVoltageBC;
      c.Add(name, Verdict::Fault,
            Printf("%s失压：%s线电压 %s 接近 0 V，CA线电压 %s 正常。检查该相电压互感器保险及电压"
                   "线；该元件不作电流判断",
                   PhaseName(p), p == 0 ? "AB" : "BC", WithUnit(c.block[line], "V").c_str(),
                   WithUnit(c.block[Quantity::LineVoltageCA], "V").c_str()));
    } else if (c.site.layout == Layout::ThreeWire) {
      c.Add(
          name, Verdict::Fault,
          Printf(
              "%s失压：与%c相有关的两个线电压 %s、%s 约为第三个线电压 %s 的一半。检查该相电压"
              "互感器保险及电压线",
              PhaseName(p), 'A' + p,
              WithUnit(p == 2 ? c.block[Quantity::LineVoltageCA] : c.block[Quantity::LineVoltageAB],
                       "V")
                  .c_str(),
              WithUnit(p == 0 ? c.block[Quantity::LineVoltageCA] : c.block[Quantity::LineVoltageBC],
                       "V")
                  .c_str(),
              WithUnit(p == 0   ? c.block[Quantity::LineVoltageBC]
                       : p == 1 ? c.block[Quantity::LineVoltageCA]
                                : c.block[Quantity::LineVoltageAB],
                       "V")
                  .c_str()));
    } else {
      std::vector<double> others;
      for (int o : c.site.measured)
        if (o != p) others.push_back(c.site.elements[o].voltage);
      c.Add(name, Verdict::Fault,
            Printf("%s电压 %s，不到其他相均值 %s 的%.0f%%：该相失压。检查该相电压保险及电压线",
                   PhaseName(p), WithUnit(c.site.elements[p].voltage, "V").c_str(),
                   WithUnit(Mean(others), "V").c_str(), 100.0 * c.limits.lostVoltageFraction));
    }
  }
  if (any) return;
  if (c.site.layout == Layout::ThreeWire) {
    c.Add(name, Verdict::Normal,
          Printf("线电压 %s / %s / %s", WithUnit(c.block[Quantity::LineVoltageAB], "V").c_str(),
                 WithUnit(c.block[Quantity::LineVoltageBC], "V").c_str(),
                 WithUnit(c.block[Quantity::LineVoltageCA], "V").c_str()));
  } else {
    c.Add(name, Verdict::Normal,
          "相电压 " + Figures(
                          c, c.site.measured, [](const ElementView& e) { return e.voltage; }, "V"));
  }
}

void VoltageImbalance(CheckContext& c, const char* name) {
  std::vector<double> volts;
  std::vector<std::string> names;
  const std::array<bool, 3> lost = LostPhases(c);
  // A lost or reversed voltage is said already.
  if (std::any_of(lost.begin(), lost.end(), [](bool l) { return l; }) ||
      (c.site.layout == Layout::ThreeWire && ThreeWirePtReversed(c))) {
    return;
  }
  if (c.site.layout == Layout::ThreeWire) {
    volts = {c.block[Quantity::LineVoltageAB], c.block[Quantity::LineVoltageBC],
             c.block[Quantity::LineVoltageCA]};
    names = {"AB线", "BC线", "CA线"};
  } else {
    for (int p : c.site.measured) {
      volts.push_back(c.site.elements[p].voltage);
      names.emplace_back(PhaseName(p));
    }
  }
  if (volts.size() < 2 || Mean(volts) <= 0) return;
  const auto [worst, deviation] = LargestDeviation(volts);
  if (deviation > c.limits.voltageImbalance + c.site.lsb.volt / Mean(volts)) {
    c.Add(name, Verdict::Note,
          Printf("%s电压 %s 偏离均值 %s，超过%s：供电电压不平衡，或电压回路接触不良",
                 names[worst].c_str(), WithUnit(volts[worst], "V").c_str(),
                 Percent(deviation).c_str(), Percent(c.limits.voltageImbalance).c_str()));
  } else {
    c.Add(name, Verdict::Normal, "最大偏差 " + Percent(deviation));
  }
}

namespace {

struct Line {
  Quantity quantity;
  const char* name;
  int first, second;
};
constexpr std::array<Line, 3> kLines = {{
    {Quantity::LineVoltageAB, "AB线", 0, 1},
    {Quantity::LineVoltageBC, "BC线", 1, 2},
    {Quantity::LineVoltageCA, "CA线", 2, 0},
}};

// Each line voltage against the mean of its two phase voltages (0 where a phase is lost).
std::array<double, 3> LineRatios(const CheckContext& c, const std::array<bool, 3>& lost) {
  std::array<double, 3> ratios{};
  for (std::size_t n = 0; n < kLines.size(); ++n) {
    const Line& l = kLines[n];
    const double phase =
        (c.site.elements[l.first].voltage + c.site.elements[l.second].voltage) / 2.0;
    if (lost[l.first] || lost[l.second] || phase <= 0) continue;
    ratios[n] = c.block[l.quantity] / phase;
  }
  return ratios;
}

bool Near(const CheckContext& c, double ratio, double expected, double phaseVolts) {
  return std::abs(ratio / expected - 1.0) <=
         c.limits.lineToPhaseTolerance + 2 * c.site.lsb.volt / std::max(phaseVolts, 1e-9);
}

}  // namespace

bool LineVoltagesWrong(const CheckContext& c, const std::array<bool, 3>& lost) {
  const std::array<double, 3> ratios = LineRatios(c, lost);
  for (std::size_t n = 0; n < kLines.size(); ++n) {
    const Line& l = kLines[n];
    const double phase =
        (c.site.elements[l.first].voltage + c.site.elements[l.second].voltage) / 2.0;
    if (ratios[n] > 0 && !Near(c, ratios[n], c.limits.lineToPhaseRatio, phase)) return true;
  }
  return false;
}

// Four-wire: a phase whose voltage arrives reversed (its PT or its lead the wrong way round)
// makes the two line voltages beside it read about one phase voltage and leaves the third at √3;
// -1 when no phase does.
int ReversedPhaseVoltage(const CheckContext& c, const std::array<bool, 3>& lost) {
  const std::array<double, 3> ratios = LineRatios(c, lost);
  const double phase = c.site.elements[0].voltage;
  for (int p = 0; p < 3; ++p) {
    bool matches = true;
    for (std::size_t n = 0; n < kLines.size(); ++n) {
      const bool beside = kLines[n].first == p || kLines[n].second == p;
      matches = matches && ratios[n] > 0 &&
                Near(c, ratios[n], beside ? 1.0 : c.limits.lineToPhaseRatio, phase);
    }
    if (matches) return p;
  }
  return -1;
}

// Three-wire: with one of the two PTs reversed, U_CA reads √3 times U_AB and U_BC.
bool ThreeWirePtReversed(const CheckContext& c) {
  const double ab = c.block[Quantity::LineVoltageAB], bc = c.block[Quantity::LineVoltageBC],
               ca = c.block[Quantity::LineVoltageCA];
  return ab > 0 && bc > 0 && Near(c, ab / bc, 1.0, ab) &&
         Near(c, ca / ((ab + bc) / 2), c.limits.lineToPhaseRatio, ab);
}

void LineToPhase(CheckContext& c, const char* name) {
  const std::array<bool, 3> lost = LostPhases(c);
  const std::array<double, 3> ratios = LineRatios(c, lost);
  const int reversed = ReversedPhaseVoltage(c, lost);
  if (reversed >= 0) {
    std::string beside;
    for (const Line& l : kLines) {
      if (l.first != reversed && l.second != reversed) continue;
      beside += (beside.empty() ? "" : "、") + std::string(l.name) + " " +
                WithUnit(c.block[l.quantity], "V");
    }
    c.Add(name, Verdict::Fault,
          Printf("%s与相邻两相的线电压（%s）约等于相电压而不是√3倍：%s电压接反（电压互感器极性或"
                 "电压线接反）。检查该相电压互感器与电压线；电流按改正后的电压判断",
                 PhaseName(reversed), beside.c_str(), PhaseName(reversed)));
    return;
  }
  bool any = false;
  std::string figures;
  for (std::size_t n = 0; n < kLines.size(); ++n) {
    const Line& l = kLines[n];
    if (ratios[n] <= 0) continue;
    const double phase =
        (c.site.elements[l.first].voltage + c.site.elements[l.second].voltage) / 2.0;
    if (!figures.empty()) figures += " / ";
    figures += Printf("%.3f", ratios[n]);
    if (!Near(c, ratios[n], c.limits.lineToPhaseRatio, phase)) {
      any = true;
      c.Add(name, Verdict::Fault,
            Printf("%s电压 %s 与相电压之比 %.3f，不在√3±%.0f%%内：电压接线有误（相序、中性线未接"
                   "或接错）。检查电压线的相别与中性线",
                   l.name, WithUnit(c.block[l.quantity], "V").c_str(), ratios[n],
                   100.0 * c.limits.lineToPhaseTolerance));
    }
  }
  if (!any && !figures.empty()) c.Add(name, Verdict::Normal, "线电压与相电压之比 " + figures);
}

void PtPolarity(CheckContext& c, const char* name) {
  const double ab = c.block[Quantity::LineVoltageAB], bc = c.block[Quantity::LineVoltageBC],
               ca = c.block[Quantity::LineVoltageCA];
  if (!ThreeWirePtReversed(c)) {
    c.Add(name, Verdict::Normal, "CA线电压与AB、BC线电压相当");
    return;
  }
  std::string which = "AB或CB相电压互感器";
  if (c.voltageReversed[0]) which = "按功率判断为AB相电压互感器（A元件）";
  if (c.voltageReversed[2]) which = "按功率判断为CB相电压互感器（C元件）";
  c.Add(name, Verdict::Fault,
        Printf("CA线电压 %s 约为AB、BC线电压 %s / %s 的√3倍：一只电压互感器极性接反（%s）。检查两只"
               "电压互感器一、二次的极性",
               WithUnit(ca, "V").c_str(), WithUnit(ab, "V").c_str(), WithUnit(bc, "V").c_str(),
               which.c_str()));
}

}  // namespace kt::workbench
