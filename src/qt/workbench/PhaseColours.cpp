// Phase and verdict colours from the core's table, as Qt colours.
#include "qt/workbench/PhaseColours.h"

#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {
namespace {

QColor FromRgb(workbench::Rgb rgb) {
  return {rgb.red, rgb.green, rgb.blue};
}

}  // namespace

QColor PhaseColour(int phase) {
  return FromRgb(workbench::PhaseColour(phase));
}

QColor VerdictColour(workbench::Verdict verdict) {
  return FromRgb(workbench::VerdictColour(verdict));
}

}  // namespace kt::ui::qt
