// The CSV file for spreadsheets on Chinese Windows and on Linux: UTF-8 with BOM, CRLF, commas.
#include "workbench/CsvRecorder.h"

#include <array>
#include <cerrno>
#include <charconv>

#include "measure/LimitStatus.h"
#include "ui/LocalTimeText.h"
#include "workbench/FileOutput.h"

namespace kt::workbench {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

// Column names with units, in the order of measure::Quantity.
constexpr std::array<const char*, measure::kQuantityCount> kValueColumns = {
    "A相电压(V)",         "CA线电压(V)",      "A相电流(A)",       "A相有功功率(W)",
    "A相功率因数",        "A相无功功率(var)", "A相视在功率(VA)",  "B相电压(V)",
    "AB线电压(V)",        "B相电流(A)",       "B相有功功率(W)",   "B相功率因数",
    "B相无功功率(var)",   "B相视在功率(VA)",  "C相电压(V)",       "BC线电压(V)",
    "C相电流(A)",         "C相有功功率(W)",   "C相功率因数",      "C相无功功率(var)",
    "C相视在功率(VA)",    "零序电流(A)",      "合相电压(V)",      "合相电流(A)",
    "频率(Hz)",           "总有功功率(W)",    "总功率因数",       "总无功功率(var)",
    "总视在功率(VA)",     "正向有功电能(Wh)", "反向有功电能(Wh)", "正向无功电能(varh)",
    "反向无功电能(varh)", "合相线电压(V)",
};

constexpr std::array<const char*, measure::kStatusItems.size()> kStatusColumns = {
    "电压1状态", "电压2状态", "电压3状态", "电压4状态",
    "电流1状态", "电流2状态", "电流3状态", "电流4状态",
};

void AppendNumber(std::string& row, double value) {
  char text[32];
  const auto result = std::to_chars(std::begin(text), std::end(text), value);
  row.append(text, result.ptr);
}

}  // namespace

std::string CsvHeader() {
  std::string header = "时间,子机地址";
  for (const char* name : kValueColumns) {
    header += ',';
    header += name;
  }
  for (const char* name : kStatusColumns) {
    header += ',';
    header += name;
  }
  return header;
}

std::string CsvRow(const measure::MeasuredBlock& block) {
  std::string row = ui::LocalTimeText(block.time, ui::TimeFields::DateAndTime);
  row += ',';
  row += std::to_string(block.slaveAddress);
  for (const double value : block.values) {
    row += ',';
    AppendNumber(row, value);
  }
  for (const measure::StatusItem& item : measure::kStatusItems) {
    row += ',';
    if (!block.status) continue;
    const uint8_t statusByte = item.isCurrent ? block.status->current : block.status->voltage;
    row += measure::StatusText(item.isCurrent, measure::StatusCode(statusByte, item.shift));
  }
  return row;
}

std::string CsvRecorder::Start(const std::string& path,
                               std::chrono::steady_clock::time_point started) {
  Stop();
  failure_.clear();
  rows_ = 0;
  path_ = path;
  started_ = started;
  serial::UniqueFd fd(CreateOutputFile(path));
  if (fd.get() < 0) return "无法创建 " + path + "：" + FileErrorReason(errno);
  std::string head(kByteOrderMark);
  head += CsvHeader();
  head += kLineEnd;
  if (!WriteAll(fd.get(), head)) return "无法写入 " + path + "：" + FileErrorReason(errno);
  fd_ = std::move(fd);
  return {};
}

void CsvRecorder::Write(const measure::MeasuredBlock& block) {
  if (!Recording()) return;
  std::string row = CsvRow(block);
  row += kLineEnd;
  if (WriteAll(fd_.get(), row)) {
    ++rows_;
    return;
  }
  failure_ = "记录已停止：写入 " + path_ + " 失败（" + FileErrorReason(errno) + "）";
  Stop();
}

}  // namespace kt::workbench
