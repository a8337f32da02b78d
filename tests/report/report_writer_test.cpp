// The report writer on hand-made blocks: escaping at its edges, the sections a report of one and
// of several meters has, the file's name, and a pipe nobody reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "report/HtmlText.h"
#include "report/ReportDocument.h"
#include "ui/MainDialogIds.h"

namespace kt::report {
namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(HtmlEscaped, EachCharacterJustInsideAndOutsideItsEdge) {
  const struct {
    std::string in, out;
  } kCases[] = {
      {"A<&\"'>b", "A&lt;&amp;&quot;&#39;&gt;b"},
      {"\t\n ~", "\t\n ~"},                                      // kept
      {std::string("\x1f\x7f", 2), "\xEF\xBF\xBD\xEF\xBF\xBD"},  // control characters
      {std::string("\0", 1), "\xEF\xBF\xBD"},
      {"配电柜 \xF0\x9F\x94\x8C", "配电柜 \xF0\x9F\x94\x8C"},    // 3- and 4-byte UTF-8
      {"\xC2\xA0", "\xC2\xA0"},                                  // lowest 2-byte lead
      {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong
      {"\xED\x9F\xBF", "\xED\x9F\xBF"},                          // last before the surrogates
      {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // a surrogate
      {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},                  // U+10FFFF
      {"\xF4\x90\x80\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // beyond it
      {"\xE4\xB8", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // cut short at the end
  };
  for (const auto& c : kCases) EXPECT_EQ(HtmlEscaped(c.in), c.out) << c.in;
}

values::MeasuredBlock Block(uint8_t address, double activePowerW) {
  using Q = values::Quantity;
  values::MeasuredBlock b;
  b.slaveAddress = address;
  b.ptRatio = 100;
  b.ctRatio = 40;
  for (int p = 0; p < 3; ++p) {
    b[values::kPhaseQuantities[p].voltage] = 22000;
    b[values::kPhaseQuantities[p].current] = 60;
    b[values::kPhaseQuantities[p].active] = activePowerW / 3;
    b[values::kPhaseQuantities[p].reactive] = activePowerW / 9;
    b[values::kPhaseQuantities[p].powerFactor] = 0.95;
  }
  b[Q::LineVoltageAB] = b[Q::LineVoltageBC] = b[Q::LineVoltageCA] = 38105;
  b[Q::TotalActivePower] = activePowerW;
  b[Q::TotalPowerFactor] = 0.95;
  b[Q::Frequency] = 50.0;
  return b;
}

const ReportTitle kTitle{"A<&\"'>站", "1# 柜", "张工 & 李工", {}};

TEST(ReportHtml, OneMeterTitleAndPageWithoutSummary) {
  const std::string html = ReportHtml({kTitle, {{"", {}, Block(7, 3.9e6), nullptr, "请求 5"}}});
  EXPECT_EQ(Count(html, "A&lt;&amp;&quot;&#39;&gt;站"), 2u);  // title block and page head
  EXPECT_EQ(html.find("A<&"), std::string::npos);
  EXPECT_NE(html.find("<th>运行平台</th><td>" KT7340_PLATFORM "</td>"), std::string::npos);
  EXPECT_EQ(Count(html, "<section class=\"meter\">"), 1u);
  EXPECT_EQ(Count(html, "class=\"summary\""), 0u);
  // 3.9 MW total, as the main dialog's unit choice writes it. (The limit status as the dialog
  // shows it, alarms in red: meter_report_test.)
  EXPECT_NE(html.find("data-box=\"" + std::to_string(ui::main_ids::kActivePowerTotalBox) +
                      "\">3.9000 MW<"),
            std::string::npos)
      << html;
  // Nothing from outside the file: no script, no link, no image; the only URL is SVG's name.
  for (const char* outside : {"<script", "<link", "<img", "src=", "href=", "url("}) {
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  }
  EXPECT_EQ(Count(html, "http"), Count(html, "xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_NE(html.find("无趋势数据"), std::string::npos);
}

TEST(ReportHtml, SeveralMetersSummaryFirstThenOnePageEach) {
  workbench::TrendStore trend(8);
  values::MeasuredBlock b = Block(3, 1200);
  for (int s = 0; s < 4; ++s) {
    b.time = std::chrono::system_clock::time_point(std::chrono::seconds(1000 + s));
    trend.Append(b);
  }
  const std::string html = ReportHtml(
      {kTitle, {{"进线 <1>", {}, Block(12, -500), nullptr, ""}, {"", {}, b, &trend, ""}}});
  const size_t summary = html.find("<section class=\"summary\">");
  ASSERT_NE(summary, std::string::npos);
  EXPECT_LT(summary, html.find("<section class=\"meter\">"));
  EXPECT_EQ(Count(html, "<section class=\"meter\">"), 2u);
  EXPECT_EQ(Count(html, "class=\"signature\""), 2u);
  // Summary rows: address, escaped name, verdict, P and PF as the main dialog writes them.
  EXPECT_NE(html.find("<tr><td>12</td><td>进线 &lt;1&gt;</td>"), std::string::npos);
  EXPECT_NE(html.find("<td>-500.0 W</td><td>0.9500</td></tr>"), std::string::npos) << html;
  EXPECT_NE(html.find("<tr><td>3</td><td>仪表 3</td>"), std::string::npos);
  // The trend: four charts for the meter with a store, each series of one run one line.
  EXPECT_EQ(Count(html, "<svg class=\"trend\""), 4u);
  EXPECT_EQ(Count(html, "<polyline"), 8u);
}

TEST(DefaultReportFileName, ForbiddenCharactersReplacedEmptySiteNamed) {
  using namespace std::chrono;
  ReportTitle title{"A/B:C*?\"<>|\\站\x01", "", "", {}};
  // Local midday of the day stays that day in any time zone people live in.
  title.made = system_clock::time_point(hours(24 * 20000 + 12));
  EXPECT_EQ(DefaultReportFileName(title), "报告-A_B_C_______站_-2024-10-04.html");
  title.site = "";
  EXPECT_EQ(DefaultReportFileName(title), "报告-现场-2024-10-04.html");
}

#ifndef _WIN32
// A pipe nobody reads is refused at once with its reason; opening it must not wait for a reader.
TEST(WriteReportFile, APipeNobodyReadsIsRefusedWithoutWaiting) {
  const std::filesystem::path fifo =
      std::filesystem::temp_directory_path() / ("report-pipe-" + std::to_string(::getpid()));
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  EXPECT_EQ(WriteReportFile(fifo.string(), "<html></html>"),
            "无法写入报告 " + fifo.string() + "：管道无人读取或设备不存在");
  std::filesystem::remove(fifo);
}
#endif

}  // namespace
}  // namespace kt::report
