// The wiring check rules. Phases are indexed 0, 1, 2 for A, B, C throughout.
#include "workbench/WiringCheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <numbers>

namespace kt::workbench {
namespace {

using measure::MeasuredBlock;
using measure::Quantity;
using measure::WiringMode;

constexpr std::array<const char*, 3> kPhaseName = {"A相", "B相", "C相"};

std::string Printf(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// A value with k or M in front of its unit once it grows large.
std::string WithUnit(double value, const char* unit) {
  const double magnitude = std::abs(value);
  if (magnitude >= 1e6) return Printf("%.3f M%s", value / 1e6, unit);
  if (magnitude >= 1e4) return Printf("%.2f k%s", value / 1e3, unit);
  return Printf("%.1f %s", value, unit);
}

std::string Percent(double fraction) {
  return Printf("%.1f%%", 100.0 * fraction);
}

struct PhaseValues {
  double voltage, current, active, reactive, apparent, powerFactor;
};

PhaseValues PhaseOf(const MeasuredBlock& b, int p) {
  constexpr std::array<std::array<Quantity, 6>, 3> kQuantities = {{
      {Quantity::PhaseVoltageA, Quantity::CurrentA, Quantity::ActivePowerA,
       Quantity::ReactivePowerA, Quantity::ApparentPowerA, Quantity::PowerFactorA},
      {Quantity::PhaseVoltageB, Quantity::CurrentB, Quantity::ActivePowerB,
       Quantity::ReactivePowerB, Quantity::ApparentPowerB, Quantity::PowerFactorB},
      {Quantity::PhaseVoltageC, Quantity::CurrentC, Quantity::ActivePowerC,
       Quantity::ReactivePowerC, Quantity::ApparentPowerC, Quantity::PowerFactorC},
  }};
  const auto& q = kQuantities[p];
  return {b[q[0]], b[q[1]], b[q[2]], b[q[3]], b[q[4]], b[q[5]]};
}

// Line voltages with the two phases between which each is measured.
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

enum class Layout { FourWire, ThreeWire, SinglePhase };

Layout LayoutOf(uint8_t wiringCode) {
  switch (static_cast<WiringMode>(wiringCode)) {
    case WiringMode::SinglePhaseTwoWire:
    case WiringMode::SinglePhaseThreeWire:
      return Layout::SinglePhase;
    case WiringMode::ThreePhaseThreeWireUnbalanced:
    case WiringMode::ThreePhaseThreeWireBalanced:
      return Layout::ThreeWire;
    default:
      return Layout::FourWire;
  }
}

double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

// Index of the value farthest from the mean and its deviation as a fraction of the mean.
std::pair<std::size_t, double> LargestDeviation(const std::vector<double>& values) {
  const double mean = Mean(values);
  std::size_t worst = 0;
  double deviation = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double d = std::abs(values[i] - mean) / mean;
    if (d > deviation) {
      deviation = d;
      worst = i;
    }
  }
  return {worst, deviation};
}

double WrapDeg(double deg) {
  while (deg > 180.0) deg -= 360.0;
  while (deg <= -180.0) deg += 360.0;
  return deg;
}

class Checker {
 public:
  Checker(const MeasuredBlock& block, const WiringThresholds& limits)
      : b_(block), t_(limits), layout_(LayoutOf(block.wiringMode)) {
    if (layout_ == Layout::FourWire) phases_ = {0, 1, 2};
    if (layout_ == Layout::SinglePhase) phases_ = {0};
    for (int p = 0; p < 3; ++p) values_[p] = PhaseOf(block, p);
    const double minimumA = t_.minimumCurrentFraction * block.ctRatio * t_.ctRatedSecondaryA;
    for (int p = 0; p < 3; ++p) {
      if (layout_ == Layout::SinglePhase && p > 0) continue;
      if (values_[p].current >= minimumA && values_[p].current > 0) enoughCurrent_ = true;
    }
  }

  std::vector<CheckRow> Run() {
    if (!phases_.empty()) {
      LostVoltage();
    }
    VoltageImbalance();
    if (layout_ == Layout::FourWire) LineToPhase();
    if (!phases_.empty()) {
      ClassifyPhaseCurrents();
      PowerDirection();
      PhaseMatch();
    }
    if (layout_ != Layout::SinglePhase) CurrentImbalance();
    if (layout_ == Layout::FourWire) ZeroSequence();
    if (!phases_.empty()) {
      TotalActivePower();
      ApparentPower();
    }
    Frequency();
    CtSecondary();
    return std::move(rows_);
  }

 private:
  void Add(const char* name, Verdict verdict, std::string message) {
    rows_.push_back({name, verdict, std::move(message)});
  }

