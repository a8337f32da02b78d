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
  const fs::path html = folder / "report.html";
  fs::path pdf = folder / "report.pdf";
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

// A line of meters: the summary, then a page each; one meter: its page alone, with the title.
TEST_F(ReportInBrowser, SummaryThenOneA4PagePerMeter) {
  struct Page {
    const char* meter;  // nullptr: the summary
    const char* verdict;
  };
  struct Case {
    const char* name;
    std::vector<uint8_t> addresses;
    std::vector<Page> pages;
  };
  const Case cases[] = {
      {"bus",
       {5, 9, 17},
       {{nullptr, nullptr},
        {"仪表 5", "B相电流互感器接反"},
        {"仪表 9", "各项检查均正常"},
        {"仪表 17", "A、B相电流互换"}}},
      {"one", {5}, {{"仪表 5", "B相电流互感器接反"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path pdf = PrintedReport(c.name, c.addresses);
    const std::string info = Output("pdfinfo '" + pdf.string() + "'");
    EXPECT_TRUE(Has(info, "Pages:           " + std::to_string(c.pages.size()))) << info;
    EXPECT_TRUE(Has(info, "(A4)")) << info;
    EXPECT_TRUE(Has(PageText(pdf, 1), "电能表接线检查报告"));
    for (size_t i = 0; i < c.pages.size(); ++i) {
      const std::string text = PageText(pdf, static_cast<int>(i + 1));
      if (c.pages[i].meter != nullptr) {
        ExpectMeterPage(text, c.pages[i].meter, c.pages[i].verdict);
        continue;
      }
      for (const char* part : {"总览", "仪表 5", "仪表 9", "仪表 17", "运行平台"}) {
        EXPECT_TRUE(Has(text, part)) << part << "\n" << text;
      }
      EXPECT_FALSE(Has(text, "客户签字")) << text;
    }
  }
}

}  // namespace
}  // namespace kt
