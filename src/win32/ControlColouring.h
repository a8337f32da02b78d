// Answers to WM_CTLCOLOR*: the colour handler's decision applied to the control's device context.
#pragma once

#include <cstdint>

#include "ui/dialog/WindowHost.h"
#include "win32/BrushCache.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// The dialog-wide default colours (SetDialogBkColor).
struct DialogColors {
  uint32_t background;
  uint32_t text;
};

// Sets text colour, background colour and mode on `dc` and returns the brush for the control's
// background; nullptr leaves the control to the system (an editable edit box by default keeps
// the system's white field).
HBRUSH ColourControl(HDC dc, CtlColorType type, const CtlColor& decision,
                     const DialogColors& colors, BrushCache& brushes);

// The dialog's own background (WM_CTLCOLORDLG) and the texts of a message box.
HBRUSH ColourDialog(HDC dc, const DialogColors& colors, BrushCache& brushes);

// A table (list view) takes its colours by message rather than by WM_CTLCOLOR*.
void ColourTable(HWND table, const CtlColor& decision, const DialogColors& colors);

}  // namespace kt::ui::win32
