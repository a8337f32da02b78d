// Creates the widget of one template control.
#pragma once

#include <QWidget>
#include <functional>

#include "ui/dialog/DialogTemplate.h"
#include "ui/qt/DialogFont.h"

namespace kt::ui::qt {

// The widget for `control`, placed through `units`, or nullptr for a control that is never drawn
// (the serial control's place holder). Clicks of buttons are reported through `onClick` with
// the control's identifier; an automatic radio button is checked first. A click on a line of a
// list box is reported through `onListClick` with the identifier and the line's index.
QWidget* CreateControl(const ControlTemplate& control, const DialogUnits& units, QWidget& parent,
                       const std::function<void(int)>& onClick,
                       const std::function<void(int, int)>& onListClick);

}  // namespace kt::ui::qt
