// The wiring check's rules and their table. Elements are indexed 0, 1, 2 for A, B, C.
#include "workbench/WiringRules.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "workbench/VoltageRules.h"
#include "workbench/WiringFigures.h"
#include "workbench/WiringText.h"

namespace kt::workbench {
namespace {

using values::Quantity;

double Secondary(const CheckContext& c, double primaryAmps) {
  return primaryAmps / std::max<double>(1.0, c.block.ctRatio);
}

bool AnyLoaded(const CheckContext& c) {
  return std::any_of(c.loaded.begin(), c.loaded.end(), [](bool l) { return l; });
}

double LoadedAmps(const CheckContext& c) {
  return c.limits.loadedSecondaryFraction * c.ctSecondaryA;
}

std::vector<int> IdleElements(const CheckContext& c) {
  std::vector<int> idle;
  for (int p : c.site.measured)
    if (!c.loaded[p] && !c.lost[p]) idle.push_back(p);
  return idle;
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
  const bool currentOnB = Secondary(c, e[1].current) >= LoadedAmps(c);
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

// The fits worth naming: the best and those close to it, most likely first. A healthy site
// exporting and every CT reversed are named together, as they read the same.
std::vector<const CurrentFit*> CloseFits(const CheckContext& c) {
  std::vector<const CurrentFit*> close;
  std::vector<std::string> texts;
  for (const CurrentFit& f : c.fits) {
    if (f.cost > c.fits.front().cost + c.limits.alternativeCostMargin) break;
    std::string text = DescribeFit(f, c.judged);
    if (text == "功率倒送" || text == "电流互感器全部接反") text = "电流互感器全部接反，或功率倒送";
    if (std::find(texts.begin(), texts.end(), text) != texts.end()) continue;
    texts.push_back(text);
    close.push_back(&f);
    if (close.size() == 3) break;
  }
  return close;
}

std::string Alternatives(const CheckContext& c) {
  std::string joined;
  for (const CurrentFit* f : CloseFits(c)) {
    std::string text = DescribeFit(*f, c.judged);
    if (text == "功率倒送" || text == "电流互感器全部接反") text = "电流互感器全部接反，或功率倒送";
    if (text.empty()) text = "接线正确";
    joined += (joined.empty() ? "" : "；或") + text;
  }
  return joined;
}

// When one block cannot tell the close readings apart, the check on site that would.
std::string TellApart(const CheckContext& c) {
  const std::vector<const CurrentFit*> close = CloseFits(c);
  bool sources = false, direction = false, voltages = false;
  for (const CurrentFit* f : close) {
    sources = sources || f->source != close.front()->source;
    voltages = voltages || f->voltage != close.front()->voltage;
    direction = direction || f->Export() != close.front()->Export();
  }
  // One reading alone still has a twin the block cannot see: export and all CTs reversed.
  if (close.size() == 1 && close.front()->Export()) direction = true;
  std::string text;
  if (sources) {
    text +=
        "单凭一组读数无法区分。断开某一相负载后再看（或用钳形表逐相比对一次与二次电流）："
        "读数随之变化的输入接的就是该相电流";
  }
  if (direction) {
    text += std::string(text.empty() ? "单凭一组读数无法区分。" : "；") +
            "核实现场有无发电或倒送：停用发电设备（光伏、发电机）后再看功率方向";
  }
  if (voltages) {
    text += std::string(text.empty() ? "单凭一组读数无法区分。" : "；") +
            "用相序表核对电压线的相别与相序";
  }
  return text.empty() ? text : "。" + text;
}

std::string ElementName(const CheckContext& c, int p) {
  if (c.site.layout == Layout::ThreeWire) return p == 0 ? "A元件(Uab·Ia)" : "C元件(Ucb·Ic)";
  return PhaseName(p);
}

// Said once where the currents are judged against corrected voltages.
std::string VoltageCorrection(const CheckContext& c) {
  std::vector<int> reversed;
  for (int p = 0; p < 3; ++p)
    if (c.voltageReversed[p]) reversed.push_back(p);
  if (reversed.empty()) return "";
  return "（已按" +
         (c.site.layout == Layout::ThreeWire ? ElementName(c, reversed.front())
                                             : PhaseList(reversed)) +
         "电压接反改正后判断）";
}

void PowerDirection(CheckContext& c, const char* name) {
  if (c.voltagesUnsound) {
    c.Add(name, Verdict::Note, "电压接线有误：电流的方向与相别须待电压接线改正后再判断");
    return;
  }
  if (c.judged.empty()) return;
  const CurrentFit* healthy = IdentityFit(c);
  if (healthy && !healthy->Export()) {
    c.Add(name, Verdict::Normal,
          "有功功率 " +
              Figures(
                  c, c.judged, [](const ElementView& e) { return e.active; }, "W") +
              VoltageCorrection(c));
    return;
  }
  if (healthy) {
    c.Add(name, Verdict::Note,
          Printf("各元件有功功率为负（总有功 %s），方向一致：功率倒送，或接线有误（见接线判断）。若"
                 "现场没有发电或倒送，检查各互感器极性（P1/P2、S1/S2）与电流相序",
                 WithUnit(c.block[Quantity::TotalActivePower], "W").c_str()));
    return;
  }
  if (c.fits.empty()) return;
  const CurrentFit& best = c.fits.front();
  for (int p : c.judged) {
    if (!best.reversed[p] || best.source[p] != p) continue;
    const ElementView& e = c.wired.elements[p];
    const bool othersNegative = std::all_of(c.judged.begin(), c.judged.end(), [&](int q) {
      return q == p || c.wired.elements[q].active < 0;
    });
    c.Add(name, Verdict::Fault,
          Printf("%s有功功率为%s（%s），相角 %.0f°，反过来为 %.0f°，才与其他相同向：电流互感器可能"
                 "接反。检查该相互感器一次P1/P2方向和二次S1/S2到仪表的接线%s",
                 ElementName(c, p).c_str(),
                 e.active < 0 ? "负" : (othersNegative ? "正而其他相为负" : "正"),
                 WithUnit(e.active, "W").c_str(), e.LoadAngleDeg(), best.loadAngleDeg[p],
                 VoltageCorrection(c).c_str()));
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
  if (c.judged.empty() || c.voltagesUnsound) return;
  const auto angles = [&] {
    std::string text;
    for (int p : c.judged) {
      text += (text.empty() ? "" : " / ") + Printf("%.0f°", c.wired.elements[p].LoadAngleDeg());
    }
    return text;
  };
  if (c.fits.empty()) {
    c.Add(name, Verdict::Note,
          Printf("各元件负载相角 %s 不符合任何接线：接线可能有多处错误。检查各相电流互感器与电压线"
                 "的相别对应",
                 angles().c_str()));
    return;
  }
  const CurrentFit* healthy = IdentityFit(c);
  if (healthy) {
    c.Add(name, Verdict::Normal,
          "功率因数 " + Figures(
                            c, c.judged, [](const ElementView& e) { return e.powerFactor; }, ""));
    // A site that exports reads the same as some wrong wirings: they are named, ranked.
    if (healthy->Export()) {
      c.Add("接线判断", Verdict::Note,
            Printf("各元件负载相角 %s，符合的接线（可能性大的在前）：%s%s", angles().c_str(),
                   Alternatives(c).c_str(), TellApart(c).c_str()));
    }
    return;
  }
  const CurrentFit& best = c.fits.front();
  bool displaced = false;
  for (int p : c.judged) {
    if (best.voltage[p] == p) continue;
    displaced = true;
    c.Add(name, Verdict::Fault,
          Printf("%s电压输入接的是%c相电压：该相相角 %.0f° 按%c相电压看为 %.0f°。检查电压线的相别",
                 ElementName(c, p).c_str(), 'A' + best.voltage[p],
                 c.wired.elements[p].LoadAngleDeg(), 'A' + best.voltage[p], best.loadAngleDeg[p]));
  }
  for (int p : c.judged) {
    if (best.source[p] == p) continue;
    displaced = true;
    const ElementView& e = c.wired.elements[p];
    c.Add(
        name, Verdict::Fault,
        Printf(
            "%s相角 %.0f°（功率因数 %.2f），与%c相负载相角 %.0f° 相差约%.0f°：该相电流来自%c相%s。"
            "检查各相电流互感器二次线与电压线的相别对应",
            ElementName(c, p).c_str(), e.LoadAngleDeg(), e.powerFactor, 'A' + best.source[p],
            best.loadAngleDeg[p], std::abs(WrapDeg(e.LoadAngleDeg() - best.loadAngleDeg[p])),
            'A' + best.source[p], best.reversed[p] ? "且极性接反" : ""));
  }
  if (!displaced) {
    c.Add(name, Verdict::Normal,
          "各元件电流与其电压同相别，功率因数 " +
              Figures(
                  c, c.judged, [](const ElementView& e) { return e.powerFactor; }, ""));
  }
  // The reading is named in one row, with its alternatives and how to tell them apart.
  const bool close = CloseFits(c).size() > 1;
  {
    c.Add("接线判断", Verdict::Fault,
          Printf("各元件负载相角 %s，符合的接线（可能性大的在前）：%s%s", angles().c_str(),
                 Alternatives(c).c_str(), close ? TellApart(c).c_str() : ""));
  }
}

// ---- currents: magnitudes --------------------------------------------------------------------

void CurrentImbalance(CheckContext& c, const char* name) {
  // Three-wire sites often have CTs on A and C only: B is not compared.
  std::vector<int> compared =
      c.site.layout == Layout::ThreeWire ? std::vector<int>{0, 2} : c.site.measured;
  if (compared.size() < 2) return;
  // A shorted or open CT sends nothing: a current at rounding level beside a loaded phase.
  const double shortedAmps = 0.1 * LoadedAmps(c);
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
    // Phases carry loads of their own: an unequal share is no wiring fault.
    c.Add(name, Verdict::Normal,
          Printf("%s电流 %s 偏离均值 %s，超过%s：各相负载不同（不是接线问题）",
                 PhaseName(compared[worst]), WithUnit(amps[worst], "A").c_str(),
                 Percent(deviation).c_str(), Percent(c.limits.currentImbalance).c_str()));
  } else {
    c.Add(name, Verdict::Normal, "最大偏差 " + Percent(deviation));
  }
}

void ZeroSequence(CheckContext& c, const char* name) {
  // The neutral current the phase currents can make: the fundamentals added as phasors, plus
  // their harmonic parts (triplen harmonics add up in the neutral).
  if (c.voltagesUnsound) return;  // the angles mean nothing until the voltages are mended
  std::complex<double> sum;
  double harmonic = 0, mean = 0;
  for (int p = 0; p < 3; ++p) {
    const ElementView& e = c.wired.elements[p];
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
    if (secondary > c.ctSecondaryA) {
      any = true;
      c.Add(name, Verdict::Note,
            Printf("%s二次电流 %.2f A，超过额定%.0f A（%s）：互感器过载，或所选二次额定电流与现场"
                   "互感器不符",
                   PhaseName(p), secondary, c.ctSecondaryA,
                   Percent(secondary / c.ctSecondaryA).c_str()));
    }
  }
  if (!any) {
    c.Add(name, Verdict::Normal,
          Printf("最大二次电流 %.2f A，为额定%.0f A的%s", largest, c.ctSecondaryA,
                 Percent(largest / c.ctSecondaryA).c_str()));
  }
}

constexpr WiringRule kRules[] = {
    {"失压", kFourWire | kSinglePhase, false, "phase voltages", "lostVoltageFraction", LostVoltage},
    {"失压", kThreeWire, false, "line voltages", "halfLineTolerance", LostVoltage},
    {"电压不平衡", kAnyLayout, false, "phase voltages (line voltages in three-wire modes)",
     "voltageImbalance", VoltageImbalance},
    {"线电压/相电压", kFourWire, false, "phase and line voltages",
     "lineToPhaseRatio, lineToPhaseTolerance", LineToPhase},
    {"电压互感器极性", kThreeWire, false, "line voltages", "lineToPhaseRatio, lineToPhaseTolerance",
     PtPolarity},
    {"接线方式", kFourWire | kThreeWire, true, "currents, zero-sequence current",
     "loadedSecondaryFraction, neutralCurrentFraction", WiringModeMatchesSite},
    {"有功方向", kAnyLayout, true, "P, Q per element, total P",
     "directionMarginDeg, alternativeCostMargin", PowerDirection},
    {"电流相别", kAnyLayout, true, "P, Q, PF, current per element",
     "directionMarginDeg, sameCurrentAngleDeg, sameCurrentFraction, alternativeCostMargin, "
     "loadedSecondaryFraction",
     CurrentPhase},
    {"电流不平衡", kFourWire | kThreeWire, true, "currents",
     "currentImbalance, loadedSecondaryFraction", CurrentImbalance},
    {"零序电流", kFourWire, true, "currents, P, Q, S, zero-sequence current", "zeroSequenceMargin",
     ZeroSequence},
    {"有功合计", kAnyLayout, true, "P per element, total P and S", "powerTolerance",
     TotalActivePower},
    {"视在功率", kAnyLayout, true, "P, Q, S per element", "powerTolerance, distortionNoteFraction",
     ApparentPower},
    {"频率", kAnyLayout, false, "frequency", "frequencyNoteHz, frequencyFaultHz", Frequency},
    {"互感器二次电流", kAnyLayout, false, "currents, CT ratio", "the chosen rated secondary",
     CtSecondary},
};

}  // namespace

std::span<const WiringRule> WiringRules() {
  return kRules;
}

namespace {

// The site as its voltages must have been wired: the reversed elements turned round.
SiteView Wired(const SiteView& site, const std::array<bool, 3>& reversed) {
  SiteView wired = site;
  for (int p = 0; p < 3; ++p) {
    if (!reversed[p]) continue;
    ElementView& e = wired.elements[p];
    e.active = -e.active;
    e.reactive = -e.reactive;
    e.powerFactor = -e.powerFactor;
  }
  return wired;
}

bool HealthyImport(const std::vector<CurrentFit>& fits, const std::vector<int>& judged) {
  return std::any_of(fits.begin(), fits.end(),
                     [&](const CurrentFit& f) { return f.Identity(judged) && !f.Export(); });
}

}  // namespace

void PrepareContext(CheckContext& c) {
  c.site = MakeSiteView(c.block);
  const std::array<bool, 3> lostPhase = LostPhases(c);
  for (int p : c.site.measured) {
    const ElementView& e = c.site.elements[p];
    // Three-wire elements use U_AB and U_CB: they need B's voltage as well.
    c.lost[p] = lostPhase[p] || (c.site.layout == Layout::ThreeWire && lostPhase[1]);
    c.loaded[p] = e.current > 0 && Secondary(c, e.current) >= LoadedAmps(c);
    if (!c.loaded[p] || c.lost[p]) continue;
    c.judged.push_back(p);
    // The angle the rounding of P and Q leaves open.
    const double fromParts = std::hypot(e.active, e.reactive);
    c.toleranceDeg[p] = fromParts > 0 ? std::atan2(std::sqrt(2.0) * c.site.lsb.watt, fromParts) *
                                            180.0 / std::numbers::pi
                                      : 180.0;
  }
  // Voltages first: the currents are judged against the voltages as they must have been wired.
  if (c.site.layout == Layout::FourWire) {
    const int reversed = ReversedPhaseVoltage(c, lostPhase);
    if (reversed >= 0) {
      c.voltageReversed[reversed] = true;
    } else {
      c.voltagesUnsound = LineVoltagesWrong(c, lostPhase);
    }
  } else if (c.site.layout == Layout::ThreeWire && ThreeWirePtReversed(c)) {
    // Either PT may be the reversed one: the one whose correction leaves a healthy site.
    std::vector<int> candidates;
    for (int p : {0, 2}) {
      std::array<bool, 3> reversed{};
      reversed[p] = true;
      if (HealthyImport(FitCurrents(Wired(c.site, reversed), c.judged, c.toleranceDeg, c.limits),
                        c.judged)) {
        candidates.push_back(p);
      }
    }
    if (candidates.size() == 1) {
      c.voltageReversed[candidates.front()] = true;
    } else {
      c.voltagesUnsound = true;
    }
  }
  c.wired = Wired(c.site, c.voltageReversed);
  if (!c.voltagesUnsound) c.fits = FitCurrents(c.wired, c.judged, c.toleranceDeg, c.limits);
}

}  // namespace kt::workbench