  bool TooLittleCurrent(const char* name) {
    if (enoughCurrent_) return false;
    Add(name, Verdict::Note, "电流太小，无法判断");
    return true;
  }

  // The phases' figures with one prefix for all, from the largest (none for a bare number).
  std::string PhaseFigures(double (*pick)(const PhaseValues&), const char* unit) const {
    double largest = 0;
    for (int p : phases_) largest = std::max(largest, std::abs(pick(values_[p])));
    double divisor = 1.0;
    std::string prefix;
    if (*unit && largest >= 1e6) {
      divisor = 1e6, prefix = "M";
    } else if (*unit && largest >= 1e4) {
      divisor = 1e3, prefix = "k";
    }
    const char* format = *unit ? (divisor > 1 ? "%.2f" : "%.1f") : "%.2f";
    std::string text;
    for (int p : phases_) {
      if (!text.empty()) text += " / ";
      text += Printf(format, pick(values_[p]) / divisor);
    }
    return *unit ? text + " " + prefix + unit : text;
  }

  void LostVoltage() {
    const char* name = "失压";
    if (phases_.size() < 2) return;
    if (std::all_of(phases_.begin(), phases_.end(),
                    [&](int p) { return values_[p].voltage <= 0; })) {
      for (int p : phases_) lost_[p] = true;
      Add(name, Verdict::Fault, "各相电压均为 0 V：电压未接入");
      return;
    }
    bool any = false;
    for (int p : phases_) {
      std::vector<double> others;
      for (int o : phases_)
        if (o != p) others.push_back(values_[o].voltage);
      const double mean = Mean(others);
      if (values_[p].voltage < t_.lostVoltageFraction * mean) {
        lost_[p] = true;
        any = true;
        Add(name, Verdict::Fault,
            Printf("%s电压 %s，不到其他相均值 %s 的%.0f%%：该相失压", kPhaseName[p],
                   WithUnit(values_[p].voltage, "V").c_str(), WithUnit(mean, "V").c_str(),
                   100.0 * t_.lostVoltageFraction));
      }
    }
    if (!any) {
      Add(name, Verdict::Normal,
          "相电压 " + PhaseFigures([](const PhaseValues& v) { return v.voltage; }, "V"));
    }
  }

  void VoltageImbalance() {
    const char* name = "电压不平衡";
    std::vector<double> volts;
    std::vector<std::string> names;
    if (layout_ == Layout::ThreeWire) {
      for (const Line& l : kLines) {
        volts.push_back(b_[l.quantity]);
        names.push_back(l.name);
      }
    } else {
      for (int p : phases_) {
        if (lost_[p]) continue;  // already reported as lost
        volts.push_back(values_[p].voltage);
        names.push_back(kPhaseName[p]);
      }
    }
    if (volts.size() < 2 || Mean(volts) <= 0) return;
    const auto [worst, deviation] = LargestDeviation(volts);
    if (deviation > t_.voltageImbalance) {
      Add(name, Verdict::Note,
          Printf("%s电压 %s 偏离均值 %s，超过%s", names[worst].c_str(),
                 WithUnit(volts[worst], "V").c_str(), Percent(deviation).c_str(),
                 Percent(t_.voltageImbalance).c_str()));
    } else {
      Add(name, Verdict::Normal, "最大偏差 " + Percent(deviation));
    }
  }

  void LineToPhase() {
    const char* name = "线电压/相电压";
    bool any = false;
    std::string figures;
    for (const Line& l : kLines) {
      if (lost_[l.first] || lost_[l.second]) continue;
      const double phase = (values_[l.first].voltage + values_[l.second].voltage) / 2.0;
      if (phase <= 0) continue;
      const double ratio = b_[l.quantity] / phase;
      if (!figures.empty()) figures += " / ";
      figures += Printf("%.3f", ratio);
      if (std::abs(ratio / t_.lineToPhaseRatio - 1.0) > t_.lineToPhaseTolerance) {
        any = true;
        Add(name, Verdict::Fault,
            Printf("%s电压 %s 与相电压之比 %.3f，不在√3±%.0f%%内：电压接线有误", l.name,
                   WithUnit(b_[l.quantity], "V").c_str(), ratio, 100.0 * t_.lineToPhaseTolerance));
      }
    }
    if (!any && !figures.empty()) Add(name, Verdict::Normal, "线电压与相电压之比 " + figures);
  }

