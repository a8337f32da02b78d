// The report's sections.
#include "report/ReportSections.h"

#include <cstdio>

#include "report/HtmlText.h"
#include "report/PhasorSvg.h"
#include "report/SvgFormat.h"
#include "report/TrendSvg.h"
#include "report/ValueTables.h"
#include "report/WiringSection.h"
#include "ui/FinderText.h"
#include "ui/MainDialogIds.h"
#include "ui/MainDialogLabels.h"
#include "values/LocalTimeText.h"
#include "workbench/PhasorDiagram.h"
#include "workbench/WorkbenchLook.h"

#ifndef KT7340_VERSION
#error "KT7340_VERSION comes from the project version in CMake"
#endif
#ifndef KT7340_PLATFORM
#error "KT7340_PLATFORM names the system the program was built for, in CMake"
#endif

namespace kt::report {
namespace {

constexpr char kNotRead[] = "未读到";

std::string Fact(const char* label, const std::string& escapedValue) {
  return "<tr><th>" + std::string(label) + "</th><td>" + escapedValue + "</td></tr>";
}

std::string AmpsText(double amps) {
  char text[32];
  std::snprintf(text, sizeof text, "%g A", amps);
  return text;
}

bool ThreeWire(uint8_t wiringMode) {
  const auto mode = static_cast<values::WiringMode>(wiringMode);
  return mode == values::WiringMode::ThreePhaseThreeWireUnbalanced ||
         mode == values::WiringMode::ThreePhaseThreeWireBalanced;
}

std::vector<workbench::CheckRow> CheckRows(const ReportMeter& meter) {
  return workbench::CheckWiring(meter.block, workbench::kWiringThresholds, meter.settings.nominalHz,
                                meter.settings.ctSecondaryA);
}

std::string SettingsTable(const ReportMeter& meter) {
  const MeterSettings& s = meter.settings;
  const values::MeasuredBlock& b = meter.block;
  std::string html = "<table class=\"facts settings\">";
  html += Fact("串口", HtmlEscaped(ui::PortText(s.portNumber) + "  " + ui::BaudText(s.baudRate) +
                                   "  " + ui::ParityText(s.parity)));
  html += Fact("子机地址", std::to_string(b.slaveAddress));
  html += Fact("接线方式", HtmlEscaped(ui::WiringText(b.wiringMode)));
  html += Fact("PT 变比", std::to_string(b.ptRatio));
  html += Fact("CT 变比", std::to_string(b.ctRatio));
  html += Fact(workbench::kCtSecondaryChoice.label, AmpsText(s.ctSecondaryA));
  html += Fact("精度等级", !s.accuracyKnown ? kNotRead : s.accuracyClass != 0 ? "0.2级" : "0.5级");
  html += Fact("数据时间", ReportTimeText(b.time));
  return html + "</table>";
}

std::string Figures(const ReportMeter& meter) {
  std::string html = "<div class=\"figures\"><div class=\"phasor-box\">" +
                     PhasorSvg(workbench::MakePhasorDiagram(meter.block)) + "<p class=\"note\">" +
                     workbench::kPhasorLegendLines + "</p></div>";
  const std::string trend =
      meter.trend != nullptr ? TrendSvg(*meter.trend, ThreeWire(meter.block.wiringMode)) : "";
  html += "<div class=\"trends\"><p class=\"caption\">最近 " + std::to_string(kTrendSpan.count()) +
          " 分钟趋势</p>" + (trend.empty() ? "<p class=\"note\">无趋势数据</p>" : trend) + "</div>";
  return html + "</div><p class=\"note\">" + workbench::kPhasorNote + "</p>";
}

}  // namespace

std::string ReportTimeText(std::chrono::system_clock::time_point t) {
  std::string text = values::LocalTimeText(t, values::TimeFields::DateAndTime).substr(0, 19);
  if (text.size() > 10) text[10] = ' ';
  return text;
}

std::string MeterName(const ReportMeter& meter) {
  return meter.name.empty() ? "仪表 " + std::to_string(meter.block.slaveAddress) : meter.name;
}

std::string TitleSection(const ReportTitle& title) {
  const auto pair = [](const char* label, const std::string& escapedValue) {
    return "<th>" + std::string(label) + "</th><td>" + escapedValue + "</td>";
  };
  std::string html = "<header class=\"title\"><h1>" + std::string(kReportTitle) + "</h1>";
  html += "<table class=\"facts\"><tr>" + pair("现场", HtmlEscaped(title.site)) +
          pair("配电柜", HtmlEscaped(title.panel)) + "</tr><tr>" +
          pair("检查人", HtmlEscaped(title.engineer)) +
          pair("日期时间", ReportTimeText(title.made)) + "</tr><tr>" +
          pair("程序版本", std::string("kt7340 ") + KT7340_VERSION) +
          pair("运行平台", KT7340_PLATFORM) + "</tr>";
  return html + "</table></header>";
}

std::string SummarySection(const std::vector<ReportMeter>& meters) {
  namespace ids = ui::main_ids;
  std::string html =
      "<section class=\"summary\"><h2>总览</h2><table class=\"summary\">"
      "<tr><th>地址</th><th>名称</th><th>接线结论</th><th>总有功功率</th>"
      "<th>总功率因数</th></tr>";
  for (const ReportMeter& meter : meters) {
    const OverallVerdict overall = Overall(CheckRows(meter));
    html += "<tr><td>" + std::to_string(meter.block.slaveAddress) + "</td><td>" +
            HtmlEscaped(MeterName(meter)) +
            "</td><td style=\"color:" + HexColour(workbench::VerdictColour(overall.verdict)) +
            "\">" + HtmlEscaped(overall.text) + "</td><td>" +
            HtmlEscaped(ShownText(meter.block, ids::kActivePowerTotalBox)) + "</td><td>" +
            HtmlEscaped(ShownText(meter.block, ids::kPowerFactorTotalBox)) + "</td></tr>";
  }
  return html + "</table></section>";
}

std::string MeterSection(const ReportTitle& title, const ReportMeter& meter) {
  std::string html = "<section class=\"meter\"><h2>" + HtmlEscaped(MeterName(meter)) +
                     "<span class=\"site\">" + HtmlEscaped(title.site) +
                     (title.panel.empty() ? "" : " / " + HtmlEscaped(title.panel)) + "</span></h2>";
  html += "<div class=\"columns\">" + SettingsTable(meter) + "<div class=\"measured\">" +
          ValueTables(meter.block) + LimitStatusTable(meter.block) + "</div></div>";
  html += WiringSection(CheckRows(meter));
  html += Figures(meter);
  html += "<p class=\"link\">通讯计数：" + HtmlEscaped(meter.linkCounters) + "</p>";
  return html + SignatureLine() + "</section>";
}

std::string SignatureLine() {
  return "<p class=\"signature\">检查人签字：<span class=\"blank\"></span>"
         "日期：<span class=\"blank\"></span>客户签字：<span class=\"blank\"></span></p>";
}

}  // namespace kt::report
