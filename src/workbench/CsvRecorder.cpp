// The CSV file for spreadsheets on Chinese Windows and on Linux: UTF-8 with BOM, CRLF, commas.
#include "workbench/CsvRecorder.h"

#include <array>

#include "values/LimitStatus.h"
#include "values/LocalTimeText.h"
#include "values/ValueText.h"
#include "workbench/TextFileForm.h"

namespace kt::workbench {
namespace {

// Column names with units, in the order of values::Quantity: the main dialog's words and units.
constexpr std::array<const char*, values::kQuantityCount> kValueColumns = {
    "A相电压(V)",         "CA线电压(V)",      "A相电流(A)",       "A相有功功率(W)",
    "A相功率因数",        "A相无功功率(Var)", "A相视在功率(VA)",  "B相电压(V)",
    "AB线电压(V)",        "B相电流(A)",       "B相有功功率(W)",   "B相功率因数",
    "B相无功功率(Var)",   "B相视在功率(VA)",  "C相电压(V)",       "BC线电压(V)",
    "C相电流(A)",         "C相有功功率(W)",   "C相功率因数",      "C相无功功率(Var)",
    "C相视在功率(VA)",    "零序电流(A)",      "合相电压(V)",      "合相电流(A)",
    "频率(Hz)",           "总有功功率(W)",    "总功率因数",       "总无功功率(Var)",
    "总视在功率(VA)",     "正向有功电能(Wh)", "负向有功电能(Wh)", "正向无功电能(Varh)",
    "负向无功电能(Varh)", "合相线电压(V)",
};

constexpr std::array<const char*, values::kStatusItems.size()> kStatusColumns = {
    "电压1状态", "电压2状态", "电压3状态", "电压4状态",
    "电流1状态", "电流2状态", "电流3状态", "电流4状态",
};

// The byte-order mark and the header row: what a file of this recorder starts with.
std::string FileHead() {
  std::string head(kByteOrderMark);
  head += CsvHeader();
  head += kLineEnd;
  return head;
}

// "name.csv", "name-2.csv", ... "name-999.csv": enough for years of unattended restarts.
constexpr int kMaxNumberedFiles = 999;
// A torn row is shorter than a row; the search for the last line end reads this much at a time.
constexpr size_t kTailChunkBytes = 4096;

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

std::string CsvRow(const values::MeasuredBlock& block) {
  std::string row = values::LocalTimeText(block.time, values::TimeFields::DateAndTime);
  row += ',';
  row += std::to_string(block.slaveAddress);
  for (size_t i = 0; i < values::kQuantityCount; ++i) {
    row += ',';
    row += values::ValueText(block, static_cast<values::Quantity>(i));
  }
  for (const values::StatusItem& item : values::kStatusItems) {
    row += ',';
    if (!block.status) continue;
    const uint8_t statusByte = item.isCurrent ? block.status->current : block.status->voltage;
    row += values::StatusText(item.isCurrent, values::StatusCode(statusByte, item.shift));
  }
  return row;
}

std::string NumberedPath(const std::string& path, int n) {
  // Windows' save dialog gives folders with backslashes.
  const size_t nameAt = path.find_last_of("/\\") + 1;  // 0 without a folder
  const size_t dot = path.find_last_of('.');
  const std::string number = std::string("-").append(std::to_string(n));
  // A dot that starts the name (".csv") or lies in a folder name is no extension.
  if (dot == std::string::npos || dot <= nameAt) return path + number;
  return path.substr(0, dot) + number + path.substr(dot);
}

CsvRecorder::CsvRecorder(std::unique_ptr<RecordFiles> files) : files_(std::move(files)) {}

std::string CsvRecorder::Start(const std::string& path,
                               std::chrono::steady_clock::time_point started) {
  Stop();
  asked_ = path;
  const std::string head = FileHead();
  for (int n = 1; n <= kMaxNumberedFiles; ++n) {
    const std::string candidate = n == 1 ? path : NumberedPath(path, n);
    OpenedRecordFile opened = files_->Open(candidate);
    // A file of another kind is left as it is; the next name is tried.
    if (!opened.file || opened.file->Size() == 0 || opened.file->Read(0, head.size()) == head) {
      return Begin(std::move(opened), candidate, started);
    }
  }
  path_ = path;
  return "无法记录到 " + path + "：编号文件名已用完";
}

std::string CsvRecorder::StartNote() const {
  std::string note;
  if (path_ != asked_) {
    note = asked_ + " 已有其他内容，未改动；记录" + (appended_ ? "追加到 " : "写入 ") + path_;
  } else if (appended_) {
    note = "记录追加在已有文件的末尾，原有内容保留";
  }
  if (tornCut_) note += "（已去掉末尾不完整的一行）";
  return note;
}

std::string CsvRecorder::Begin(OpenedRecordFile opened, const std::string& path,
                               std::chrono::steady_clock::time_point started) {
  failure_.clear();
  rows_ = 0;
  path_ = path;
  appended_ = false;
  tornCut_ = false;
  started_ = started;
  if (!opened.file) return opened.refusal;
  file_ = std::move(opened.file);
  complete_ = file_->Size();
  std::string reason;
  if (complete_ == 0) {
    const std::string head = FileHead();
    reason = file_->Append(head);
    if (reason.empty())
      complete_ = head.size();
    else
      file_->CutTo(0);
  } else {
    appended_ = true;
    reason = CutTornRow();
  }
  if (reason.empty()) return {};
  Stop();
  return "无法写入 " + path + "：" + reason;
}

std::string CsvRecorder::CutTornRow() {
  // The header's own line end is the last one a file of ours can lack rows after.
  const uint64_t floor = FileHead().size() - 1;
  uint64_t end = complete_;
  while (end > floor) {
    const uint64_t from = end - floor > kTailChunkBytes ? end - kTailChunkBytes : floor;
    const std::string chunk = file_->Read(from, static_cast<size_t>(end - from));
    if (chunk.size() != end - from) return "读取失败";
    const size_t lineEnd = chunk.find_last_of('\n');
    if (lineEnd != std::string::npos) {
      const uint64_t rowsEnd = from + lineEnd + 1;
      if (rowsEnd == complete_) return {};
      complete_ = rowsEnd;
      tornCut_ = true;
      return file_->CutTo(rowsEnd);
    }
    end = from;
  }
  return "读取失败";
}

void CsvRecorder::Write(const values::MeasuredBlock& block) {
  if (!Recording()) return;
  // A file removed or renamed away would take the rows with it, unseen.
  if (const std::string gone = file_->Gone(); !gone.empty()) {
    return Fail("记录已停止：" + path_ + " " + gone);
  }
  std::string row = CsvRow(block);
  row += kLineEnd;
  if (const std::string reason = file_->Append(row); !reason.empty()) {
    std::string message = "记录已停止：写入 " + path_ + " 失败（" + reason + "）";
    // A torn row would read as a number it never was.
    if (const std::string cut = file_->CutTo(complete_); !cut.empty()) {
      message += "，末行可能不完整（" + cut + "）";
    }
    return Fail(std::move(message));
  }
  complete_ += row.size();
  ++rows_;
}

void CsvRecorder::Fail(std::string message) {
  failure_ = std::move(message);
  Stop();
}

}  // namespace kt::workbench
