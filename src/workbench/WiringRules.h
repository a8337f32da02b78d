// The wiring check as a table of rules. Each rule declares the wiring layouts it applies to, the
// registers it reads and the thresholds it uses; rules that compare powers or angles run only on
// elements with enough current (`needsCurrent`), so no row contradicts "电流太小，无法判断".
#pragma once

#include <array>
#include <span>
#include <vector>

#include "values/MeasuredBlock.h"
#include "workbench/CurrentFits.h"
#include "workbench/SiteView.h"
#include "workbench/WiringCheck.h"
#include "workbench/WiringThresholds.h"

namespace kt::workbench {

// What every rule may read, worked out once per block.
struct CheckContext {
  CheckContext(const values::MeasuredBlock& b, const WiringThresholds& t, double hz, double ctA)
      : block(b), limits(t), nominalHz(hz), ctSecondaryA(ctA) {}

  const values::MeasuredBlock& block;
  const WiringThresholds& limits;
  double nominalHz;
  double ctSecondaryA;  // the CT's rated secondary current, 5 A or 1 A
  SiteView site;        // as measured
  // The elements as their voltages must have been wired: an element whose voltage arrives
  // reversed has its P and Q turned round, so the currents are judged against the true voltage.
  SiteView wired;
  std::array<bool, 3> lost{};             // the element's voltage is missing
  std::array<bool, 3> voltageReversed{};  // the element's voltage arrives the wrong way round
  bool voltagesUnsound = false;           // a voltage fault that leaves the currents unjudgeable
  std::array<bool, 3> loaded{};           // enough secondary current to judge angles and powers
  std::vector<int> judged;                // measured, loaded, with voltage
  std::array<double, 3> toleranceDeg{};   // the angle the register rounding leaves open
  std::vector<CurrentFit> fits;           // healthy readings, cheapest first
  std::vector<CheckRow> rows;

  void Add(const char* name, Verdict verdict, std::string message) {
    rows.push_back({name, verdict, std::move(message)});
  }
};

enum LayoutMask : unsigned {
  kFourWire = 1u << static_cast<unsigned>(Layout::FourWire),
  kThreeWire = 1u << static_cast<unsigned>(Layout::ThreeWire),
  kSinglePhase = 1u << static_cast<unsigned>(Layout::SinglePhase),
  kAnyLayout = kFourWire | kThreeWire | kSinglePhase,
};

struct WiringRule {
  const char* name;
  unsigned layouts;    // LayoutMask bits
  bool needsCurrent;   // with no loaded element the rule only says "电流太小，无法判断"
  const char* inputs;  // registers read
  const char* thresholds;  // WiringThresholds fields used
  void (*run)(CheckContext& context, const char* name);
};

std::span<const WiringRule> WiringRules();

// Fills in the derived parts of the context (lost voltages, loaded elements, fits).
void PrepareContext(CheckContext& context);

}  // namespace kt::workbench
