// The report of simulated meters: `kt7340 --report`'s reading on a line with a reversed CT and
// a healthy meter, a meter that does not answer, an existing file; and the same file on every
// platform (tests/report/data/report-sample.html, written on Linux, byte for byte but for the
// platform line and the local time texts). (The values as the main dialog shows the same block:
// meter_report_test.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

#include "app/ReportCommand.h"
#include "modbus/Clock.h"
#include "report/ReportDocument.h"
#include "report/ReportSections.h"
#include "sim/SimulatedLine.h"
#include "values/LocalTimeText.h"

namespace kt {
namespace {

constexpr auto kNow = std::chrono::system_clock::time_point(std::chrono::hours(24 * 20600 + 12));
constexpr auto kMade = std::chrono::system_clock::time_point(std::chrono::seconds(1'780'000'000));

// A UTF-8 name as a path on every platform.
std::filesystem::path Utf8Path(const std::string& name) {
  return std::u8string(name.begin(), name.end());
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

sim::MeterConfig ReversedB(uint8_t address) {
  sim::MeterConfig meter;
  meter.address = address;
  meter.ptRatio = 100;
  meter.ctRatio = 40;
  meter.statusTrailer = true;
  meter.load.wiringFaults.reversedCt[1] = true;
  return meter;
}

struct ReportRun {
  int status;
  std::string out, err;
};

ReportRun RunReport(const app::ReportRequest& request, sim::SimulatedLine& line,
                    modbus::Clock& clock, std::chrono::system_clock::time_point now = kNow) {
  ReportRun run{};
  run.status = app::RunReport(
      request, line, clock, [now] { return now; }, run.out, run.err);
  return run;
}

// The text between `begin` (at or after `from`) and the next `end`; empty when there is none.
std::string Between(const std::string& text, const std::string& begin, const std::string& end,
                    size_t from = 0) {
  const size_t start = text.find(begin, from);
  if (start == std::string::npos) return "";
  const size_t stop = text.find(end, start + begin.size());
  return stop == std::string::npos ? ""
                                   : text.substr(start + begin.size(), stop - start - begin.size());
}

// The angle of the phasor drawn as `label`, from its line's ends in the SVG.
double DrawnAngle(const std::string& svg, const std::string& label) {
  const std::string line = Between(svg, "data-phasor=\"" + label + "\"", "/>");
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  EXPECT_EQ(
      std::sscanf(line.c_str(), " x1=\"%lf\" y1=\"%lf\" x2=\"%lf\" y2=\"%lf\"", &x1, &y1, &x2, &y2),
      4)
      << label << ": " << line;
  return std::atan2(y1 - y2, x2 - x1) * 180 / std::numbers::pi;  // SVG's y grows downwards
}

double AngleBetween(double a, double b) {
  return std::abs(std::remainder(a - b, 360.0));
}

TEST(ReportCommand, ReversedCtOfBNamedDrawnAndSummarised) {
  modbus::VirtualClock clock;
  const sim::MeterConfig faulty = ReversedB(5);
  sim::SimulatedLine line(clock, faulty);
  sim::MeterConfig healthy;
  healthy.address = 9;
  line.AddMeter(healthy);
  const auto path = std::filesystem::path(::testing::TempDir()) / "report-two-meters.html";
  app::ReportRequest request{1, {5, 9}, path.string(), "站", "柜", "工程师"};
  const ReportRun run = RunReport(request, line, clock);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, path.string() + "\n");
  const std::string html = FileText(path);

  const size_t second = html.find("<section class=\"meter\">", html.find("<h2>仪表 5"));
  ASSERT_NE(second, std::string::npos);
  const std::string first = html.substr(0, second);
  const std::string verdict = Between(first, "<p class=\"verdict\"", "</p>");
  EXPECT_NE(verdict.find("异常："), std::string::npos) << verdict;
  EXPECT_NE(verdict.find("B相电流互感器接反"), std::string::npos) << verdict;
  EXPECT_EQ(verdict.find("A相"), std::string::npos) << verdict;
  EXPECT_NE(first.find("异常</td><td>B相有功功率为负"), std::string::npos);
  EXPECT_NE(first.find("异常</td><td>各元件负载相角 18° / -162° / 18°"), std::string::npos);
  EXPECT_NE(first.find("B相电流互感器接反</td>"), std::string::npos);
  // The healthy meter's page and summary row say so.
  EXPECT_NE(html.find("正常：各项检查均正常</p>", second), std::string::npos);
  EXPECT_NE(html.find("<tr><td>9</td><td>仪表 9</td><td style=\"color:#1e9e2e\">正常"),
            std::string::npos);

  // Ib drawn opposite to where B's load puts it: U_B at -120° less φ, turned by 180°; Ia and Ic
  // where their load puts them.
  const double phi = std::acos(faulty.load.powerFactor) * 180 / std::numbers::pi;
  EXPECT_LT(AngleBetween(DrawnAngle(first, "Ib"), -120 - phi + 180), 1.0);
  EXPECT_LT(AngleBetween(DrawnAngle(first, "Ia"), -phi), 1.0);
  EXPECT_LT(AngleBetween(DrawnAngle(first, "Ic"), 120 - phi), 1.0);
  EXPECT_LT(AngleBetween(DrawnAngle(first, "Ub"), -120), 1.0);

  // Settings and link counters of what was read: configuration, class, four blocks.
  EXPECT_NE(first.find("<th>PT 变比</th><td>100</td>"), std::string::npos);
  EXPECT_NE(first.find("<th>CT 变比</th><td>40</td>"), std::string::npos);
  EXPECT_NE(first.find("<th>精度等级</th><td>0.5级</td>"), std::string::npos);
  EXPECT_NE(first.find("请求 6  应答 6  无应答 0  无效 0"), std::string::npos);
}

TEST(ReportCommand, MeterNotAnsweringWritesNothingAndSaysWhich) {
  modbus::VirtualClock clock;
  sim::SimulatedLine line(clock, ReversedB(1));
  const auto path = std::filesystem::path(::testing::TempDir()) / "report-missing.html";
  std::filesystem::remove(path);
  const ReportRun run =
      RunReport({.port = 1, .addresses = {1, 3}, .out = path.string()}, line, clock);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "地址 3 的仪表没有应答配置读取（无应答），未生成报告\n");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ReportCommand, DefaultNameNeverReplacesAnOldReport) {
  const auto folder = std::filesystem::path(::testing::TempDir()) / "report-default-name";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  const std::string old = "报告-1_2号站-2026-05-27.html";
  std::ofstream(Utf8Path(old)) << "earlier";
  modbus::VirtualClock clock;
  sim::SimulatedLine line(clock, ReversedB(1));
  const ReportRun run = RunReport({.port = 1, .addresses = {1}, .site = "1/2号站"}, line, clock);
  std::filesystem::current_path(previous);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "报告-1_2号站-2026-05-27-2.html\n");
  EXPECT_EQ(FileText(folder / Utf8Path(old)), "earlier");
  EXPECT_NE(FileText(folder / Utf8Path("报告-1_2号站-2026-05-27-2.html")).find("1/2号站"),
            std::string::npos);
}

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

TEST(ReportSameFile, AsLinuxWroteItButThePlatformLine) {
  modbus::VirtualClock clock;
  sim::MeterConfig first;
  first.address = 3;
  first.ptRatio = 350;
  first.ctRatio = 120;
  first.statusTrailer = true;
  first.load.wiringFaults.reversedCt[1] = true;
  sim::SimulatedLine line(clock, first);
  sim::MeterConfig second;
  second.address = 4;
  second.wiring = 2;
  second.load.wiringFaults.threeWireSite = true;
  second.accuracyClass = 1;
  line.AddMeter(second);
  const auto path = std::filesystem::path(::testing::TempDir()) / "report-same-file.html";
  app::ReportRequest request{1, {3, 4}, path.string(), "样例 <站>", "柜 & 1", "\"王工\""};
  const ReportRun run = RunReport(request, line, clock, kMade);
  ASSERT_EQ(run.status, 0) << run.err;

  std::string written = FileText(path);
  ReplaceAll(written, "<td>" KT7340_PLATFORM "</td>", "<td>PLATFORM</td>");
  ReplaceAll(written, report::ReportTimeText(kMade), "DATE TIME");
  ReplaceAll(written, values::LocalTimeText(kMade, values::TimeFields::Seconds), "TIME");
  std::ofstream(path.string() + ".normalised", std::ios::binary) << written;
  const std::string sample = FileText(KT7340_REPORT_SAMPLE);
  ASSERT_FALSE(sample.empty()) << KT7340_REPORT_SAMPLE;
  EXPECT_TRUE(written == sample) << "compare " << path.string() << ".normalised with "
                                 << KT7340_REPORT_SAMPLE;
}

}  // namespace
}  // namespace kt
