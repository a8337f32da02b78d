// Drawing the phasor diagram as SVG.
#include "report/PhasorSvg.h"

#include <cmath>
#include <numbers>

#include "report/SvgFormat.h"
#include "workbench/WorkbenchLook.h"

namespace kt::report {
namespace {

constexpr double kArrowLength = 9;
constexpr double kArrowHalfWidth = 3.5;
constexpr double kLabelGap = 10;
constexpr double kDegree = std::numbers::pi / 180;

struct Point {
  double x;
  double y;
};

Point At(double reach, double angleDeg) {
  return {kPhasorCentre + reach * std::cos(angleDeg * kDegree),
          kPhasorCentre - reach * std::sin(angleDeg * kDegree)};
}

std::string Xy(Point p) {
  return SvgNumber(p.x) + "," + SvgNumber(p.y);
}

std::string Arrow(const char* label, double reach, double angleDeg, workbench::Rgb colour,
                  bool dashed) {
  const std::string stroke = HexColour(colour);
  const Point tip = At(reach, angleDeg);
  std::string svg = "<line data-phasor=\"" + std::string(label) + "\" x1=\"" +
                    SvgNumber(kPhasorCentre) + "\" y1=\"" + SvgNumber(kPhasorCentre) + "\" x2=\"" +
                    SvgNumber(tip.x) + "\" y2=\"" + SvgNumber(tip.y) + "\" stroke=\"" + stroke +
                    "\" stroke-width=\"2\"" + (dashed ? " stroke-dasharray=\"6 3\"" : "") + "/>";
  if (reach > kArrowLength) {
    const double back = reach - kArrowLength;
    const double spread = std::atan2(kArrowHalfWidth, back) / kDegree;
    svg += "<polygon points=\"" + Xy(tip) + " " +
           Xy(At(std::hypot(back, kArrowHalfWidth), angleDeg + spread)) + " " +
           Xy(At(std::hypot(back, kArrowHalfWidth), angleDeg - spread)) + "\" fill=\"" + stroke +
           "\"/>";
  }
  const Point text = At(reach + kLabelGap, angleDeg);
  svg += "<text x=\"" + SvgNumber(text.x) + "\" y=\"" + SvgNumber(text.y + 4) +
         "\" text-anchor=\"middle\" fill=\"" + stroke + "\">" + label + "</text>";
  return svg;
}

}  // namespace

std::string PhasorSvg(const workbench::PhasorDiagram& diagram) {
  const std::string side = SvgNumber(kPhasorSide);
  std::string svg = "<svg class=\"phasor\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + side +
                    "\" height=\"" + side + "\" viewBox=\"0 0 " + side + " " + side +
                    "\" font-size=\"12\">";
  svg += "<circle cx=\"" + SvgNumber(kPhasorCentre) + "\" cy=\"" + SvgNumber(kPhasorCentre) +
         "\" r=\"" + SvgNumber(kPhasorRadius) + "\" fill=\"none\" stroke=\"#c8c8c8\"/>";
  for (size_t p = 0; p < diagram.voltages.size(); ++p) {
    if (!diagram.measured[p]) continue;
    const workbench::Rgb colour = workbench::PhaseColour(static_cast<int>(p));
    const char* voltage =
        diagram.lineVoltages ? workbench::kElementVoltageLabels[p] : workbench::kVoltageLabels[p];
    svg += Arrow(voltage, kPhasorRadius * diagram.voltages[p].length, diagram.voltages[p].angleDeg,
                 colour, false);
    svg += Arrow(workbench::kCurrentLabels[p],
                 kPhasorRadius * workbench::kCurrentReach * diagram.currents[p].length,
                 diagram.currents[p].angleDeg, colour, true);
  }
  return svg + "</svg>";
}

}  // namespace kt::report
