// The per-element view of a block.
#include "workbench/SiteView.h"

#include <cmath>
#include <numbers>

namespace kt::workbench {

using values::Quantity;
using values::WiringMode;

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

double WrapDeg(double deg) {
  deg = std::fmod(deg, 360.0);
  if (deg > 180.0) deg -= 360.0;
  if (deg <= -180.0) deg += 360.0;
  return deg;
}

double PhiDeg(double active, double reactive) {
  return std::atan2(reactive, active) * 180.0 / std::numbers::pi;
}

SiteView MakeSiteView(const values::MeasuredBlock& b) {
  SiteView s;
  s.layout = LayoutOf(b.wiringMode);
  const bool splitPhase = b.wiringMode == static_cast<uint8_t>(WiringMode::SinglePhaseThreeWire);
  s.phaseAngleDeg = {0.0, splitPhase ? 180.0 : -120.0, 120.0};
  for (int p = 0; p < 3; ++p) {
    ElementView& e = s.elements[p];
    const auto& q = values::kPhaseQuantities[static_cast<std::size_t>(p)];
    e.voltage = b[q.voltage];
    e.current = b[q.current];
    e.active = b[q.active];
    e.reactive = b[q.reactive];
    e.apparent = b[q.apparent];
    e.powerFactor = b[q.powerFactor];
    e.voltageAngleDeg = s.phaseAngleDeg[p];
  }
  switch (s.layout) {
    case Layout::FourWire:
      s.measured = {0, 1, 2};
      break;
    case Layout::SinglePhase:
      s.measured = splitPhase ? std::vector<int>{0, 1} : std::vector<int>{0};
      break;
    case Layout::ThreeWire:
      s.measured = {0, 2};
      s.elements[0].voltage = b[Quantity::LineVoltageAB];
      s.elements[0].voltageAngleDeg = 30.0;
      s.elements[0].offsetDeg = 30.0;
      s.elements[2].voltage = b[Quantity::LineVoltageBC];  // |U_CB| = |U_BC|
      s.elements[2].voltageAngleDeg = 90.0;
      s.elements[2].offsetDeg = -30.0;
      break;
  }
  for (int p : s.measured) s.elements[p].measured = true;
  const double pt = b.ptRatio, ct = b.ctRatio;
  s.lsb = {pt / 100.0, ct / 10000.0, pt * ct * 4.0 / 10.0, pt * ct / 5.0};
  return s;
}

}  // namespace kt::workbench
