// A dialog template as Windows reads it: an extended dialog template (DLGTEMPLATEEX with its
// DLGITEMTEMPLATEEX items) built in memory from the template data.
#pragma once

#include <cstdint>
#include <vector>

#include "ui/dialog/DialogTemplate.h"

namespace kt::ui::win32 {

// The window class a control kind is made of, as the template names it ("Button", "Edit", ...).
const wchar_t* WindowClassOf(ControlKind kind);
// The window styles and extended styles of a control from its kind and template flags.
uint32_t ControlWindowStyle(const ControlTemplate& control);
uint32_t ControlExtendedStyle(const ControlTemplate& control);
// Whether the control gets a window at all (the serial control's place holder does not).
bool HasWindow(const ControlTemplate& control);

// The bytes of the extended template, DWORD aligned from their start: the dialog's caption,
// size in dialog units, font and size, and one item per control that has a window, in template
// order (which is also the tab order). `centred` centres the dialog on the screen.
std::vector<uint32_t> BuildDialogTemplate(const DialogTemplate& dialog, bool centred);

}  // namespace kt::ui::win32
