// The save dialogs' questions, the same on every front end.
#include "workbench/SaveQuestions.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "values/LocalTimeText.h"

namespace kt::workbench {
namespace {

std::filesystem::path Utf8Path(const std::string& utf8) {
  return std::u8string(utf8.begin(), utf8.end());
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace

std::string FileStamp(std::chrono::system_clock::time_point t) {
  // "2026-01-02T04:31:24.005" without its separators and milliseconds.
  const std::string full = values::LocalTimeText(t, values::TimeFields::DateAndTime);
  std::string stamp;
  for (const char c : full.substr(0, full.find('.'))) {
    if (c == 'T') {
      stamp += '-';
    } else if (c != '-' && c != ':') {
      stamp += c;
    }
  }
  return stamp;
}

SaveQuestion RecordingQuestion(std::chrono::system_clock::time_point now) {
  return {"开始记录", "kt7340-" + FileStamp(now) + ".csv", "CSV 文件 (*.csv)", "csv", false};
}

SaveQuestion LogSaveQuestion(std::chrono::system_clock::time_point now) {
  return {"保存报文", "kt7340-报文-" + FileStamp(now) + ".txt", "文本文件 (*.txt)", "txt", true};
}

SaveQuestion ExportQuestion(std::chrono::system_clock::time_point now) {
  return {"导出图片", "趋势-" + FileStamp(now) + ".png", "PNG 图片 (*.png)", "png", true, true};
}

std::string ExportFailureText(const std::string& path) {
  return "无法保存图片：" + path;
}

std::string ExistingFolder(const std::string& folder) {
  std::error_code ignored;
  return !folder.empty() && std::filesystem::is_directory(Utf8Path(folder), ignored) ? folder : "";
}

std::string WithExtension(const SaveQuestion& question, std::string path) {
  std::string extension = Utf8Of(Utf8Path(path).extension());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension != "." + question.extension) path += "." + question.extension;
  return path;
}

std::string WithDefaultExtension(const SaveQuestion& question, std::string path) {
  if (!path.empty() && !Utf8Path(path).has_extension()) path += "." + question.extension;
  return path;
}

std::string CompletedPath(const SaveQuestion& question, const std::string& chosen) {
  return question.alwaysOwnExtension ? WithExtension(question, chosen)
                                     : WithDefaultExtension(question, chosen);
}

bool AsksAgainBeforeOverwriting(const SaveQuestion& question, const std::string& chosen,
                                const std::string& completed) {
  std::error_code ignored;
  return question.asksBeforeOverwriting && completed != chosen &&
         std::filesystem::exists(Utf8Path(completed), ignored);
}

std::string OverwriteQuestionText(const std::string& path) {
  return "文件已存在：" + path + "\n要替换它吗？";
}

std::string FolderOf(const std::string& path) {
  return Utf8Of(Utf8Path(path).parent_path());
}

}  // namespace kt::workbench
