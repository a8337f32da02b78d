// Colours of dialogs and controls: 0x00BBGGRR values onto Qt palettes.
#pragma once

#include <QColor>
#include <QWidget>
#include <cstdint>

#include "ui/dialog/WindowHost.h"

namespace kt::ui::qt {

inline QColor FromColorRef(uint32_t c) {
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

// The dialog-wide default colours (SetDialogBkColor).
struct DialogColors {
  uint32_t background;
  uint32_t text;
};

// Gives a dialog window or message box its background and text colour.
void ApplyWindowColors(QWidget& window, const DialogColors& colors);

// Draws a control as the colour handler decided. With the default, editable edit boxes keep the
// system's white field; every other control gets the dialog's background and text colour.
void ApplyControlColors(QWidget& control, CtlColorType type, const CtlColor& decision,
                        const DialogColors& colors);

}  // namespace kt::ui::qt
