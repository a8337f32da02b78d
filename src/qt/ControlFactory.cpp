// One widget per control kind, with the template's styles.
#include "qt/ControlFactory.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <algorithm>

#include "qt/DisplayText.h"
#include "qt/ListBox.h"
#include "qt/MultiLineEdit.h"
#include "qt/TableColumns.h"
#include "ui/dialog/ControlValues.h"

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

QWidget* CreateCheck(const ControlTemplate& c, QWidget& parent,
                     const std::function<void(int)>& onClick) {
  auto* check = new QCheckBox(Text(c), &parent);
  const int id = c.id;
  QObject::connect(check, &QCheckBox::clicked, check, [onClick, id] { onClick(id); });
  return check;
}

QWidget* CreateTable(const ControlTemplate& c, QWidget& parent,
                     const std::function<void(int)>& onClick,
                     const std::function<void(int, int)>& onListClick) {
  const QStringList headings = Text(c).split(QLatin1Char('\t'));
  auto* table = new QTableWidget(0, static_cast<int>(headings.size()), &parent);
  table->setHorizontalHeaderLabels(headings);
  table->verticalHeader()->setVisible(false);
  // The columns fit their headings and cells; the last takes what width is left, and all stay
  // in view however narrow the table.
  KeepColumnsFitted(*table);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  if (!c.Has(kBorder) && !c.Has(kStaticEdge)) table->setFrameShape(QFrame::NoFrame);
  const int id = c.id;
  QObject::connect(table, &QTableWidget::cellClicked, table,
                   [onListClick, id](int row, int) { onListClick(id, row); });
  // A row chosen with the keys is picked as one clicked.
  QObject::connect(table, &QTableWidget::currentCellChanged, table,
                   [onListClick, id](int row, int, int previousRow, int) {
                     if (row >= 0 && row != previousRow) onListClick(id, row);
                   });
  QObject::connect(table, &QTableWidget::cellDoubleClicked, table,
                   [onClick, onListClick, id](int row, int) {
                     onListClick(id, row);
                     onClick(id);
                   });
  return table;
}

QWidget* CreateProgress(const ControlTemplate& c, QWidget& parent) {
  auto* bar = new QProgressBar(&parent);
  bar->setRange(0, 100);
  bar->setValue(ProgressValue(c.text != nullptr ? c.text : ""));
  return bar;
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
    case ControlKind::CheckBox:
      return CreateCheck(c, parent, onClick);
    case ControlKind::Table:
      return CreateTable(c, parent, onClick, onListClick);
    case ControlKind::ProgressBar:
      return CreateProgress(c, parent);
    case ControlKind::SerialControl:
      return nullptr;
  }
  return nullptr;
}

}  // namespace

int ProgressValue(const std::string& text) {
  return ProgressPercent(text);
}

void SetTableRows(QTableWidget& table, const std::vector<std::string>& rows) {
  const int before = table.rowCount();
  table.setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < table.rowCount(); ++r) {
    const QStringList cells =
        QString::fromStdString(rows[static_cast<size_t>(r)]).split(QLatin1Char('\t'));
    for (int col = 0; col < table.columnCount(); ++col) {
      const QString cell = col < cells.size() ? cells[col] : QString();
      table.setItem(r, col, new QTableWidgetItem(cell));
    }
  }
  FitTableColumns(table);
  // Rows that came in are scrolled into view.
  if (table.rowCount() > before) table.scrollToItem(table.item(table.rowCount() - 1, 0));
}

QWidget* CreateControl(const ControlTemplate& control, const DialogUnits& units, QWidget& parent,
                       const std::function<void(int)>& onClick,
                       const std::function<void(int, int)>& onListClick) {
  QWidget* w = CreateWidget(control, parent, onClick, onListClick);
  if (w == nullptr) return nullptr;
  if (control.id != IDC_STATIC) w->setObjectName(QString::number(control.id));
  w->setGeometry(units.Rect(control.rect));
  if (control.kind == ControlKind::Edit || control.kind == ControlKind::PushButton ||
      control.kind == ControlKind::RadioButton || control.kind == ControlKind::ListBox ||
      control.kind == ControlKind::CheckBox || control.kind == ControlKind::Table) {
    w->setFocusPolicy(control.Has(kTabStop) ? Qt::StrongFocus : Qt::ClickFocus);
  }
  if (control.Has(kDisabled)) w->setEnabled(false);
  if (control.Has(kHidden)) w->setVisible(false);
  return w;
}

}  // namespace kt::ui::qt
