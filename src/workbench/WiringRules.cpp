// The wiring check's rules and their table. Elements are indexed 0, 1, 2 for A, B, C.
#include "workbench/WiringRules.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "workbench/WiringText.h"

namespace kt::workbench {
namespace {

using measure::Quantity;

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
    const double d = mean > 0 ? std::abs(values[i] - mean) / mean : 0.0;
    if (d > deviation) {
      deviation = d;
      worst = i;
    }
  }
  return {worst, deviation};
}

// The elements' figures with one prefix for all, from the largest (none for a bare number).
std::string Figures(const CheckContext& c, const std::vector<int>& elements,
                    double (*pick)(const ElementView&), const char* unit,
                    const char* bareFormat = "%.2f") {
  double largest = 0;
  for (int p : elements) largest = std::max(largest, std::abs(pick(c.site.elements[p])));
  double divisor = 1.0;
  std::string prefix;
  if (*unit && largest >= 1e6) {
    divisor = 1e6, prefix = "M";
  } else if (*unit && largest >= 1e4) {
    divisor = 1e3, prefix = "k";
  }
  const char* format = *unit ? (divisor > 1 ? "%.2f" : "%.1f") : bareFormat;
  std::string text;
  for (int p : elements) {
    if (!text.empty()) text += " / ";
    text += Printf(format, pick(c.site.elements[p]) / divisor);
  }
  return *unit ? text + " " + prefix + unit : text;
}

double Secondary(const CheckContext& c, double primaryAmps) {
  return primaryAmps / std::max<double>(1.0, c.block.ctRatio);
}

bool AnyLoaded(const CheckContext& c) {
  return std::any_of(c.loaded.begin(), c.loaded.end(), [](bool l) { return l; });
}

std::vector<int> IdleElements(const CheckContext& c) {
  std::vector<int> idle;
  for (int p : c.site.measured)
    if (!c.loaded[p] && !c.lost[p]) idle.push_back(p);
  return idle;
}

