// Phase and verdict colours, named once for the trend chart, the phasor diagram and the table.
#include "ui/qt/workbench/PhaseColours.h"

#include <array>

namespace kt::ui::qt {

QColor PhaseColour(int phase) {
  static const std::array<QColor, 3> kColours = {QColor(0xD4, 0xA0, 0x00), QColor(0x1E, 0x9E, 0x2E),
                                                 QColor(0xD0, 0x20, 0x20)};
  return kColours[static_cast<std::size_t>(phase) % kColours.size()];
}

QColor VerdictColour(workbench::Verdict verdict) {
  switch (verdict) {
    case workbench::Verdict::Normal:
      return {0x1E, 0x9E, 0x2E};
    case workbench::Verdict::Note:
      return {0xE0, 0x7B, 0x00};
    case workbench::Verdict::Fault:
      return {0xD0, 0x20, 0x20};
  }
  return Qt::black;
}

}  // namespace kt::ui::qt
