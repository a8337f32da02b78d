// The dialog font of a template and the conversion of dialog units to pixels through it.
#pragma once

#include <QFont>
#include <QRect>

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui::qt {

// The template's font by name, with a CJK fallback when that face is not installed. The size is
// fixed in pixels as on a 96 dpi screen, so layouts do not depend on the screen's dpi setting.
QFont DialogFont(const char* name, int pointSize);

// The dialog base units of a font: the average character width as Windows computes it (the
// width of the 52 letters / 26, halved with rounding) and the character height.
struct DialogUnits {
  int baseX;
  int baseY;

  static DialogUnits Of(const QFont& font);
  int X(int du) const { return (du * baseX + 2) / 4; }
  int Y(int du) const { return (du * baseY + 4) / 8; }
  QRect Rect(const DuRect& r) const { return QRect(X(r.x), Y(r.y), X(r.width), Y(r.height)); }
};

}  // namespace kt::ui::qt
