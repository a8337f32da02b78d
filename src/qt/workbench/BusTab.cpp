// The bus tab's widgets: an edit and three buttons above a standard table widget, which screen
// readers and test drivers read through the accessibility interface.
#include "qt/workbench/BusTab.h"

#include <QBrush>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kt::ui::qt {
namespace {

QString Text(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// Enter on a row chooses it, as a double click does.
class BusTable : public QTableWidget {
 public:
  using QTableWidget::QTableWidget;
  std::function<void(int row)> onChoose;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
      onChoose(currentRow());
      return;
    }
    QTableWidget::keyPressEvent(event);
  }
};

}  // namespace

BusTab::BusTab(bus::BusTabModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      addresses_(new QLineEdit(this)),
      startStop_(new QPushButton(Text(model.StartStopText()), this)) {
  setObjectName(QStringLiteral("busTab"));
  auto* table = new BusTable(0, static_cast<int>(bus::kBusColumnCount), this);
  table_ = table;
  table_->setObjectName(QStringLiteral("busTable"));
  addresses_->setObjectName(QStringLiteral("busAddresses"));
  startStop_->setObjectName(QStringLiteral("busStartStop"));
  QStringList headings;
  for (const char* h : bus::kBusColumnHeadings) headings << Text(h);
  table_->setHorizontalHeaderLabels(headings);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->verticalHeader()->hide();
  table_->setAccessibleName(Text(bus::kBusTabTitle));

  auto* label = new QLabel(Text(bus::kBusAddressLabel), this);
  label->setBuddy(addresses_);
  auto* add = new QPushButton(Text(bus::kBusAddButton), this);
  auto* remove = new QPushButton(Text(bus::kBusRemoveButton), this);
  add->setObjectName(QStringLiteral("busAdd"));
  remove->setObjectName(QStringLiteral("busRemove"));
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(addresses_, 1);
  row->addWidget(add);
  row->addWidget(remove);
  row->addWidget(startStop_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(table_, 1);

  connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(addresses_, &QLineEdit::returnPressed, this, [this] { OnAdd(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnRemove(); });
  connect(startStop_, &QPushButton::clicked, this, [this] { OnStartStop(); });
  table->onChoose = [this](int r) { model_.Choose(static_cast<std::size_t>(r)); };
  connect(table_, &QTableWidget::cellDoubleClicked, this,
          [this](int r, int) { model_.Choose(static_cast<std::size_t>(r)); });
  ticks_.setInterval(static_cast<int>(bus::kBusTickMs));
  connect(&ticks_, &QTimer::timeout, this, [this] { OnTick(); });
}

void BusTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void BusTab::OnAdd() {
  const std::string message = model_.Add(addresses_->text().toStdString());
  if (!message.empty()) {
    QMessageBox::warning(this, Text(bus::kBusTabTitle), QString::fromStdString(message));
    return;
  }
  addresses_->clear();
  Refresh();
}

void BusTab::OnRemove() {
  if (table_->currentRow() < 0) return;
  model_.Remove(static_cast<std::size_t>(table_->currentRow()));
  Refresh();
}

void BusTab::OnStartStop() {
  model_.StartStop();
  startStop_->setText(Text(model_.StartStopText()));
  if (model_.NeedsTicks()) ticks_.start();
  Refresh();
}

void BusTab::OnTick() {
  if (model_.Tick() && isVisible()) Refresh();
  if (!model_.NeedsTicks()) ticks_.stop();
}

void BusTab::Refresh() {
  const std::vector<bus::BusTableRow> rows = model_.Rows();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const bus::BusTableRow& row = rows[r];
    for (std::size_t c = 0; c < bus::kBusColumnCount; ++c) {
      const auto ri = static_cast<int>(r);
      const auto ci = static_cast<int>(c);
      QTableWidgetItem* item = table_->item(ri, ci);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        table_->setItem(ri, ci, item);
      }
      const QString text = QString::fromStdString(row.cells[c]);
      if (item->text() != text) item->setText(text);
      const workbench::Rgb* colour = bus::BusRowColour(row);
      item->setForeground(
          colour != nullptr ? QBrush(QColor(colour->red, colour->green, colour->blue)) : QBrush());
    }
  }
}

}  // namespace kt::ui::qt