  // Sorts each loaded phase into healthy, reversed CT or current of another phase. The healthy
  // phases give the load's angle; a negative power far from it by about 180° is a reversed CT,
  // by about 120° a current that belongs to another phase.
  void ClassifyPhaseCurrents() {
    double largest = 0;
    for (int p : phases_) largest = std::max(largest, values_[p].current);
    std::vector<double> healthyAngles;
    for (int p : phases_) {
      const PhaseValues& v = values_[p];
      loaded_[p] = !lost_[p] && v.current > t_.loadedPhaseFraction * largest;
      if (!loaded_[p]) continue;
      angleDeg_[p] = std::atan2(v.reactive, v.active) * 180.0 / std::numbers::pi;
      if (v.active > 0 && std::abs(v.powerFactor) >= t_.lowPowerFactor) {
        healthyAngles.push_back(angleDeg_[p]);
      }
    }
    const bool haveReference = !healthyAngles.empty();
    const double reference = Mean(healthyAngles);
    for (int p : phases_) {
      if (!loaded_[p]) continue;
      const PhaseValues& v = values_[p];
      if (std::abs(v.powerFactor) < t_.lowPowerFactor) {
        wrongPhase_[p] = true;
      } else if (v.active < 0) {
        const bool nearerReversed =
            !haveReference || std::abs(WrapDeg(angleDeg_[p] - reference)) >= t_.reversedAngleDeg;
        (nearerReversed ? reversed_ : wrongPhase_)[p] = true;
      }
    }
  }

  void PowerDirection() {
    const char* name = "有功方向";
    if (TooLittleCurrent(name)) return;
    int loaded = 0, negative = 0, reversed = 0;
    for (int p : phases_) {
      if (!loaded_[p]) continue;
      ++loaded;
      if (values_[p].active < 0) ++negative;
      if (reversed_[p]) ++reversed;
    }
    if (loaded > 0 && negative == loaded && reversed == loaded) {
      Add(name, Verdict::Note,
          Printf("各相有功功率均为负（总有功 %s）：电流互感器全部接反，或功率倒送",
                 WithUnit(b_[Quantity::TotalActivePower], "W").c_str()));
      return;
    }
    for (int p : phases_) {
      if (!loaded_[p] || values_[p].active >= 0) continue;
      Add(name, Verdict::Fault,
          Printf(reversed_[p] ? "%s有功功率为负（%s）：电流互感器可能接反"
                              : "%s有功功率为负（%s）：该相电流来自其他相",
                 kPhaseName[p], WithUnit(values_[p].active, "W").c_str()));
    }
    if (negative == 0) {
      Add(name, Verdict::Normal,
          "有功功率 " + PhaseFigures([](const PhaseValues& v) { return v.active; }, "W"));
    }
  }

  void PhaseMatch() {
    const char* name = "电流相别";
    if (TooLittleCurrent(name)) return;
    std::vector<int> wrong;
    for (int p : phases_)
      if (wrongPhase_[p]) wrong.push_back(p);
    if (wrong.size() == 2) {
      Add(name, Verdict::Fault,
          Printf("%s功率因数 %.2f、%s功率因数 %.2f 异常：两相电流可能互换", kPhaseName[wrong[0]],
                 values_[wrong[0]].powerFactor, kPhaseName[wrong[1]],
                 values_[wrong[1]].powerFactor));
      return;
    }
    for (int p : wrong) {
      Add(name, Verdict::Fault,
          Printf("%s功率因数 %.2f 偏低：电流可能接错相", kPhaseName[p], values_[p].powerFactor));
    }
    if (wrong.empty()) {
      Add(name, Verdict::Normal,
          "功率因数 " + PhaseFigures([](const PhaseValues& v) { return v.powerFactor; }, ""));
    }
  }

  void CurrentImbalance() {
    const char* name = "电流不平衡";
    if (TooLittleCurrent(name)) return;
    std::vector<double> amps;
    amps.reserve(3);
    for (int p = 0; p < 3; ++p) amps.push_back(values_[p].current);
    const auto [worst, deviation] = LargestDeviation(amps);
    if (deviation > t_.currentImbalance) {
      Add(name, Verdict::Note,
          Printf("%s电流 %s 偏离均值 %s，超过%s", kPhaseName[worst],
                 WithUnit(amps[worst], "A").c_str(), Percent(deviation).c_str(),
                 Percent(t_.currentImbalance).c_str()));
    } else {
      Add(name, Verdict::Normal, "最大偏差 " + Percent(deviation));
    }
  }

  void ZeroSequence() {
    const char* name = "零序电流";
    if (TooLittleCurrent(name)) return;
    const double mean = (values_[0].current + values_[1].current + values_[2].current) / 3.0;
    const double zero = b_[Quantity::ZeroSequenceCurrent];
    const double fraction = zero / mean;
    if (fraction > t_.zeroSequenceFraction) {
      Add(name, Verdict::Note,
          Printf("零序电流 %s，为平均相电流的%s，超过%s", WithUnit(zero, "A").c_str(),
                 Percent(fraction).c_str(), Percent(t_.zeroSequenceFraction).c_str()));
    } else {
      Add(name, Verdict::Normal,
          Printf("零序电流 %s，为平均相电流的%s", WithUnit(zero, "A").c_str(),
                 Percent(fraction).c_str()));
    }
  }

