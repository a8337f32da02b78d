// The colour decisions of the dialog logic onto device contexts and list views.
#include "win32/ControlColouring.h"

namespace kt::ui::win32 {

HBRUSH ColourControl(HDC dc, CtlColorType type, const CtlColor& decision,
                     const DialogColors& colors, BrushCache& brushes) {
  if (!decision.useDefault) {
    SetTextColor(dc, decision.textColor);
    SetBkColor(dc, decision.brushColor);
    SetBkMode(dc, decision.transparentBackground ? TRANSPARENT : OPAQUE);
    return brushes.Get(decision.brushColor);
  }
  if (type == CtlColorType::Edit) return nullptr;
  // Labels, buttons, read-only boxes and lists take the dialog's colours.
  SetTextColor(dc, colors.text);
  SetBkColor(dc, colors.background);
  return brushes.Get(colors.background);
}

HBRUSH ColourDialog(HDC dc, const DialogColors& colors, BrushCache& brushes) {
  SetTextColor(dc, colors.text);
  SetBkColor(dc, colors.background);
  return brushes.Get(colors.background);
}

void ColourTable(HWND table, const CtlColor& decision, const DialogColors& colors) {
  const uint32_t field = decision.useDefault ? colors.background : decision.brushColor;
  const uint32_t text = decision.useDefault ? colors.text : decision.textColor;
  ListView_SetBkColor(table, field);
  ListView_SetTextBkColor(table, field);
  ListView_SetTextColor(table, text);
}

}  // namespace kt::ui::win32
