// One widget per control kind, with the template's styles.
#include "ui/qt/ControlFactory.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/qt/DisplayText.h"
#include "ui/qt/ListBox.h"
#include "ui/qt/MultiLineEdit.h"

namespace kt::ui::qt {
namespace {

QString Text(const ControlTemplate& c) {
  return QString::fromUtf8(c.text != nullptr ? c.text : "");
}

QWidget* CreateEdit(const ControlTemplate& c, QWidget& parent) {
  const bool framed = c.Has(kBorder) || c.Has(kStaticEdge);
  if (c.Has(kMultiLine)) {
    auto* edit = new MultiLineEdit(&parent);
    edit->setReadOnly(c.Has(kReadOnly));
    edit->setVerticalScrollBarPolicy(c.Has(kVScroll) ? Qt::ScrollBarAlwaysOn
                                                     : Qt::ScrollBarAlwaysOff);
    if (!framed) edit->setFrameShape(QFrame::NoFrame);
    edit->setPlainText(DisplayText(c.text != nullptr ? c.text : ""));
    return edit;
  }
  auto* edit = new QLineEdit(DisplayText(c.text != nullptr ? c.text : ""), &parent);
  edit->setReadOnly(c.Has(kReadOnly));
  edit->setFrame(framed);
  edit->setTextMargins(0, 0, 0, 0);
  return edit;
}

QWidget* CreateButton(const ControlTemplate& c, QWidget& parent,
                      const std::function<void(int)>& onClick) {
  auto* button = new QPushButton(Text(c), &parent);
  // Enter is the dialog's to dispatch; the default button only shows its thicker frame.
  button->setAutoDefault(false);
  button->setDefault(c.Has(kDefaultButton));
  const int id = c.id;
  QObject::connect(button, &QPushButton::clicked, button, [onClick, id] { onClick(id); });
  return button;
}

QWidget* CreateRadio(const ControlTemplate& c, QWidget& parent,
                     const std::function<void(int)>& onClick) {
  auto* radio = new QRadioButton(Text(c), &parent);
  // Each radio button is a group of its own: the handlers check and clear them explicitly.
  radio->setAutoExclusive(false);
  const int id = c.id;
  const bool automatic = c.Has(kAutoRadio);
  QObject::connect(radio, &QRadioButton::clicked, radio, [radio, onClick, id, automatic] {
    // An automatic radio button is checked by a click (also when it was already); any other
    // radio button keeps its state until its handler changes it.
    radio->setChecked(automatic ? true : !radio->isChecked());
    onClick(id);
  });
  return radio;
}

QWidget* CreateList(const ControlTemplate& c, QWidget& parent,
                    const std::function<void(int, int)>& onListClick) {
  const int id = c.id;
  auto* list = new ListBox(&parent, [onListClick, id](int line) { onListClick(id, line); });
  // The lines are the program's to set: the user can only pick them.
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  if (!c.Has(kBorder) && !c.Has(kStaticEdge)) list->setFrameShape(QFrame::NoFrame);
  return list;
}

QWidget* CreateWidget(const ControlTemplate& c, QWidget& parent,
                      const std::function<void(int)>& onClick,
                      const std::function<void(int, int)>& onListClick) {
  switch (c.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(Text(c), &parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setAttribute(Qt::WA_TransparentForMouseEvents);
      return label;
    }
    case ControlKind::GroupBox: {
      auto* box = new QGroupBox(Text(c), &parent);
      box->setAttribute(Qt::WA_TransparentForMouseEvents);
      return box;
    }
    case ControlKind::Edit:
      return CreateEdit(c, parent);
    case ControlKind::PushButton:
      return CreateButton(c, parent, onClick);
    case ControlKind::RadioButton:
      return CreateRadio(c, parent, onClick);
    case ControlKind::ListBox:
      return CreateList(c, parent, onListClick);
    case ControlKind::SerialControl:
      return nullptr;
  }
  return nullptr;
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& control, const DialogUnits& units, QWidget& parent,
                       const std::function<void(int)>& onClick,
                       const std::function<void(int, int)>& onListClick) {
  QWidget* w = CreateWidget(control, parent, onClick, onListClick);
  if (w == nullptr) return nullptr;
  if (control.id != IDC_STATIC) w->setObjectName(QString::number(control.id));
  w->setGeometry(units.Rect(control.rect));
  if (control.kind == ControlKind::Edit || control.kind == ControlKind::PushButton ||
      control.kind == ControlKind::RadioButton || control.kind == ControlKind::ListBox) {
    w->setFocusPolicy(control.Has(kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
  }
  if (control.Has(kDisabled)) w->setEnabled(false);
  if (control.Has(kHidden)) w->setVisible(false);
  return w;
}

}  // namespace kt::ui::qt
