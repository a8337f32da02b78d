// The same blocks give the same file on every platform: the report of two simulated meters,
// read on the virtual clock at a fixed time, equals tests/report/data/report-sample.html (written
// on Linux) byte for byte but for the platform line and the local time texts, which the test
// puts in as its own system writes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ReportCommand.h"
#include "modbus/Clock.h"
#include "report/ReportSections.h"
#include "sim/SimulatedLine.h"
#include "ui/LocalTimeText.h"

namespace kt {
namespace {

constexpr auto kMade = std::chrono::system_clock::time_point(std::chrono::seconds(1'780'000'000));

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
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
  std::string out, err;
  ASSERT_EQ(app::RunReport(request, line, clock, [] { return kMade; }, out, err), 0) << err;

  std::string written = FileText(path);
  ReplaceAll(written, "<td>" KT7340_PLATFORM "</td>", "<td>PLATFORM</td>");
  ReplaceAll(written, report::ReportTimeText(kMade), "DATE TIME");
  ReplaceAll(written, ui::LocalTimeText(kMade, ui::TimeFields::Seconds), "TIME");
  std::ofstream(path.string() + ".normalised", std::ios::binary) << written;
  const std::string sample = FileText(KT7340_REPORT_SAMPLE);
  ASSERT_FALSE(sample.empty()) << KT7340_REPORT_SAMPLE;
  EXPECT_TRUE(written == sample) << "compare " << path.string() << ".normalised with "
                                 << KT7340_REPORT_SAMPLE;
}

}  // namespace
}  // namespace kt
