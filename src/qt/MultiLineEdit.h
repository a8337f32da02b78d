// A multi-line edit box as dialogs have it: Enter and Escape belong to the dialog, Tab moves on.
#pragma once

#include <QPlainTextEdit>

namespace kt::ui::qt {

class MultiLineEdit : public QPlainTextEdit {
 public:
  explicit MultiLineEdit(QWidget* parent);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace kt::ui::qt
