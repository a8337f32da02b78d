// The day's file and the days kept.
#include "service/DailyCsv.h"

#include <filesystem>
#include <system_error>

#include "values/LocalTimeText.h"

namespace kt::service {
namespace {

// "YYYY-MM-DD" of the local date: the first ten characters of the recorder's time text.
constexpr size_t kDateLength = 10;
constexpr std::string_view kExtension = ".csv";

std::string LocalDate(std::chrono::system_clock::time_point t) {
  return values::LocalTimeText(t, values::TimeFields::DateAndTime).substr(0, kDateLength);
}

}  // namespace

std::string DailyCsvName(const std::string& line, std::chrono::system_clock::time_point t) {
  return line + "-" + LocalDate(t) + std::string(kExtension);
}

DailyCsv::DailyCsv(std::string folder, std::string line, int keepDays, Log log)
    : folder_(std::move(folder)),
      line_(std::move(line)),
      keepDays_(keepDays),
      log_(std::move(log)) {}

void DailyCsv::Write(const values::MeasuredBlock& block) {
  // A file moved or removed away stops the recorder before the row is written: the row then
  // starts the file again, once.
  if (!WriteOnce(block)) WriteOnce(block);
}

bool DailyCsv::WriteOnce(const values::MeasuredBlock& block) {
  const std::string name = DailyCsvName(line_, block.time);
  if (name != name_ || !recorder_.Recording()) {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored);
    const std::string failure = recorder_.Start(folder_ + "/" + name);
    if (!failure.empty()) {
      if (failure != lastFailure_) log_(LogLevel::Error, "CSV：" + failure);
      lastFailure_ = failure;
      return true;
    }
    if (const std::string note = recorder_.StartNote(); !note.empty()) {
      log_(LogLevel::Info, "CSV：" + recorder_.Path() + "：" + note);
    } else if (!lastFailure_.empty()) {
      log_(LogLevel::Info, "CSV：重新开始记录 " + recorder_.Path());
    }
    lastFailure_.clear();
    if (name != name_) RemoveOld(block.time);
    name_ = name;
  }
  recorder_.Write(block);
  if (recorder_.Recording()) return true;
  if (recorder_.Failure() != lastFailure_) {
    lastFailure_ = recorder_.Failure();
    log_(LogLevel::Error, "CSV：" + lastFailure_);
  }
  return false;
}

void DailyCsv::RemoveOld(std::chrono::system_clock::time_point t) {
  // The first day kept: today and the keepDays - 1 before it. Names compare as dates do.
  const std::string oldestKept = DailyCsvName(line_, t - std::chrono::days(keepDays_ - 1));
  const std::string prefix = line_ + "-";
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    const std::string name = entry.path().filename().string();
    // Only this line's daily files: the prefix, a date, the extension.
    if (name.size() != prefix.size() + kDateLength + kExtension.size() ||
        !name.starts_with(prefix) || !name.ends_with(kExtension) || name >= oldestKept) {
      continue;
    }
    const std::string date = name.substr(prefix.size(), kDateLength);
    if (date[4] != '-' || date[7] != '-') continue;
    std::error_code removeError;
    if (std::filesystem::remove(entry.path(), removeError)) {
      log_(LogLevel::Info, "CSV：已删除过期文件 " + entry.path().string());
    }
  }
}

}  // namespace kt::service
