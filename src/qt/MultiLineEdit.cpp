// Multi-line edit box that leaves Enter and Escape to its dialog.
#include "qt/MultiLineEdit.h"

#include <QKeyEvent>
#include <QTextDocument>

namespace kt::ui::qt {

MultiLineEdit::MultiLineEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  document()->setDocumentMargin(1);
}

void MultiLineEdit::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->ignore();
      return;
    default:
      QPlainTextEdit::keyPressEvent(event);
  }
}

}  // namespace kt::ui::qt
