// Palettes for dialogs and controls from the colour decisions of the dialog logic.
#include "qt/ControlColors.h"

#include <QApplication>
#include <QPalette>

namespace kt::ui::qt {
namespace {

void SetTextRoles(QPalette& p, const QColor& text) {
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    p.setColor(QPalette::Active, role, text);
    p.setColor(QPalette::Inactive, role, text);
  }
}

void SetFieldRoles(QPalette& p, const QColor& field) {
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Window, field);
    p.setColor(group, QPalette::Base, field);
  }
}

}  // namespace

void ApplyWindowColors(QWidget& window, const DialogColors& colors) {
  QPalette p = window.palette();
  SetFieldRoles(p, FromColorRef(colors.background));
  // The dialog's own Base stays the system's: editable edit boxes inherit a white field.
  const QPalette system = QApplication::palette();
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(group, QPalette::Base, system.color(group, QPalette::Base));
  }
  SetTextRoles(p, FromColorRef(colors.text));
  window.setPalette(p);
  window.setAutoFillBackground(true);
}

void ApplyControlColors(QWidget& control, CtlColorType type, const CtlColor& decision,
                        const DialogColors& colors) {
  QPalette p = control.palette();
  if (!decision.useDefault) {
    SetFieldRoles(p, FromColorRef(decision.brushColor));
    SetTextRoles(p, FromColorRef(decision.textColor));
  } else if (type == CtlColorType::Edit) {
    const QPalette system = QApplication::palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      p.setColor(group, QPalette::Base, system.color(group, QPalette::Base));
    }
    SetTextRoles(p, system.color(QPalette::Active, QPalette::Text));
  } else {
    // Buttons keep their white check marks and radio circles; only the area around them and
    // their text take the dialog's colours.
    const QPalette system = QApplication::palette();
    SetFieldRoles(p, FromColorRef(colors.background));
    if (type == CtlColorType::Button) {
      for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, system.color(group, QPalette::Base));
      }
    }
    SetTextRoles(p, FromColorRef(colors.text));
  }
  if (p != control.palette()) control.setPalette(p);
}

}  // namespace kt::ui::qt
