// The tab "总线" in Qt: draws the bus tab's model (its list in a table, the texts of its buttons)
// and forwards the edit, the buttons and a chosen row to it.
#pragma once

#include <QTimer>
#include <QWidget>

#include "bus/BusTabModel.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kt::ui::qt {

class BusTab : public QWidget {
 public:
  explicit BusTab(bus::BusTabModel& model, QWidget* parent = nullptr);

  // Draws the model's rows again.
  void Refresh();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnAdd();
  void OnRemove();
  void OnStartStop();
  void OnTick();

  bus::BusTabModel& model_;
  QLineEdit* addresses_;
  QPushButton* startStop_;
  QTableWidget* table_;
  QTimer ticks_;  // runs only while the poller does
};

}  // namespace kt::ui::qt
