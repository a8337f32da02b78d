// The bus table as plain data: one row of texts per meter, and whether a row is stale (grey) or
// failed (red). Each front end draws it as it is.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bus/BusPoller.h"
#include "workbench/WiringCheck.h"

namespace kt::bus {

enum class BusColumn : uint8_t {
  Address,
  Name,
  State,
  PhaseVoltage,
  PhaseCurrent,
  ActivePower,
  PowerFactor,
  Frequency,
  Wiring,
  LastData,
};
inline constexpr size_t kBusColumnCount = 10;
inline constexpr std::array<const char*, kBusColumnCount> kBusColumnHeadings = {
    "地址",        "名称",     "状态",     "相电压(V)", "相电流(A)",
    "有功功率(W)", "功率因数", "频率(Hz)", "接线",      "最后数据"};

struct BusTableRow {
  uint8_t address = 0;
  std::array<std::string, kBusColumnCount> cells;
  bool stale = false;   // values older than the stale rule allows
  bool failed = false;  // the link is not well ("无应答", "应答无效", "异常应答 …")

  const std::string& operator[](BusColumn c) const { return cells[static_cast<size_t>(c)]; }
};

// What the wiring check makes of a meter's last block: the worst verdict of its rows ("正常",
// "注意", "异常"), "" without a block.
std::string WiringVerdictText(const values::MeasuredBlock& block, double nominalHz,
                              double ctSecondaryA);

// The verdicts judged so far, by meter address: a meter is judged again only when its block or
// the choices changed (the check is the table's dearest part).
struct WiringVerdictMemo {
  struct Judged {
    uint32_t blockTick = 0;
    double nominalHz = 0;
    double ctSecondaryA = 0;
    std::string verdict;
  };
  std::map<uint8_t, Judged> byAddress;
};

// The rows in the poller's order. Phases are written "A/B/C" (phase A alone for a single-phase
// two-wire meter), each with the decimals of its register.
std::vector<BusTableRow> BusTableRows(const BusPoller& poller,
                                      double nominalHz = workbench::kDefaultNominalHz,
                                      double ctSecondaryA = workbench::kDefaultCtSecondaryA,
                                      WiringVerdictMemo* memo = nullptr);

}  // namespace kt::bus
