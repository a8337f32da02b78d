// Texts of the wiring check.
#include "workbench/WiringText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace kt::workbench {

// As long as the text needs: a reading with its alternatives and checks runs to many lines, and a
// cut would split a character of UTF-8.
std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
  va_start(args, format);
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

std::string WithUnit(double value, const char* unit) {
  const double magnitude = std::abs(value);
  if (magnitude >= 1e6) return Printf("%.3f M%s", value / 1e6, unit);
  if (magnitude >= 1e4) return Printf("%.2f K%s", value / 1e3, unit);
  return Printf("%.1f %s", value, unit);
}

std::string Percent(double fraction) {
  return Printf("%.1f%%", 100.0 * fraction);
}

const char* PhaseName(int phase) {
  constexpr std::array<const char*, 3> kNames = {"A相", "B相", "C相"};
  return kNames[static_cast<std::size_t>(phase)];
}

std::string PhaseList(const std::vector<int>& phases) {
  std::string text;
  for (int p : phases) {
    if (!text.empty()) text += "、";
    text += static_cast<char>('A' + p);
  }
  return text + "相";
}

std::string DescribeFit(const CurrentFit& f, const std::vector<int>& judged) {
  std::vector<std::string> parts;
  std::vector<int> moved;  // voltage inputs with another phase's voltage
  for (int p = 0; p < 3; ++p)
    if (f.voltage[p] != p) moved.push_back(p);
  if (moved.size() == 2) parts.push_back(PhaseList(moved) + "电压线互换");
  if (moved.size() == 3) {
    parts.push_back(Printf("电压相序轮换（A、B、C相电压输入分别接入%c、%c、%c相电压）",
                           'A' + f.voltage[0], 'A' + f.voltage[1], 'A' + f.voltage[2]));
  }
  std::vector<int> displaced, reversed;
  for (int p : judged) {
    if (f.source[p] != p) displaced.push_back(p);
    if (f.reversed[p]) reversed.push_back(p);
  }
  if (!reversed.empty()) {
    parts.push_back(reversed.size() == judged.size() && judged.size() > 1
                        ? std::string("电流互感器全部接反")
                        : PhaseList(reversed) + "电流互感器接反");
  }
  // Two inputs that carry each other's current are a swap; three in a ring a rotation.
  if (displaced.size() == 2 && f.source[displaced[0]] == displaced[1] &&
      f.source[displaced[1]] == displaced[0]) {
    parts.push_back(PhaseList(displaced) + "电流互换");
  } else if (displaced.size() == 3) {
    parts.push_back(Printf("电流相序轮换（A、B、C相输入分别接入%c、%c、%c相电流）",
                           'A' + f.source[0], 'A' + f.source[1], 'A' + f.source[2]));
  } else {
    for (int p : displaced) {
      parts.push_back(Printf("%s输入接入了%c相电流", PhaseName(p), 'A' + f.source[p]));
    }
  }
  if (f.Export()) parts.push_back("功率倒送");
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "且") + part;
  return text;
}

}  // namespace kt::workbench
