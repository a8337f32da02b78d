// Creates the widget of one template control.
#pragma once

#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "qt/DialogFont.h"
#include "ui/dialog/DialogTemplate.h"

namespace kt::ui::qt {

// The widget for `control`, placed through `units`, or nullptr for a control that is never drawn
// (the serial control's place holder). Clicks of buttons are reported through `onClick` with
// the control's identifier; an automatic radio button is checked first. A click on a line of a
// list box or a row of a table is reported through `onListClick` with the identifier and the
// index; a double click on a row of a table then also as a click of the table's identifier.
QWidget* CreateControl(const ControlTemplate& control, const DialogUnits& units, QWidget& parent,
                       const std::function<void(int)>& onClick,
                       const std::function<void(int, int)>& onListClick);

// A progress bar's value from its text: a whole number of percent, at most 100; 0 for any other.
int ProgressValue(const std::string& text);

// Fills a table control: one row per line, its cells separated by '\t' (missing ones empty).
void SetTableRows(QTableWidget& table, const std::vector<std::string>& rows);

}  // namespace kt::ui::qt
