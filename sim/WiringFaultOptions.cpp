// Reading the simulator's options that wire its load wrongly.
#include "sim/WiringFaultOptions.h"

#include <cstdlib>

namespace kt::sim {

namespace {

// "A", "B" or "C" (either case) to 0, 1, 2; -1 for anything else.
int PhaseIndex(const std::string& text) {
  if (text.size() != 1) return -1;
  const char c = text[0];
  if (c >= 'A' && c <= 'C') return c - 'A';
  if (c >= 'a' && c <= 'c') return c - 'a';
  return -1;
}

}  // namespace

bool ParsePhase(const std::string& text, std::array<bool, 3>& phases) {
  const int p = PhaseIndex(text);
  if (p < 0) return false;
  phases[p] = true;
  return true;
}

bool ParsePhasePair(const std::string& text, WiringFaults& faults) {
  if (text.size() != 2) return false;
  const int first = PhaseIndex(text.substr(0, 1));
  const int second = PhaseIndex(text.substr(1, 1));
  if (first < 0 || second < 0 || first == second) return false;
  faults.swapFirst = first;
  faults.swapSecond = second;
  return true;
}

bool ParseDecimal(const std::string& text, double min, double max, double& out) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= min && value <= max)) return false;
  out = value;
  return true;
}

}  // namespace kt::sim
