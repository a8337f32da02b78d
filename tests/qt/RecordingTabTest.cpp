// The tab "记录": the file named as given, byte for byte, a failure shown when it happens, and
// what was made of an existing file.
#include <gtest/gtest.h>

#include <QLabel>
#include <filesystem>
#include <string>

#include "qt/workbench/RecordingTab.h"
#include "values/MeasuredBlock.h"

namespace kt::ui::qt {
namespace {

namespace fs = std::filesystem;

QString Label(const RecordingTab& tab, const char* name) {
  return tab.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

TEST(RecordingTab, RecordsToTheEnvironmentsBytesAndShowsAVanishedFile) {
  const fs::path dir = fs::path(::testing::TempDir()) / "recording_tab_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  // A name in Latin-1, as a shell under another locale may hand it over: no UTF-8.
  const std::string path = dir.string() + "/rec-\xE9t\xE9.csv";
  workbench::RecordingModel recording(workbench::SystemRecordFiles());
  RecordingTab tab(recording);
  ASSERT_EQ(tab.StartRecording(path), QString());
  recording.Write(values::MeasuredBlock{});
  tab.Refresh();
  EXPECT_TRUE(fs::exists(fs::path(path)));
  EXPECT_EQ(fs::directory_iterator(dir)->path().filename().string(), "rec-\xE9t\xE9.csv");
  EXPECT_EQ(Label(tab, "recordRows"), QStringLiteral("1"));

  fs::remove(fs::path(path));
  recording.Write(values::MeasuredBlock{});
  tab.Refresh();
  EXPECT_EQ(Label(tab, "recordRows"), QStringLiteral("1"));
  EXPECT_TRUE(Label(tab, "recordMessage").startsWith(QStringLiteral("记录已停止：")));
  EXPECT_TRUE(Label(tab, "recordMessage").endsWith(QStringLiteral(" 已被删除")));

  // A name from the file dialog is encoded for the file system, here UTF-8.
  const QString chosen = QString::fromStdString(dir.string()) + QStringLiteral("/记录.csv");
  ASSERT_EQ(tab.StartRecording(chosen), QString());
  EXPECT_TRUE(fs::exists(dir / "记录.csv"));
  EXPECT_EQ(Label(tab, "recordFile"), chosen);
  EXPECT_EQ(Label(tab, "recordMessage"), QString());

  // Chosen again: the tab says the rows go after the file's own, which stay.
  recording.Write(values::MeasuredBlock{});
  const auto before = fs::file_size(dir / "记录.csv");
  ASSERT_EQ(tab.StartRecording(chosen), QString());
  recording.Write(values::MeasuredBlock{});
  EXPECT_GT(fs::file_size(dir / "记录.csv"), before);
  EXPECT_EQ(Label(tab, "recordMessage"), QStringLiteral("记录追加在已有文件的末尾，原有内容保留"));
}

}  // namespace
}  // namespace kt::ui::qt
