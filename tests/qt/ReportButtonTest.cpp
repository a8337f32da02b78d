// "生成报告…" on the workbench's wiring tab: the remembered title offered, the file written where
// the save dialog said and opened; a file that cannot be written told with its reason.
#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <filesystem>

#include "MainDialogHarness.h"
#include "qt/workbench/QtWorkbenchSettings.h"
#include "qt/workbench/WorkbenchWindow.h"
#include "report/MeterReport.h"

namespace kt::ui::qt::test {
namespace {

TEST(ReportButton, WritesTheMeterReportWhereTheSaveDialogSaysAndOpensIt) {
  QSettings().setValue(workbench::kReportSiteKey, QStringLiteral("旧站"));
  QSettings().setValue(workbench::kReportEngineerKey, QStringLiteral("张工"));
  QSettings().remove(QtWorkbenchSettings::kExportFolderKey);
  sim::MeterConfig meter;
  meter.address = 12;
  meter.statusTrailer = true;
  meter.load.wiringFaults.reversedCt[0] = true;
  testing::MainDialogHarness program(testing::SimulatedMeter(meter));
  WorkbenchWindow window;
  window.Attach(program.Dlg());
  auto* button = window.findChild<QPushButton*>(QStringLiteral("makeReport"));
  ASSERT_NE(button, nullptr);

  const auto folder = std::filesystem::path(::testing::TempDir()) / "report-button";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  report::ReportTitle offered;
  std::string suggested;
  std::vector<std::string> opened;
  std::vector<std::string> told;
  std::string chosen = (folder / "meter").string();  // ".html" is added
  report::ReportFrontEnd& front = window.Reports().front;
  front.askTitle = [&](report::ReportTitle& title) {
    offered = title;
    title.site = "3号站 <东>";
    return true;
  };
  front.askPath = [&](const workbench::SaveQuestion& question, const std::string& start) {
    suggested = start + "|" + question.suggestedName;
    return chosen;
  };
  front.open = [&](const std::string& path) { opened.push_back(path); };
  front.tell = [&](const std::string& text) { told.push_back(text); };

  // No block yet: told so, nothing asked.
  QTest::mouseClick(button, Qt::LeftButton);
  ASSERT_EQ(told.size(), 1U);
  EXPECT_EQ(told[0], report::kNoBlockForReport);
  EXPECT_EQ(offered.engineer, "");

  ASSERT_TRUE(program.PollUntil(3));
  ASSERT_TRUE(program.MeasurementsFlow());
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(offered.site, "旧站");
  EXPECT_EQ(offered.engineer, "张工");
  // No folder remembered yet: the user's own.
  EXPECT_EQ(suggested, "|报告-3号站 _东_-" +
                           QDate::currentDate().toString(Qt::ISODate).toStdString() + ".html");
  ASSERT_EQ(opened, std::vector<std::string>{chosen + ".html"});
  QFile file(QString::fromStdString((folder / "meter.html").string()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const std::string html = file.readAll().toStdString();
  EXPECT_NE(html.find("3号站 &lt;东&gt;"), std::string::npos);
  EXPECT_EQ(QSettings().value(workbench::kReportSiteKey).toString(), QStringLiteral("3号站 <东>"));
  EXPECT_EQ(QSettings().value(QtWorkbenchSettings::kExportFolderKey).toString().toStdString(),
            folder.string());

  // The next starts there. A folder that is not there: the reason told, nothing opened.
  chosen = (folder / "missing" / "r.html").string();
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(suggested.substr(0, suggested.find('|')), folder.string());
  ASSERT_EQ(told.size(), 2U);
  EXPECT_EQ(told[1].rfind("无法写入报告", 0), 0U) << told[1];
  EXPECT_EQ(opened.size(), 1U);
}

}  // namespace
}  // namespace kt::ui::qt::test
