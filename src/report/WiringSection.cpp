// The wiring check's rows and verdict as HTML.
#include "report/WiringSection.h"

#include "report/HtmlText.h"
#include "report/SvgFormat.h"
#include "workbench/WorkbenchLook.h"

namespace kt::report {
namespace {

std::string Coloured(workbench::Verdict verdict) {
  return " style=\"color:" + HexColour(workbench::VerdictColour(verdict)) + "\"";
}

}  // namespace

OverallVerdict Overall(const std::vector<workbench::CheckRow>& rows) {
  OverallVerdict overall;
  for (const workbench::CheckRow& row : rows) {
    if (row.verdict > overall.verdict) overall.verdict = row.verdict;
  }
  std::string what;
  if (overall.verdict != workbench::Verdict::Normal) {
    for (const workbench::CheckRow& row : rows) {
      if (row.verdict == overall.verdict) what += (what.empty() ? "" : "；") + row.message;
    }
  } else {
    what = "各项检查均正常";
  }
  overall.text = std::string(workbench::VerdictText(overall.verdict)) + "：" + what;
  return overall;
}

std::string WiringSection(const std::vector<workbench::CheckRow>& rows) {
  const OverallVerdict overall = Overall(rows);
  std::string html = "<p class=\"verdict\"" + Coloured(overall.verdict) + "><b>接线结论：</b>" +
                     HtmlEscaped(overall.text) + "</p>";
  html += "<table class=\"check\"><tr>";
  for (const char* column : workbench::kWiringColumns)
    html += "<th>" + std::string(column) + "</th>";
  html += "</tr>";
  for (const workbench::CheckRow& row : rows) {
    html += "<tr><td>" + HtmlEscaped(row.name) + "</td><td class=\"mark\"" + Coloured(row.verdict) +
            ">" + workbench::VerdictText(row.verdict) + "</td><td>" + HtmlEscaped(row.message) +
            "</td></tr>";
  }
  return html + "</table>";
}

}  // namespace kt::report
