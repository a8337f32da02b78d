// The tab "总线" as a user plays it, the same on both front ends: addresses and a name typed and
// added with Enter (meter 9 is listed but not on the line), "生成报告…" before any data, the
// poller started with its button and turned by the tab's own timer, the rows as shown (a silent
// meter's red), the selected row's wiring check, and a while after "停止" the values grey. Each
// front end's test drives its widgets through a BusTabUser.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "bus/BusTabModel.h"

namespace kt::testing {

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
  friend void PrintTo(const Rgb& c, std::ostream* out) {
    *out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
  }
};

class BusTabUser {
 public:
  virtual ~BusTabUser() = default;
  virtual void AddWithEnter(const std::string& text) = 0;
  virtual void ClickReport() = 0;
  virtual void ClickStartStop() = 0;
  virtual std::string StartStopText() = 0;
  virtual void Run(int ms) = 0;  // time passing on the line, the tab's timer firing
  virtual int Rows() = 0;
  virtual std::string Cell(int row, int column) = 0;
  virtual Rgb TextColour(int row, int column) = 0;
  virtual void Select(int row) = 0;
  virtual std::string CheckTitle() = 0;
  virtual int CheckRows() = 0;

  std::vector<std::string> told;  // what the window's report steps told the user
};

// On a line of meters 3 and 17.
inline void PlayBusTab(BusTabUser& user) {
  user.AddWithEnter("3,9,17=进线柜");
  user.ClickReport();
  EXPECT_EQ(user.told, std::vector<std::string>{bus::kBusNoDataForReport});
  user.ClickStartStop();
  EXPECT_EQ(user.StartStopText(), "停止");
  user.Run(6000);
  ASSERT_EQ(user.Rows(), 3);
  EXPECT_EQ(user.Cell(2, 0) + user.Cell(2, 1), "17进线柜");
  EXPECT_EQ(user.Cell(1, 2), "无应答");
  EXPECT_EQ(user.TextColour(1, 2), (Rgb{200, 0, 0}));
  user.Select(2);
  EXPECT_EQ(user.CheckTitle(), "接线检查：地址 17（进线柜）");
  EXPECT_GT(user.CheckRows(), 0);
  user.ClickStartStop();
  user.Run(4600);
  EXPECT_EQ(user.TextColour(0, 3), (Rgb{128, 128, 128}));
}

}  // namespace kt::testing
