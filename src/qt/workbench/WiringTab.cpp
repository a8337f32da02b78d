// Fills the check table from each block and hands the block's phasors to the diagram.
#include "qt/workbench/WiringTab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "qt/workbench/CopyableTable.h"
#include "qt/workbench/PhaseColours.h"
#include "qt/workbench/PhasorView.h"
#include "workbench/WorkbenchLook.h"

namespace kt::ui::qt {

WiringTab::WiringTab(QWidget* parent) : WiringTab(nullptr, parent) {}

WiringTab::WiringTab(workbench::WiringModel& wiring, QWidget* parent)
    : WiringTab(&wiring, parent) {}

WiringTab::~WiringTab() = default;

WiringTab::WiringTab(workbench::WiringModel* wiring, QWidget* parent)
    : QWidget(parent),
      own_(wiring == nullptr ? std::make_unique<OwnModel>() : nullptr),
      wiring_(wiring != nullptr ? *wiring : own_->wiring),
      frequency_(ChoiceBox(workbench::kNominalFrequencyChoice, wiring_.NominalHzIndex(),
                           [this](std::size_t i) { wiring_.ChooseNominalHz(i); })),
      ctSecondary_(ChoiceBox(workbench::kCtSecondaryChoice, wiring_.CtSecondaryIndex(),
                             [this](std::size_t i) { wiring_.ChooseCtSecondary(i); })),
      table_(new CopyableTable(0, 3, this)),
      phasors_(new PhasorView(this)),
      makeReport_(new QPushButton(QString::fromUtf8(workbench::kMakeReportText), this)) {
  makeReport_->setObjectName(QStringLiteral("makeReport"));
  makeReport_->setVisible(false);
  connect(makeReport_, &QPushButton::clicked, this, [this] {
    if (make_) make_();
  });
  table_->setHorizontalHeaderLabels({QString::fromUtf8(workbench::kWiringColumns[0]),
                                     QString::fromUtf8(workbench::kWiringColumns[1]),
                                     QString::fromUtf8(workbench::kWiringColumns[2])});
  table_->verticalHeader()->setVisible(false);
  // Each row says what was seen, what it means and what to check: long lines wrap, and each
  // cell's tooltip holds its whole text. Rows are selected and copied (Ctrl+C) as text.
  table_->setWordWrap(true);
  table_->setTextElideMode(Qt::ElideNone);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  auto* header = table_->horizontalHeader();
  header->setSectionResizeMode(kNameColumn, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(kVerdictColumn, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(kMessageColumn, QHeaderView::Stretch);

  auto* note = new QLabel(QString::fromUtf8(workbench::kPhasorNote), this);
  note->setWordWrap(true);
  auto* legend = new QLabel(
      QStringLiteral("%1　<span style='color:%2'>■ %3</span>　<span style='color:%4'>■ %5</span>　"
                     "<span style='color:%6'>■ %7</span>")
          .arg(QString::fromUtf8(workbench::kPhasorLegendLines), PhaseColour(0).name(),
               QString::fromUtf8(workbench::kPhaseNames[0]), PhaseColour(1).name(),
               QString::fromUtf8(workbench::kPhaseNames[1]), PhaseColour(2).name(),
               QString::fromUtf8(workbench::kPhaseNames[2])),
      this);

  auto* side = new QVBoxLayout;
  side->addWidget(phasors_, 1);
  side->addWidget(legend);
  side->addWidget(note);

  // The choices the check judges against, one under the other.
  auto* choices = new QGridLayout;
  choices->addWidget(new QLabel(QString::fromUtf8(workbench::kNominalFrequencyChoice.label)), 0, 0);
  choices->addWidget(frequency_, 0, 1);
  choices->addWidget(new QLabel(QString::fromUtf8(workbench::kCtSecondaryChoice.label)), 1, 0);
  choices->addWidget(ctSecondary_, 1, 1);
  choices->setColumnStretch(2, 1);
  auto* checks = new QVBoxLayout;
  checks->addLayout(choices);
  checks->addWidget(table_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(makeReport_);
  checks->addLayout(buttons);

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(checks, 3);
  layout->addLayout(side, 2);
}

void WiringTab::AddBlock(const values::MeasuredBlock& block) {
  wiring_.AddBlock(block);
  BlockAdded();
}

void WiringTab::BlockAdded() {
  if (isVisible()) ShowLastBlock();
}

void WiringTab::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ShowLastBlock();
}

void WiringTab::ShowLastBlock() {
  if (!wiring_.Check()) return;
  const std::vector<workbench::CheckRow>& rows = wiring_.Rows();
  const int count = static_cast<int>(rows.size());
  // Rows are filled in place: an unchanged text or colour is not set again, so a steady load
  // does not repaint the table.
  for (int r = table_->rowCount(); r < count; ++r) {
    table_->insertRow(r);
    auto* verdict = new QTableWidgetItem;
    QFont bold = verdict->font();
    bold.setBold(true);
    verdict->setFont(bold);
    verdict->setTextAlignment(Qt::AlignCenter);
    table_->setItem(r, kNameColumn, new QTableWidgetItem);
    table_->setItem(r, kVerdictColumn, verdict);
    table_->setItem(r, kMessageColumn, new QTableWidgetItem);
  }
  table_->setRowCount(count);
  for (int r = 0; r < count; ++r) {
    const workbench::CheckRow& row = rows[static_cast<std::size_t>(r)];
    SetIfChanged(*table_->item(r, kNameColumn), QString::fromStdString(row.name));
    QTableWidgetItem& verdict = *table_->item(r, kVerdictColumn);
    SetIfChanged(verdict, QString::fromUtf8(workbench::VerdictText(row.verdict)));
    const QBrush colour(qt::VerdictColour(row.verdict));
    if (verdict.foreground() != colour) verdict.setForeground(colour);
    SetIfChanged(*table_->item(r, kMessageColumn), QString::fromStdString(row.message));
  }
  // The rows as tall as their wrapped texts at the column's width now, not at a later layout.
  table_->resizeRowsToContents();
  phasors_->SetDiagram(*wiring_.Diagram());
}

QComboBox* WiringTab::ChoiceBox(const workbench::WiringChoice& choice, std::size_t chosen,
                                const std::function<void(std::size_t)>& choose) {
  auto* box = new QComboBox(this);
  for (const workbench::WiringChoiceOption& option : choice.options)
    box->addItem(QString::fromUtf8(option.text), option.value);
  box->setCurrentIndex(static_cast<int>(chosen));
  connect(box, &QComboBox::currentIndexChanged, this, [this, choose](int index) {
    choose(static_cast<std::size_t>(std::max(index, 0)));
    if (isVisible()) ShowLastBlock();
  });
  return box;
}

void WiringTab::SetNominalHz(double hz) {
  frequency_->setCurrentIndex(static_cast<int>(workbench::kNominalFrequencyChoice.IndexOf(hz)));
}

void WiringTab::SetCtSecondaryA(double amps) {
  ctSecondary_->setCurrentIndex(static_cast<int>(workbench::kCtSecondaryChoice.IndexOf(amps)));
}

void WiringTab::SetIfChanged(QTableWidgetItem& item, const QString& text) {
  if (item.text() == text) return;
  item.setText(text);
  item.setToolTip(text);
}

void WiringTab::SetMakeReport(std::function<void()> make) {
  make_ = std::move(make);
  makeReport_->setVisible(static_cast<bool>(make_));
}

}  // namespace kt::ui::qt
