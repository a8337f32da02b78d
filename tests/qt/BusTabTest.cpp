// The tab "总线" in the Qt workbench window played as on every front end (BusTabScenario.h), its
// rows read back through the accessibility interface; stopped, the shown tab redraws on its
// slower timer, and hidden not at all.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include "../bus/BusOnLine.h"
#include "BusTabScenario.h"
#include "bus/BusTabModel.h"
#include "qt/workbench/BusTab.h"
#include "qt/workbench/WorkbenchWindow.h"

namespace kt::testing {
namespace {

class QtBusTabUser : public BusTabUser {
 public:
  QtBusTabUser(ui::qt::BusTab& tab, BusOnLine& line) : tab_(tab), line_(line) {}

  void AddWithEnter(const std::string& text) override {
    auto* edit = Find<QLineEdit>("busAddresses");
    edit->setText(QString::fromStdString(text));
    QTest::keyClick(edit, Qt::Key_Return);
  }
  void ClickReport() override { QTest::mouseClick(Find<QPushButton>("busReport"), Qt::LeftButton); }
  // Started, the tab's timer turns the poller at its pace.
  void ClickStartStop() override {
    Find<QPushButton>("busStartStop")->click();
    if (StartStopText() == "停止") {
      EXPECT_EQ(timer()->interval(), static_cast<int>(bus::kBusTickMs));
    }
  }
  std::string StartStopText() override {
    return Find<QPushButton>("busStartStop")->text().toStdString();
  }
  // The tab's timer fired as time passes on the line's clock.
  void Run(int ms) override {
    for (int t = 0; t < ms; t += static_cast<int>(bus::kBusTickMs)) {
      line_.h.RunFor(bus::kBusTickMs);
      if (!timer()->isActive() ||
          (t + static_cast<int>(bus::kBusTickMs)) % timer()->interval() != 0) {
        continue;
      }
      QTimerEvent fired(timer()->timerId());
      QCoreApplication::sendEvent(timer(), &fired);
    }
  }
  int Rows() override { return Cells()->rowCount(); }
  std::string Cell(int row, int column) override {
    QAccessibleInterface* cell = Cells()->cellAt(row, column);
    return cell != nullptr ? cell->text(QAccessible::Name).toStdString() : "";
  }
  Rgb TextColour(int row, int column) override {
    const QColor c = Table()->item(row, column)->foreground().color();
    return {c.red(), c.green(), c.blue()};
  }
  void Select(int row) override { Table()->setCurrentCell(row, 0); }
  std::string CheckTitle() override { return Find<QLabel>("busCheckTitle")->text().toStdString(); }
  int CheckRows() override { return Find<QTableWidget>("busCheck")->rowCount(); }

  QTimer* timer() { return tab_.findChild<QTimer*>(); }

 private:
  template <typename W>
  W* Find(const char* name) {
    W* w = tab_.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QTableWidget* Table() { return Find<QTableWidget>("busTable"); }
  QAccessibleTableInterface* Cells() {
    return QAccessible::queryAccessibleInterface(Table())->tableInterface();
  }

  ui::qt::BusTab& tab_;
  BusOnLine& line_;
};

TEST(QtBusTab, PlaysAsOnEveryFrontEndAndRedrawsOnlyWhileShown) {
  BusOnLine line{{MeterAt(3, 350, 60, 20), MeterAt(17, 100, 40, 120)}};
  QSettings().remove(QString::fromStdString(bus::BusListKey(1)));
  ui::qt::WorkbenchWindow window;
  window.AddBusTab(*line.scheduler, line.h.clock);
  window.Attach(*line.h.dialog);
  ui::qt::BusTab& tab = *window.Bus();
  window.show();
  tab.show();
  QtBusTabUser user(tab, line);
  window.Reports().front.tell = [&](const std::string& text) { user.told.push_back(text); };
  ASSERT_NE(user.timer(), nullptr);
  PlayBusTab(user);
  EXPECT_EQ(user.timer()->interval(), static_cast<int>(bus::kBusRedrawMs));
  tab.hide();
  EXPECT_FALSE(user.timer()->isActive());
  tab.show();  // the window ends open, its tab drawing until it goes
}

}  // namespace
}  // namespace kt::testing
