// The unit steps of every family, as a table of printf formats.
#include "values/UnitFormat.h"

#include <array>
#include <cstdio>

namespace kt::values {
namespace {

// nullptr for a step the family does not have; the next smaller step applies then.
struct UnitSteps {
  const char* mega;  // x > 1000000, of x / 1000000
  const char* kilo;  // x > 1000, of x / 1000
  const char* base;  // of x
};

// Indexed by UnitFamily.
constexpr std::array<UnitSteps, 11> kUnitSteps = {{
    {nullptr, "%.2f KV", "%.2f V"},
    {nullptr, "%.4f KA", "%.4f A"},
    {"%.4f MW", "%.4f KW", "%.1f W"},
    {"%.4f MVar", "%.4f KVar", "%.1f Var"},
    {"%.4f MVA", "%.4f KVA", "%.1f VA"},
    {"%.4f MWh", "%.4f KWh", "%.1f Wh"},
    {"-%.4f MWh", "-%.4f KWh", "-%.1f Wh"},
    {"%.4f MVarh", "%.4f KVarh", "%.1f Varh"},
    {"-%.4f MVarh", "-%.4f KVarh", "-%.1f Varh"},
    {nullptr, nullptr, "%.4f"},
    {nullptr, nullptr, "%.3f Hz"},
}};

std::string Printed(const char* format, double value) {
  // Large enough for any double printed with four decimals and a unit; longer texts (which no
  // decoded value reaches) are measured and printed in full.
  char small[64];
  const int n = std::snprintf(small, sizeof small, format, value);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::string text(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, value);
  text.resize(static_cast<size_t>(n));
  return text;
}

}  // namespace

std::string FormatValue(UnitFamily family, double x) {
  const UnitSteps& steps = kUnitSteps[static_cast<size_t>(family)];
  if (steps.mega != nullptr && x > 1000000.0) return Printed(steps.mega, x / 1000000.0);
  if (steps.kilo != nullptr && x > 1000.0) return Printed(steps.kilo, x / 1000.0);
  return Printed(steps.base, x);
}

}  // namespace kt::values
