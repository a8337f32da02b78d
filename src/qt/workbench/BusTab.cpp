// The bus tab's widgets: an edit and four buttons above a standard table widget, which screen
// readers and test drivers read through the accessibility interface, and the selected row's
// wiring check below it.
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
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "qt/workbench/PhaseColours.h"
#include "workbench/WorkbenchLook.h"
#include "workbench/WorkbenchModel.h"

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

QTableWidget* ReadOnlyTable(QTableWidget* table, const QStringList& headings) {
  table->setColumnCount(static_cast<int>(headings.size()));
  table->setHorizontalHeaderLabels(headings);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->verticalHeader()->hide();
  return table;
}

// Sets the cell's text and colour (none: the table's own) where they changed; true when the text
// did.
bool SetCell(QTableWidget& table, int row, int column, const std::string& text,
             const QBrush& colour) {
  QTableWidgetItem* item = table.item(row, column);
  if (item == nullptr) {
    item = new QTableWidgetItem;
    table.setItem(row, column, item);
  }
  if (item->foreground() != colour) item->setForeground(colour);
  const QString shown = QString::fromStdString(text);
  if (item->text() == shown) return false;
  item->setText(shown);
  return true;
}

}  // namespace

BusTab::BusTab(bus::BusTabModel& model, QWidget* parent)
    : QWidget(parent),
      model_(model),
      addresses_(new QLineEdit(this)),
      startStop_(new QPushButton(Text(model.StartStopText()), this)),
      checkTitle_(new QLabel(this)) {
  setObjectName(QStringLiteral("busTab"));
  auto* table = new BusTable(this);
  QStringList headings;
  for (const char* h : bus::kBusColumnHeadings) headings << Text(h);
  table_ = ReadOnlyTable(table, headings);
  table_->setObjectName(QStringLiteral("busTable"));
  table_->setAccessibleName(Text(bus::kBusTabTitle));
  // A narrow cell is cut short with "…", never broken inside a figure ("0." over "9921/…").
  table_->setWordWrap(false);
  check_ = ReadOnlyTable(new QTableWidget(this),
                         {Text(workbench::kWiringColumns[0]), Text(workbench::kWiringColumns[1]),
                          Text(workbench::kWiringColumns[2])});
  check_->setObjectName(QStringLiteral("busCheck"));
  check_->setAccessibleName(Text(
      workbench::kWorkbenchTabTitles[static_cast<std::size_t>(workbench::WorkbenchTab::Wiring)]));
  check_->setWordWrap(true);
  check_->horizontalHeader()->setStretchLastSection(true);
  checkTitle_->setObjectName(QStringLiteral("busCheckTitle"));
  addresses_->setObjectName(QStringLiteral("busAddresses"));
  startStop_->setObjectName(QStringLiteral("busStartStop"));

  auto* label = new QLabel(Text(bus::kBusAddressLabel), this);
  label->setBuddy(addresses_);
  auto* add = new QPushButton(Text(bus::kBusAddButton), this);
  auto* remove = new QPushButton(Text(bus::kBusRemoveButton), this);
  auto* report = new QPushButton(Text(workbench::kMakeReportText), this);
  add->setObjectName(QStringLiteral("busAdd"));
  remove->setObjectName(QStringLiteral("busRemove"));
  report->setObjectName(QStringLiteral("busReport"));
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(addresses_, 1);
  for (QPushButton* b : {add, remove, startStop_, report}) row->addWidget(b);
  auto* lower = new QWidget(this);
  auto* lowerLayout = new QVBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->addWidget(checkTitle_);
  lowerLayout->addWidget(check_, 1);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(table_);
  split->addWidget(lower);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(split, 1);

  // The keyboard goes along the row, then down the tables.
  QWidget* order[] = {addresses_, add, remove, startStop_, report, table_, check_};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(addresses_, &QLineEdit::returnPressed, this, [this] { OnAdd(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnRemove(); });
  connect(startStop_, &QPushButton::clicked, this, [this] { OnStartStop(); });
  connect(report, &QPushButton::clicked, this, [this] {
    if (makeReport_) makeReport_();
  });
  table->onChoose = [this](int r) { model_.Choose(static_cast<std::size_t>(r)); };
  connect(table_, &QTableWidget::cellDoubleClicked, this,
          [this](int r, int) { model_.Choose(static_cast<std::size_t>(r)); });
  connect(table_, &QTableWidget::currentCellChanged, this, [this] { RefreshCheck(); });
  connect(&ticks_, &QTimer::timeout, this, [this] { OnTick(); });
  RefreshCheck();
}

void BusTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
  UpdateTimer();
}

void BusTab::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  UpdateTimer();
}

void BusTab::UpdateTimer() {
  const uint32_t ms = model_.TimerMs(isVisible());
  if (ms == 0) {
    ticks_.stop();
  } else if (!ticks_.isActive() || ticks_.interval() != static_cast<int>(ms)) {
    ticks_.start(static_cast<int>(ms));
  }
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
  UpdateTimer();
  Refresh();
}

void BusTab::OnTick() {
  if (model_.Tick() && isVisible()) Refresh();
  UpdateTimer();
}

std::optional<std::size_t> BusTab::Selected() const {
  if (table_->currentRow() < 0) return std::nullopt;
  return static_cast<std::size_t>(table_->currentRow());
}

void BusTab::Refresh() {
  const std::vector<bus::BusTableRow> rows = model_.Rows();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const workbench::Rgb* colour = bus::BusRowColour(rows[r]);
    const QBrush brush =
        colour != nullptr ? QBrush(QColor(colour->red, colour->green, colour->blue)) : QBrush();
    for (std::size_t c = 0; c < bus::kBusColumnCount; ++c) {
      SetCell(*table_, static_cast<int>(r), static_cast<int>(c), rows[r].cells[c], brush);
    }
  }
  RefreshCheck();
}

void BusTab::RefreshCheck() {
  const QString title = QString::fromStdString(model_.CheckTitle(Selected()));
  if (checkTitle_->text() != title) checkTitle_->setText(title);
  const std::vector<workbench::CheckRow> rows = model_.CheckRows(Selected());
  bool changed = check_->rowCount() != static_cast<int>(rows.size());
  check_->setRowCount(static_cast<int>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const auto ri = static_cast<int>(r);
    changed |= SetCell(*check_, ri, 0, rows[r].name, QBrush());
    changed |= SetCell(*check_, ri, 1, workbench::VerdictText(rows[r].verdict),
                       QBrush(qt::VerdictColour(rows[r].verdict)));
    changed |= SetCell(*check_, ri, 2, rows[r].message, QBrush());
  }
  // Long messages wrap in their rows.
  if (changed) check_->resizeRowsToContents();
}

}  // namespace kt::ui::qt
