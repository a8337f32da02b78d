// The spool's memory and its file.
#include "service/Spool.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/FileOutput.h"

namespace kt::service {
namespace {

constexpr char kFieldSeparator = '\t';
constexpr char kRecordEnd = '\n';
// When full, drop until this part of the bound is free again.
constexpr uint64_t kFreedPart = 8;

std::string Record(const SpoolEntry& e) {
  std::string record = e.topic;
  record += kFieldSeparator;
  record += e.payload;
  record += kRecordEnd;
  return record;
}

}  // namespace

Spool::Spool(std::string path, uint64_t maxBytes) : path_(std::move(path)), maxBytes_(maxBytes) {}

size_t Spool::Load() {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return 0;
  std::ostringstream whole;
  whole << in.rdbuf();
  const std::string text = whole.str();
  size_t loaded = 0;
  size_t from = 0;
  // A last record without its line end was torn by a crash: it is left out.
  for (size_t end = text.find(kRecordEnd); end != std::string::npos;
       from = end + 1, end = text.find(kRecordEnd, from)) {
    const std::string_view record(text.data() + from, end - from);
    const size_t tab = record.find(kFieldSeparator);
    if (tab == std::string_view::npos || tab == 0) continue;
    SpoolEntry e{std::string(record.substr(0, tab)), std::string(record.substr(tab + 1))};
    bytes_ += SizeOf(e);
    entries_.push_back(std::move(e));
    ++loaded;
  }
  fileHolds_ = true;
  // The bound may have shrunk since; the file is made to match what is kept.
  size_t dropped = 0;
  while (bytes_ > maxBytes_ && !entries_.empty()) {
    bytes_ -= SizeOf(entries_.front());
    entries_.pop_front();
    ++dropped;
  }
  if (dropped > 0 || from != text.size()) Rewrite();
  return loaded - dropped;
}

size_t Spool::Push(SpoolEntry entry) {
  const uint64_t size = SizeOf(entry);
  size_t dropped = 0;
  if (bytes_ + size > maxBytes_) {
    const uint64_t target = maxBytes_ - maxBytes_ / kFreedPart;
    while (!entries_.empty() && bytes_ + size > target) {
      bytes_ -= SizeOf(entries_.front());
      entries_.pop_front();
      ++dropped;
    }
  }
  bytes_ += size;
  entries_.push_back(std::move(entry));
  if (dropped > 0 && fileHolds_) {
    Rewrite();
  } else if (onDisk_) {
    Append(entries_.back());
  }
  return dropped;
}

void Spool::PopFront(size_t count) {
  for (size_t i = 0; i < count && !entries_.empty(); ++i) {
    bytes_ -= SizeOf(entries_.front());
    entries_.pop_front();
  }
  if (entries_.empty() && fileHolds_) Rewrite();
}

void Spool::KeepOnDisk(bool keep) {
  if (keep == onDisk_) return;
  onDisk_ = keep;
  if (keep) Rewrite();
}

std::string Spool::Flush() {
  Rewrite();
  return failure_;
}

void Spool::Append(const SpoolEntry& e) {
  std::ofstream out(path_, std::ios::binary | std::ios::app);
  out << Record(e);
  out.flush();
  fileHolds_ = true;
  failure_ = out ? "" : platform::FileErrorReason(errno);
}

void Spool::Rewrite() {
  // Written beside and renamed over, so that a crash leaves the old file or the new one.
  const std::string temporary = path_ + ".new";
  {
    std::string all;
    for (const SpoolEntry& e : entries_) all += Record(e);
    const platform::OutputFile out(temporary);
    if (!out.IsOpen() || !out.Write(all)) {
      failure_ = platform::FileErrorReason(errno);
      return;
    }
  }
  if (std::rename(temporary.c_str(), path_.c_str()) != 0) {
    failure_ = platform::FileErrorReason(errno);
    return;
  }
  failure_.clear();
  fileHolds_ = !entries_.empty();
}

}  // namespace kt::service