// ---- voltages ------------------------------------------------------------------------------

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
    lost[0] = half(ab, ca, bc);
    lost[1] = half(ab, bc, ca);
    lost[2] = half(ca, bc, ab);
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
    if (c.site.layout == Layout::ThreeWire) {
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
  if (std::any_of(lost.begin(), lost.end(), [](bool l) { return l; })) return;  // said already
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

void LineToPhase(CheckContext& c, const char* name) {
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
  const std::array<bool, 3> lost = LostPhases(c);
  bool any = false;
  std::string figures;
  for (const Line& l : kLines) {
    if (lost[l.first] || lost[l.second]) continue;
    const double phase =
        (c.site.elements[l.first].voltage + c.site.elements[l.second].voltage) / 2.0;
    if (phase <= 0) continue;
    const double ratio = c.block[l.quantity] / phase;
    if (!figures.empty()) figures += " / ";
    figures += Printf("%.3f", ratio);
    const double allowed = c.limits.lineToPhaseTolerance + 2 * c.site.lsb.volt / phase;
    if (std::abs(ratio / c.limits.lineToPhaseRatio - 1.0) > allowed) {
      any = true;
      c.Add(name, Verdict::Fault,
            Printf("%s电压 %s 与相电压之比 %.3f，不在√3±%.0f%%内：电压接线有误（相序、中性线未接"
                   "或接错）。检查电压线的相别与中性线",
                   l.name, WithUnit(c.block[l.quantity], "V").c_str(), ratio,
                   100.0 * c.limits.lineToPhaseTolerance));
    }
  }
  if (!any && !figures.empty()) c.Add(name, Verdict::Normal, "线电压与相电压之比 " + figures);
}

// ---- wiring mode against the site -----------------------------------------------------------

void WiringModeMatchesSite(CheckContext& c, const char* name) {
  const auto& e = c.site.elements;
  if (c.site.layout == Layout::FourWire) {
    // A three-wire site has CTs on A and C only: B's input carries nothing.
    if (c.loaded[0] && c.loaded[2] && !c.loaded[1] && !c.lost[1]) {
      c.Add(name, Verdict::Note,
            Printf("设置为三相四线，B相电流 %s 几乎为零而A、C相 %s / %s 有负载：接线方式设置可能"
                   "与现场不符。若现场为三相三线（只装A、C两只互感器），应设为3相3线；否则检查B相"
                   "互感器二次回路",
                   WithUnit(e[1].current, "A").c_str(), WithUnit(e[0].current, "A").c_str(),
                   WithUnit(e[2].current, "A").c_str()));
      return;
    }
    c.Add(name, Verdict::Normal, "三相四线：三相均有电压和电流");
    return;
  }
  // Three-wire: the three currents of a three-wire site add up to zero. With a current on B
  // and a zero-sequence current beyond rounding, a neutral carries the rest.
  const double zero = c.block[Quantity::ZeroSequenceCurrent];
  const double mean = (e[0].current + e[1].current + e[2].current) / 3.0;
  const bool currentOnB =
      Secondary(c, e[1].current) >= c.limits.loadedSecondaryFraction * c.limits.ctRatedSecondaryA;
  if (currentOnB && mean > 0 &&
      zero > c.limits.neutralCurrentFraction * mean + 2 * c.site.lsb.amp) {
    c.Add(name, Verdict::Note,
          Printf("设置为三相三线，但三相电流 %s / %s / %s 之和不为零（零序电流 %s，为平均相电流的"
                 "%s）：中性线有电流，接线方式设置可能与现场不符（现场为三相四线时应设为3相4线，"
                 "两元件计量此时不准）；或B相互感器接反",
                 WithUnit(e[0].current, "A").c_str(), WithUnit(e[1].current, "A").c_str(),
                 WithUnit(e[2].current, "A").c_str(), WithUnit(zero, "A").c_str(),
                 Percent(zero / mean).c_str()));
    return;
  }
  c.Add(name, Verdict::Normal, "三相三线：三相电流之和为零");
}

// ---- currents: direction and phase ----------------------------------------------------------

const CurrentFit* IdentityFit(const CheckContext& c) {
  for (const CurrentFit& f : c.fits)
    if (f.Identity(c.judged)) return &f;
  return nullptr;
}

// The fits worth naming: the best and those close to it, as text, most likely first. A healthy
// site exporting and every CT reversed are named together, as they read the same.
std::string Alternatives(const CheckContext& c) {
  std::vector<std::string> texts;
  bool reversedOrExport = false;
  for (const CurrentFit& f : c.fits) {
    if (f.cost > c.fits.front().cost + c.limits.alternativeCostMargin) break;
    std::string text = DescribeFit(f, c.judged);
    if (text == "功率倒送" || text == "电流互感器全部接反") {
      if (reversedOrExport) continue;
      reversedOrExport = true;
      text = "电流互感器全部接反，或功率倒送";
    }
    if (std::find(texts.begin(), texts.end(), text) == texts.end()) texts.push_back(text);
    if (texts.size() == 3) break;
  }
  std::string joined;
  for (const std::string& t : texts) joined += (joined.empty() ? "" : "；或") + t;
  return joined;
}

std::string ElementName(const CheckContext& c, int p) {
  if (c.site.layout == Layout::ThreeWire) return p == 0 ? "A元件(Uab·Ia)" : "C元件(Ucb·Ic)";
  return PhaseName(p);
}

void PowerDirection(CheckContext& c, const char* name) {
  if (c.judged.empty()) return;
  const CurrentFit* healthy = IdentityFit(c);
  if (healthy && !healthy->Export()) {
    c.Add(name, Verdict::Normal,
          "有功功率 " + Figures(
                            c, c.judged, [](const ElementView& e) { return e.active; }, "W"));
    return;
  }
  if (healthy) {
    c.Add(name, Verdict::Note,
          Printf("各相有功功率均为负（总有功 %s），相角一致：%s。检查现场是否有发电或倒送电（光伏、"
                 "发电机）；若没有，检查各互感器极性（P1/P2、S1/S2）与电流相序",
                 WithUnit(c.block[Quantity::TotalActivePower], "W").c_str(),
                 Alternatives(c).c_str()));
    return;
  }
  if (c.fits.empty()) return;
  const CurrentFit& best = c.fits.front();
  for (int p : c.judged) {
    if (!best.reversed[p] || best.source[p] != p) continue;
    const ElementView& e = c.site.elements[p];
    c.Add(name, c.healthyPossible ? Verdict::Note : Verdict::Fault,
          Printf("%s有功功率为%s（%s），相角 %.0f°，与其他相相差约180°：电流互感器可能接反。检查"
                 "该相互感器一次P1/P2方向和二次S1/S2到仪表的接线",
                 ElementName(c, p).c_str(), e.active < 0 ? "负" : "正而其他相为负",
                 WithUnit(e.active, "W").c_str(), e.LoadAngleDeg()));
  }
}

void CurrentPhase(CheckContext& c, const char* name) {
  for (int p : IdleElements(c)) {
    if (AnyLoaded(c)) {
      c.Add(name, Verdict::Note,
            Printf("%s电流 %s，电流太小，无法判断", ElementName(c, p).c_str(),
                   WithUnit(c.site.elements[p].current, "A").c_str()));
    }
  }
  if (c.judged.empty()) return;
  const auto angles = [&] {
    std::string text;
    for (int p : c.judged) {
      text += (text.empty() ? "" : " / ") + Printf("%.0f°", c.site.elements[p].LoadAngleDeg());
    }
    return text;
  };
  if (c.fits.empty()) {
    c.Add(name, Verdict::Note,
          Printf("各元件负载相角 %s 相差较大，不符合同一负载下的任何接线：可能各相负载功率因数"
                 "相差很大，或接线有多处错误。检查各相电流互感器与电压线的相别对应",
                 angles().c_str()));
    return;
  }
  const CurrentFit* healthy = IdentityFit(c);
  if (healthy) {
    c.Add(name, Verdict::Normal,
          "功率因数 " + Figures(
                            c, c.judged, [](const ElementView& e) { return e.powerFactor; }, ""));
    return;
  }
  const CurrentFit& best = c.fits.front();
  bool displaced = false;
  for (int p : c.judged) {
    if (best.source[p] == p) continue;
    displaced = true;
    const ElementView& e = c.site.elements[p];
    c.Add(name, c.healthyPossible ? Verdict::Note : Verdict::Fault,
          Printf("%s相角 %.0f°（功率因数 %.2f），与负载相角 %.0f° 相差约%.0f°：该相电流来自%c相%s。"
                 "检查各相电流互感器二次线与电压线的相别对应",
                 ElementName(c, p).c_str(), e.LoadAngleDeg(), e.powerFactor, best.loadAngleDeg,
                 std::abs(WrapDeg(e.LoadAngleDeg() - best.loadAngleDeg)), 'A' + best.source[p],
                 best.reversed[p] ? "且极性接反" : ""));
  }
  if (!displaced) {
    c.Add(name, Verdict::Normal,
          "各元件电流与其电压同相别，功率因数 " +
              Figures(
                  c, c.judged, [](const ElementView& e) { return e.powerFactor; }, ""));
  }
  bool close = c.fits.size() > 1 && c.fits[1].cost <= best.cost + c.limits.alternativeCostMargin &&
               DescribeFit(c.fits[1], c.judged) != DescribeFit(best, c.judged);
  bool reversed =
      std::any_of(c.judged.begin(), c.judged.end(), [&](int p) { return best.reversed[p]; });
  if (close || (displaced && reversed) || best.Export()) {
    c.Add("接线判断", c.healthyPossible ? Verdict::Note : Verdict::Fault,
          Printf("各元件负载相角 %s，符合的接线（可能性大的在前）：%s", angles().c_str(),
                 Alternatives(c).c_str()));
  }
}

// ---- currents: magnitudes --------------------------------------------------------------------

void CurrentImbalance(CheckContext& c, const char* name) {
  // Three-wire sites often have CTs on A and C only: B is not compared.
  std::vector<int> compared =
      c.site.layout == Layout::ThreeWire ? std::vector<int>{0, 2} : c.site.measured;
  if (compared.size() < 2) return;
  // A shorted or open CT sends nothing: a current at rounding level beside a loaded phase.
  const double shortedAmps = 0.1 * c.limits.loadedSecondaryFraction * c.limits.ctRatedSecondaryA;
  bool nearZero = false;
  for (int p : compared) {
    if (Secondary(c, c.site.elements[p].current) >= shortedAmps) continue;
    nearZero = true;
    c.Add(name, Verdict::Note,
          Printf("%s电流 %s 几乎为零而其他相有负载：该相电流互感器二次可能被短接或开路，或该相"
                 "空载。检查该相互感器二次回路（短接片、试验端子）",
                 PhaseName(p), WithUnit(c.site.elements[p].current, "A").c_str()));
  }
  if (nearZero) return;
  std::vector<double> amps;
  amps.reserve(compared.size());
  for (int p : compared) amps.push_back(c.site.elements[p].current);
  const auto [worst, deviation] = LargestDeviation(amps);
  if (deviation > c.limits.currentImbalance + 2 * c.site.lsb.amp / Mean(amps)) {
    c.Add(name, Verdict::Note,
          Printf("%s电流 %s 偏离均值 %s，超过%s：负载不平衡，或该相电流回路有问题",
                 PhaseName(compared[worst]), WithUnit(amps[worst], "A").c_str(),
                 Percent(deviation).c_str(), Percent(c.limits.currentImbalance).c_str()));
  } else {
    c.Add(name, Verdict::Normal, "最大偏差 " + Percent(deviation));
  }
}

void ZeroSequence(CheckContext& c, const char* name) {
  // The neutral current the phase currents can make: the fundamentals added as phasors, plus
  // their harmonic parts (triplen harmonics add up in the neutral).
  std::complex<double> sum;
  double harmonic = 0, mean = 0;
  for (int p = 0; p < 3; ++p) {
    const ElementView& e = c.site.elements[p];
    mean += e.current / 3.0;
    const double fundamental =
        e.voltage > 0 ? std::min(e.current, std::hypot(e.active, e.reactive) / e.voltage)
                      : e.current;
    sum += std::polar(fundamental, e.CurrentAngleDeg() * std::numbers::pi / 180.0);
    harmonic += std::sqrt(std::max(0.0, e.current * e.current - fundamental * fundamental));
  }
  const double possible = std::hypot(std::abs(sum), harmonic);
  const double zero = c.block[Quantity::ZeroSequenceCurrent];
  if (mean <= 0) return;
  if (zero > possible + c.limits.zeroSequenceMargin * mean + 3 * c.site.lsb.amp) {
    c.Add(name, Verdict::Note,
          Printf("零序电流 %s，大于各相电流相量和 %s 所能产生的：零序电流回路或电流接线有误",
                 WithUnit(zero, "A").c_str(), WithUnit(possible, "A").c_str()));
  } else {
    c.Add(name, Verdict::Normal,
          Printf("零序电流 %s，为平均相电流的%s，与各相电流相符", WithUnit(zero, "A").c_str(),
                 Percent(zero / mean).c_str()));
  }
}

// ---- powers ---------------------------------------------------------------------------------

void TotalActivePower(CheckContext& c, const char* name) {
  double sum = 0;
  for (int p : c.site.measured) sum += c.site.elements[p].active;
  const double total = c.block[Quantity::TotalActivePower];
  const double allowed = c.limits.powerTolerance * std::abs(c.block[Quantity::TotalApparentPower]) +
                         static_cast<double>(c.site.measured.size() + 1) * c.site.lsb.watt;
  if (std::abs(sum - total) > allowed) {
    c.Add(name, Verdict::Fault,
          Printf("各相有功之和 %s 与总有功 %s 相差 %s，超过总视在功率的%.0f%%及读数舍入：比例系数"
                 "或配置不一致。检查PT、CT变比与功率倍率设置",
                 WithUnit(sum, "W").c_str(), WithUnit(total, "W").c_str(),
                 WithUnit(std::abs(sum - total), "W").c_str(), 100.0 * c.limits.powerTolerance));
  } else {
    c.Add(
        name, Verdict::Normal,
        Printf("各相之和 %s，总有功 %s", WithUnit(sum, "W").c_str(), WithUnit(total, "W").c_str()));
  }
}

void ApparentPower(CheckContext& c, const char* name) {
  bool any = false;
  for (int p : c.site.measured) {
    if (!c.loaded[p]) continue;
    const ElementView& e = c.site.elements[p];
    const double fromParts = std::hypot(e.active, e.reactive);
    const double margin = c.limits.powerTolerance * std::max(e.apparent, fromParts) +
                          c.site.lsb.voltAmpere + std::sqrt(2.0) * c.site.lsb.watt;
    if (e.apparent < fromParts - margin) {
      any = true;
      c.Add(name, Verdict::Fault,
            Printf("%s视在功率 %s 小于√(P²+Q²) = %s：读数自相矛盾，比例系数或配置不一致。检查"
                   "PT、CT变比与功率倍率设置",
                   ElementName(c, p).c_str(), WithUnit(e.apparent, "VA").c_str(),
                   WithUnit(fromParts, "VA").c_str()));
    } else if (e.apparent > fromParts + margin && e.apparent > 0) {
      const double distortion = std::sqrt(e.apparent * e.apparent - fromParts * fromParts);
      if (distortion / e.apparent > c.limits.distortionNoteFraction) {
        any = true;
        c.Add(name, Verdict::Note,
              Printf("%s视在功率 %s 大于√(P²+Q²) = %s，畸变功率占视在功率的%s：电流含较多谐波"
                     "（非线性负载），不是接线错误",
                     ElementName(c, p).c_str(), WithUnit(e.apparent, "VA").c_str(),
                     WithUnit(fromParts, "VA").c_str(), Percent(distortion / e.apparent).c_str()));
      }
    }
  }
  if (!any) {
    std::vector<int> shown;
    for (int p : c.site.measured)
      if (c.loaded[p]) shown.push_back(p);
    c.Add(name, Verdict::Normal,
          "视在功率 " + Figures(
                            c, shown, [](const ElementView& e) { return e.apparent; }, "VA"));
  }
}

// ---- frequency and CT ------------------------------------------------------------------------

void Frequency(CheckContext& c, const char* name) {
  const double hz = c.block[Quantity::Frequency];
  const double off = std::abs(hz - c.nominalHz);
  const WiringThresholds& t = c.limits;
  if (off > t.frequencyFaultHz) {
    c.Add(name, Verdict::Fault,
          Printf("频率 %.2f Hz，偏离%.0f Hz超过%.1f Hz：检查所选电网频率及电压接线", hz,
                 c.nominalHz, t.frequencyFaultHz));
  } else if (off > t.frequencyNoteHz) {
    c.Add(name, Verdict::Note,
          Printf("频率 %.2f Hz，偏离%.0f Hz超过%.1f Hz", hz, c.nominalHz, t.frequencyNoteHz));
  } else {
    c.Add(name, Verdict::Normal, Printf("频率 %.2f Hz", hz));
  }
}

void CtSecondary(CheckContext& c, const char* name) {
  if (c.block.ctRatio == 0) return;  // nothing is scaled; there is no figure to give
  bool any = false;
  double largest = 0;
  for (int p : c.site.measured) {
    const double secondary = Secondary(c, c.site.elements[p].current);
    largest = std::max(largest, secondary);
    if (secondary > c.limits.ctRatedSecondaryA) {
      any = true;
      c.Add(name, Verdict::Note,
            Printf("%s二次电流 %.2f A，超过%.0f A", PhaseName(p), secondary,
                   c.limits.ctRatedSecondaryA));
    }
  }
  if (!any) c.Add(name, Verdict::Normal, Printf("最大二次电流 %.2f A", largest));
}

constexpr WiringRule kRules[] = {
    {"失压", kFourWire | kSinglePhase, false, "phase voltages", "lostVoltageFraction", LostVoltage},
    {"失压", kThreeWire, false, "line voltages", "halfLineTolerance", LostVoltage},
    {"电压不平衡", kAnyLayout, false, "phase voltages (line voltages in three-wire modes)",
     "voltageImbalance", VoltageImbalance},
    {"线电压/相电压", kFourWire, false, "phase and line voltages",
     "lineToPhaseRatio, lineToPhaseTolerance", LineToPhase},
    {"接线方式", kFourWire | kThreeWire, true, "currents, zero-sequence current",
     "loadedSecondaryFraction, neutralCurrentFraction", WiringModeMatchesSite},
    {"有功方向", kAnyLayout, true, "P, Q per element, total P",
     "angleToleranceDeg, alternativeCostMargin", PowerDirection},
    {"电流相别", kAnyLayout, true, "P, Q, PF per element",
     "angleToleranceDeg, alternativeCostMargin, loadedSecondaryFraction", CurrentPhase},
    {"电流不平衡", kFourWire | kThreeWire, true, "currents",
     "currentImbalance, loadedSecondaryFraction", CurrentImbalance},
    {"零序电流", kFourWire, true, "currents, P, Q, S, zero-sequence current", "zeroSequenceMargin",
     ZeroSequence},
    {"有功合计", kAnyLayout, true, "P per element, total P and S", "powerTolerance",
     TotalActivePower},
    {"视在功率", kAnyLayout, true, "P, Q, S per element", "powerTolerance, distortionNoteFraction",
     ApparentPower},
    {"频率", kAnyLayout, false, "frequency", "frequencyNoteHz, frequencyFaultHz", Frequency},
    {"互感器二次电流", kAnyLayout, false, "currents, CT ratio", "ctRatedSecondaryA", CtSecondary},
};

}  // namespace