  void TotalActivePower() {
    const char* name = "有功合计";
    // Single-phase three-wire carries two live conductors, A and B, and totals both.
    std::vector<int> summed = phases_;
    if (b_.wiringMode == static_cast<uint8_t>(WiringMode::SinglePhaseThreeWire)) summed = {0, 1};
    double sum = 0;
    for (int p : summed) sum += values_[p].active;
    const double total = b_[Quantity::TotalActivePower];
    const double allowed = t_.totalPowerTolerance * std::abs(b_[Quantity::TotalApparentPower]);
    if (std::abs(sum - total) > allowed) {
      Add(name, Verdict::Fault,
          Printf("各相有功之和 %s 与总有功 %s 相差超过总视在功率的%.0f%%：比例系数或配置不一致",
                 WithUnit(sum, "W").c_str(), WithUnit(total, "W").c_str(),
                 100.0 * t_.totalPowerTolerance));
    } else {
      Add(name, Verdict::Normal,
          Printf("各相之和 %s，总有功 %s", WithUnit(sum, "W").c_str(),
                 WithUnit(total, "W").c_str()));
    }
  }

  void ApparentPower() {
    const char* name = "视在功率";
    bool any = false;
    for (int p : phases_) {
      const PhaseValues& v = values_[p];
      const double fromParts = std::hypot(v.active, v.reactive);
      const double scale = std::max(std::abs(v.apparent), fromParts);
      if (std::abs(v.apparent - fromParts) > t_.apparentPowerTolerance * scale) {
        any = true;
        Add(name, Verdict::Fault,
            Printf("%s视在功率 %s 与√(P²+Q²) = %s 不符：比例系数或配置不一致", kPhaseName[p],
                   WithUnit(v.apparent, "VA").c_str(), WithUnit(fromParts, "VA").c_str()));
      }
    }
    if (!any) {
      Add(name, Verdict::Normal,
          "视在功率 " + PhaseFigures([](const PhaseValues& v) { return v.apparent; }, "VA"));
    }
  }

  void Frequency() {
    const char* name = "频率";
    const double hz = b_[Quantity::Frequency];
    const double nominal = std::abs(hz - 50.0) <= std::abs(hz - 60.0) ? 50.0 : 60.0;
    const double off = std::abs(hz - nominal);
    if (off > t_.frequencyFaultHz) {
      Add(name, Verdict::Fault,
          Printf("频率 %.2f Hz，偏离%.0f Hz超过%.1f Hz", hz, nominal, t_.frequencyFaultHz));
    } else if (off > t_.frequencyNoteHz) {
      Add(name, Verdict::Note,
          Printf("频率 %.2f Hz，偏离%.0f Hz超过%.1f Hz", hz, nominal, t_.frequencyNoteHz));
    } else {
      Add(name, Verdict::Normal, Printf("频率 %.2f Hz", hz));
    }
  }

  void CtSecondary() {
    const char* name = "互感器二次电流";
    if (b_.ctRatio == 0) return;  // nothing is scaled; there is no figure to give
    const int count = layout_ == Layout::SinglePhase ? 1 : 3;
    bool any = false;
    double largest = 0;
    for (int p = 0; p < count; ++p) {
      const double secondary = values_[p].current / b_.ctRatio;
      largest = std::max(largest, secondary);
      if (secondary > t_.ctRatedSecondaryA) {
        any = true;
        Add(name, Verdict::Note,
            Printf("%s二次电流 %.2f A，超过%.0f A", kPhaseName[p], secondary,
                   t_.ctRatedSecondaryA));
      }
    }
    if (!any) Add(name, Verdict::Normal, Printf("最大二次电流 %.2f A", largest));
  }

  const MeasuredBlock& b_;
  const WiringThresholds& t_;
  Layout layout_;
  std::vector<int> phases_;  // the phases whose own values the wiring mode measures
  std::array<PhaseValues, 3> values_{};
  bool enoughCurrent_ = false;
  std::array<bool, 3> lost_{};
  std::array<bool, 3> loaded_{};
  std::array<bool, 3> reversed_{};
  std::array<bool, 3> wrongPhase_{};
  std::array<double, 3> angleDeg_{};
  std::vector<CheckRow> rows_;
};

}  // namespace

const char* VerdictText(Verdict v) {
  switch (v) {
    case Verdict::Normal:
      return "正常";
    case Verdict::Note:
      return "注意";
    case Verdict::Fault:
      return "异常";
  }
  return "";
}

std::vector<CheckRow> CheckWiring(const MeasuredBlock& block, const WiringThresholds& limits) {
  return Checker(block, limits).Run();
}

}  // namespace kt::workbench
