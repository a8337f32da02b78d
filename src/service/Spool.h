// The states waiting for the broker, in order, bounded, and kept on disk while the broker is away.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

namespace kt::service {

struct SpoolEntry {
  std::string topic;
  std::string payload;  // one line of JSON: no line end in it; empty: a retained topic removed
};

// Entries wait in memory in the order they came. While the file is kept (KeepOnDisk), each one
// is also appended to it as "topic<TAB>payload<LF>", so a stop or a crash loses none; once the
// spool is empty the file is emptied. When the entries would pass the bound, the oldest are
// dropped until an eighth of it is free again (so that a full spool does not rewrite its file
// at every new state), and the file is rewritten with what is left.
class Spool {
 public:
  Spool(std::string path, uint64_t maxBytes);

  // Takes the entries a file left by an earlier run holds (a torn last line cut off), oldest
  // first, before any new one; returns how many. A missing file is none.
  size_t Load();

  // Adds `entry` at the end; returns how many of the oldest were dropped to make room.
  size_t Push(SpoolEntry entry);
  // Removes the `count` oldest entries (those the broker took).
  void PopFront(size_t count);

  bool Empty() const { return entries_.empty(); }
  size_t Count() const { return entries_.size(); }
  const SpoolEntry& At(size_t i) const { return entries_[i]; }
  uint64_t Bytes() const { return bytes_; }

  // From now on every entry is on disk as well (the file rewritten with those in memory); false:
  // no longer (the file is left as it is until the spool empties).
  void KeepOnDisk(bool keep);
  bool OnDisk() const { return onDisk_; }
  // Writes what is in memory to the file, replacing it: the state to stop with. "" or the reason.
  std::string Flush();
  // The reason of the last failed file write, else "".
  const std::string& Failure() const { return failure_; }

 private:
  static uint64_t SizeOf(const SpoolEntry& e) { return e.topic.size() + e.payload.size() + 2; }
  void Append(const SpoolEntry& e);
  void Rewrite();

  std::string path_;
  uint64_t maxBytes_;
  std::deque<SpoolEntry> entries_;
  uint64_t bytes_ = 0;
  bool onDisk_ = false;
  bool fileHolds_ = false;  // the file may hold entries
  std::string failure_;
};

}  // namespace kt::service
