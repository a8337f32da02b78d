// The core's phasor geometry (lengths 0..1, angles counter-clockwise from Ua) onto the screen.
#include "win32/workbench/PhasorPainter.h"

#include <array>
#include <cmath>
#include <numbers>

#include "win32/workbench/ChildPanel.h"
#include "win32/workbench/GdiPlus.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::win32 {
namespace {

using Gdiplus::PointF;
constexpr float kVoltageWidth = 3.0F;
constexpr float kCurrentWidth = 1.6F;
constexpr float kRim = 30.0F;  // room for the labels around the circle
constexpr float kLegendLine = 18.0F;
constexpr float kLegendHeight = 2 * kLegendLine + 8;  // its two lines and the gap above

PointF Tip(const PointF& centre, float radius, const workbench::Phasor& p) {
  const double rad = p.angleDeg * std::numbers::pi / 180.0;
  // Screen y grows downwards; angles are counter-clockwise.
  return {static_cast<float>(centre.X + radius * p.length * std::cos(rad)),
          static_cast<float>(centre.Y - radius * p.length * std::sin(rad))};
}

void Arrow(Gdiplus::Graphics& g, const PointF& from, const PointF& to, const Gdiplus::Pen& pen,
           const Gdiplus::Color& colour) {
  g.DrawLine(&pen, from, to);
  const float dx = from.X - to.X;
  const float dy = from.Y - to.Y;
  if (std::hypot(dx, dy) < 4) return;
  const double head = 4.0 + 2.0 * pen.GetWidth();
  const double angle = std::atan2(-dy, dx);
  const std::array<PointF, 3> points = {
      to,
      PointF(static_cast<float>(to.X + std::cos(angle + std::numbers::pi / 7) * head),
             static_cast<float>(to.Y - std::sin(angle + std::numbers::pi / 7) * head)),
      PointF(static_cast<float>(to.X + std::cos(angle - std::numbers::pi / 7) * head),
             static_cast<float>(to.Y - std::sin(angle - std::numbers::pi / 7) * head))};
  Gdiplus::SolidBrush fill(colour);
  g.FillPolygon(&fill, points.data(), static_cast<INT>(points.size()));
}

void Label(Gdiplus::Graphics& g, HFONT font, const PointF& centre, const PointF& tip,
           const char* text, const Gdiplus::Color& colour) {
  const float length = std::hypot(tip.X - centre.X, tip.Y - centre.Y);
  if (length < 1 || *text == '\0') return;
  const auto gap = static_cast<float>(workbench::kPhasorLabelGapPx);
  const PointF at(tip.X + (tip.X - centre.X) / length * gap,
                  tip.Y + (tip.Y - centre.Y) / length * gap);
  WriteText(g, font, text, Gdiplus::RectF(at.X - 20, at.Y - 9, 40, 18),
            Gdiplus::StringAlignmentCenter, colour);
}

// "实线：电压　虚线：电流　■ A相　■ B相　■ C相" along the bottom, squares in the phase colours.
void Legend(Gdiplus::Graphics& g, HFONT font, const RECT& area) {
  // Two lines: the line styles, then a square in each phase's colour before its name.
  const float height = kLegendLine;
  const float top = static_cast<float>(area.bottom) - 2 * height - 4;
  const float left = static_cast<float>(area.left) + 6;
  const float width = static_cast<float>(area.right - area.left) - 12;
  WriteText(g, font, workbench::kPhasorLegendLines, Gdiplus::RectF(left, top, width, height),
            Gdiplus::StringAlignmentNear, Gdiplus::Color(0, 0, 0));
  float x = left;
  for (int p = 0; p < 3; ++p) {
    const std::string text =
        std::string("■ ") + workbench::kPhaseNames[static_cast<size_t>(p)] + "　";
    const float used = TextWidthIn(g, font, text);
    WriteText(g, font, text, Gdiplus::RectF(x, top + height, used + 2, height),
              Gdiplus::StringAlignmentNear, GdiColour(workbench::PhaseColour(p)));
    x += used;
  }
}

PointF Centre(const RECT& area) {
  return {static_cast<float>(area.left + area.right) / 2,
          static_cast<float>(area.top) + static_cast<float>(area.bottom - area.top) / 2 -
              kLegendHeight / 2};
}

}  // namespace

float PhasorRadius(const RECT& area) {
  const auto width = static_cast<float>(area.right - area.left);
  const float height = static_cast<float>(area.bottom - area.top) - kLegendHeight;
  return std::min(width, height) / 2 - kRim;
}

void PaintPhasors(HDC dc, const RECT& area, const workbench::PhasorDiagram* diagram, HFONT font) {
  Gdiplus::Graphics g(dc);
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  g.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
  Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255));
  g.FillRectangle(&white, static_cast<INT>(area.left), static_cast<INT>(area.top),
                  static_cast<INT>(area.right - area.left),
                  static_cast<INT>(area.bottom - area.top));
  HFONT text = font;
  Legend(g, text, area);

  const PointF centre = Centre(area);
  const float radius = PhasorRadius(area);
  if (radius <= 10) return;

  Gdiplus::Pen grid(Gdiplus::Color(0xC8, 0xC8, 0xC8), 1);
  grid.SetDashStyle(Gdiplus::DashStyleDash);
  const auto reach = static_cast<float>(workbench::kCurrentReach);
  g.DrawEllipse(&grid, centre.X - radius, centre.Y - radius, 2 * radius, 2 * radius);
  g.DrawEllipse(&grid, centre.X - radius * reach, centre.Y - radius * reach, 2 * radius * reach,
                2 * radius * reach);
  g.DrawLine(&grid, centre.X - radius, centre.Y, centre.X + radius, centre.Y);
  g.DrawLine(&grid, centre.X, centre.Y - radius, centre.X, centre.Y + radius);

  if (diagram == nullptr) {
    const Gdiplus::RectF above(static_cast<float>(area.left), static_cast<float>(area.top),
                               static_cast<float>(area.right - area.left),
                               static_cast<float>(area.bottom - area.top) - kLegendHeight);
    WriteText(g, text, workbench::kPhasorWaiting, above, Gdiplus::StringAlignmentCenter,
              Gdiplus::Color(0x80, 0x80, 0x80));
    return;
  }
  for (size_t p = 0; p < 3; ++p) {
    if (!diagram->measured[p]) continue;
    const Gdiplus::Color colour = GdiColour(workbench::PhaseColour(static_cast<int>(p)));
    const PointF uTip = Tip(centre, radius, diagram->voltages[p]);
    Gdiplus::Pen voltage(colour, kVoltageWidth);
    Arrow(g, centre, uTip, voltage, colour);
    const auto& labels =
        diagram->lineVoltages ? workbench::kElementVoltageLabels : workbench::kVoltageLabels;
    Label(g, text, centre, uTip, labels[p], colour);
    if (diagram->currents[p].length > 0) {
      const PointF iTip = Tip(centre, radius * reach, diagram->currents[p]);
      Gdiplus::Pen current(colour, kCurrentWidth);
      current.SetDashStyle(Gdiplus::DashStyleDash);
      Arrow(g, centre, iTip, current, colour);
      Label(g, text, centre, iTip, workbench::kCurrentLabels[p], colour);
    }
  }
}

}  // namespace kt::ui::win32
