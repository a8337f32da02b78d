// The report as a real browser prints it: headless Chromium makes a PDF of the file that
// `kt7340 --report`'s reading writes, and pdftotext reads each page back. One A4 page for a
// single meter; for a line of meters the summary, then one page per meter, each whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ReportCommand.h"
#include "modbus/Clock.h"
#include "sim/SimulatedLine.h"

namespace kt {
namespace {

namespace fs = std::filesystem;

std::string Output(const std::string& command) {
  std::string text;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Prints the report of the meters at `addresses` (5 with B's CT reversed; 17 with the longest
// page, A's and B's currents swapped, unbalanced and distorted; the others healthy)
// to PDF; the PDF's path.
fs::path PrintedReport(const std::string& name, const std::vector<uint8_t>& addresses) {
  const fs::path folder = fs::path(::testing::TempDir()) / ("report-browser-" + name);
  fs::remove_all(folder);
  modbus::VirtualClock clock;
  sim::MeterConfig faulty;
  faulty.address = 5;
  faulty.load.wiringFaults.reversedCt[1] = true;
  sim::SimulatedLine line(clock, faulty);
  for (uint8_t a : addresses) {
    sim::MeterConfig healthy;
    healthy.address = a;
    healthy.seed = a;
    if (a == 17) {
      healthy.load.wiringFaults.swapFirst = 0;
      healthy.load.wiringFaults.swapSecond = 1;
      healthy.load.wiringFaults.thirdHarmonicPercent = 60;
      healthy.load.wiringFaults.unbalancePercent = 30;
    }
    if (a != faulty.address) line.AddMeter(healthy);
  }
  fs::create_directories(folder);
  const fs::path html = folder / "report.html", pdf = folder / "report.pdf";
  std::string out, err;
  EXPECT_EQ(app::RunReport({1, addresses, html.string(), "城东变电站 <A&B>", "2号进线柜"}, line,
                           clock, std::chrono::system_clock::now, out, err),
            0)
      << err;
  const std::string command =
      "timeout 90 chromium --headless --no-sandbox --disable-gpu "
      "--no-pdf-header-footer --user-data-dir='" +
      (folder / "profile").string() + "' --print-to-pdf='" + pdf.string() + "' 'file://" +
      html.string() + "' >/dev/null 2>&1 </dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return pdf;
}

std::string PageText(const fs::path& pdf, int page) {
  return Output("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) +
                " '" + pdf.string() + "' -");
}

class ReportInBrowser : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v chromium >/dev/null 2>&1") != 0) {
      GTEST_SKIP() << "chromium is not installed (scripts/deps/report.txt)";
    }
  }
};

// A meter's page whole on one sheet: its head, values, verdict, the phasor's labels (SVG text),
// the trend charts and, last on the page, the signature line.
void ExpectMeterPage(const std::string& text, const std::string& meter, const char* verdict) {
  EXPECT_TRUE(Has(text, meter)) << text;
  EXPECT_TRUE(Has(text, "城东变电站 <A&B>")) << text;
  EXPECT_TRUE(Has(text, "C相/BC线")) << text;
  EXPECT_TRUE(Has(text, verdict)) << text;
  for (const char* label : {"Ua", "Ib", "Ic", "总功率因数", "通讯计数", "客户签字"}) {
    EXPECT_TRUE(Has(text, label)) << label << "\n" << text;
  }
}

TEST_F(ReportInBrowser, SummaryThenOneA4PagePerMeter) {
  const fs::path pdf = PrintedReport("bus", {5, 9, 17});
  const std::string info = Output("pdfinfo '" + pdf.string() + "'");
  EXPECT_TRUE(Has(info, "Pages:           4")) << info;
  EXPECT_TRUE(Has(info, "(A4)")) << info;
  const std::string summary = PageText(pdf, 1);
  for (const char* part :
       {"电能表接线检查报告", "总览", "仪表 5", "仪表 9", "仪表 17", "运行平台"}) {
    EXPECT_TRUE(Has(summary, part)) << part << "\n" << summary;
  }
  EXPECT_FALSE(Has(summary, "客户签字")) << summary;
  ExpectMeterPage(PageText(pdf, 2), "仪表 5", "B相电流互感器接反");
  ExpectMeterPage(PageText(pdf, 3), "仪表 9", "各项检查均正常");
  ExpectMeterPage(PageText(pdf, 4), "仪表 17", "A、B相电流互换");
}

TEST_F(ReportInBrowser, OneMeterWithItsTitleOnOnePage) {
  const fs::path pdf = PrintedReport("one", {5});
  EXPECT_TRUE(Has(Output("pdfinfo '" + pdf.string() + "'"), "Pages:           1"));
  const std::string text = PageText(pdf, 1);
  EXPECT_TRUE(Has(text, "电能表接线检查报告")) << text;
  ExpectMeterPage(text, "仪表 5", "B相电流互感器接反");
}

}  // namespace
}  // namespace kt
