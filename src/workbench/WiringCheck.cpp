// Running the rule table over one block.
#include "workbench/WiringCheck.h"

#include <algorithm>

#include "workbench/WiringRules.h"

namespace kt::workbench {

const char* VerdictText(Verdict v) {
  switch (v) {
    case Verdict::Normal:
      return "正常";
    case Verdict::Note:
      return "注意";
    case Verdict::Fault:
      return "异常";
  }
  return "";
}

std::vector<CheckRow> CheckWiring(const values::MeasuredBlock& block,
                                  const WiringThresholds& limits, double nominalHz,
                                  double ctSecondaryA) {
  CheckContext context(block, limits, nominalHz, ctSecondaryA);
  PrepareContext(context);
  const bool anyLoaded =
      !context.judged.empty() ||
      std::find(context.loaded.begin(), context.loaded.end(), true) != context.loaded.end();
  const unsigned layout = 1u << static_cast<unsigned>(context.site.layout);
  for (const WiringRule& rule : WiringRules()) {
    if ((rule.layouts & layout) == 0) continue;
    if (rule.needsCurrent && !anyLoaded) {
      context.Add(rule.name, Verdict::Note, "电流太小，无法判断");
      continue;
    }
    rule.run(context, rule.name);
  }
  return std::move(context.rows);
}

}  // namespace kt::workbench