std::span<const WiringRule> WiringRules() {
  return kRules;
}

void PrepareContext(CheckContext& c) {
  c.site = MakeSiteView(c.block);
  const std::array<bool, 3> lostPhase = LostPhases(c);
  const double loadedAmps = c.limits.loadedSecondaryFraction * c.limits.ctRatedSecondaryA;
  for (int p : c.site.measured) {
    const ElementView& e = c.site.elements[p];
    // Three-wire elements use U_AB and U_CB: they need B's voltage as well.
    c.lost[p] = lostPhase[p] || (c.site.layout == Layout::ThreeWire && lostPhase[1]);
    c.loaded[p] = e.current > 0 && Secondary(c, e.current) >= loadedAmps;
    if (!c.loaded[p] || c.lost[p]) continue;
    c.judged.push_back(p);
    // The angle the rounding of P and Q leaves open, on top of the tolerance.
    const double fromParts = std::hypot(e.active, e.reactive);
    const double rounding =
        fromParts > 0
            ? std::atan2(std::sqrt(2.0) * c.site.lsb.watt, fromParts) * 180.0 / std::numbers::pi
            : 180.0;
    c.toleranceDeg[p] = c.limits.angleToleranceDeg + rounding;
  }
  c.fits = FitCurrents(c.site, c.judged, c.toleranceDeg);
  for (int p : c.judged) {
    for (int q : c.judged) {
      const double gap =
          std::abs(WrapDeg(c.site.elements[p].LoadAngleDeg() - c.site.elements[q].LoadAngleDeg()));
      const double rounding =
          c.toleranceDeg[p] + c.toleranceDeg[q] - 2 * c.limits.angleToleranceDeg;
      if (gap > c.limits.healthySpreadDeg + rounding) c.healthyPossible = false;
    }
  }
}

}  // namespace kt::workbench
