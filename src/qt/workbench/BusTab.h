// The tab "总线" in Qt: draws the bus tab's model (its list in a table, the wiring check of the
// selected row below it, the texts of its buttons) and forwards the edit, the buttons and a
// chosen row to it.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "bus/BusTabModel.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kt::ui::qt {

class BusTab : public QWidget {
 public:
  explicit BusTab(bus::BusTabModel& model, QWidget* parent = nullptr);

  // Draws the model's rows and the selected row's wiring check again.
  void Refresh();
  // What "生成报告…" does (the window's report steps with the bus's report).
  void SetMakeReport(std::function<void()> make) { makeReport_ = std::move(make); }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void OnAdd();
  void OnRemove();
  void OnStartStop();
  void OnTick();
  // The timer at the model's period for the tab as it is now (shown or not).
  void UpdateTimer();
  std::optional<std::size_t> Selected() const;
  void RefreshCheck();

  bus::BusTabModel& model_;
  QLineEdit* addresses_;
  QPushButton* startStop_;
  QTableWidget* table_;
  QLabel* checkTitle_;
  QTableWidget* check_;
  QTimer ticks_{this};  // runs while the poller does, and while the tab is shown
  std::function<void()> makeReport_;
};

}  // namespace kt::ui::qt
