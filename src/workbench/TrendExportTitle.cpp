// The title line of an exported trend picture.
#include "values/LocalTimeText.h"
#include "workbench/TrendModel.h"

namespace kt::workbench {
namespace {

// "2026-01-02" and "04:31:24" of the local time `t`.
struct DateAndClock {
  std::string date;
  std::string clock;
};
DateAndClock LocalParts(TrendClock::time_point t) {
  const std::string full = values::LocalTimeText(t, values::TimeFields::DateAndTime);
  return {full.substr(0, 10), full.substr(11, 8)};
}

}  // namespace

std::string TrendModel::ExportTitle(TrendClock::time_point now) const {
  if (store_.size() == 0 || columns_.axis().tick.count() <= 0) {
    return "趋势  " + LocalParts(now).date;
  }
  const DateAndClock from = LocalParts(columns_.axis().from);
  const DateAndClock to = LocalParts(columns_.axis().to);
  const std::string toText = from.date == to.date ? to.clock : to.date + " " + to.clock;
  return "趋势  " + from.date + " " + from.clock + " 至 " + toText;
}

}  // namespace kt::workbench
