// The spool: order kept across a restart, the bound, a torn last record, the file emptied.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "service/Spool.h"

namespace kt::service {
namespace {

namespace fs = std::filesystem;

class SpoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("kt_spool_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path() const { return (folder_ / "states.spool").string(); }
  // Entries of unequal sizes, numbered in their payloads.
  static SpoolEntry Nth(int n) {
    if (n % 7 == 6) return {"kt/l/" + std::to_string(n) + "/availability", ""};  // a removal
    return {"kt/l/" + std::to_string(n % 3 + 1) + "/state",
            "{\"n\":" + std::to_string(n) + std::string(static_cast<size_t>(n % 5), ' ') + "}"};
  }
  static std::vector<std::string> Payloads(const Spool& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.Count(); ++i) out.push_back(s.At(i).payload);
    return out;
  }
  fs::path folder_;
};

TEST_F(SpoolTest, EntriesOnDiskComeBackInOrderAfterARestart) {
  std::vector<std::string> sent;
  {
    Spool spool(Path(), 1 << 20);
    spool.KeepOnDisk(true);
    for (int n = 0; n < 50; ++n) spool.Push(Nth(n));
    spool.PopFront(10);  // acknowledged: gone from memory, still in the appended file
    sent = Payloads(spool);
    ASSERT_EQ(spool.Flush(), "");
  }
  Spool again(Path(), 1 << 20);
  EXPECT_EQ(again.Load(), 40u);
  EXPECT_EQ(Payloads(again), sent);
  EXPECT_EQ(again.At(0).topic, Nth(10).topic);
}

TEST_F(SpoolTest, ACrashLosesOnlyTheTornLastRecord) {
  {
    Spool spool(Path(), 1 << 20);
    spool.KeepOnDisk(true);  // appended one by one, never flushed
    for (int n = 0; n < 5; ++n) spool.Push(Nth(n));
  }
  std::ofstream(Path(), std::ios::app) << "kt/l/1/state\t{\"n\":";  // torn
  Spool again(Path(), 1 << 20);
  EXPECT_EQ(again.Load(), 5u);
  EXPECT_EQ(again.At(4).payload, Nth(4).payload);
  again.Push(Nth(5));
  EXPECT_EQ(again.Flush(), "");
  Spool third(Path(), 1 << 20);
  EXPECT_EQ(third.Load(), 6u);  // the torn tail did not glue itself to the next record
}

TEST_F(SpoolTest, TheOldestGoFirstWhenTheBoundIsReached) {
  // Bound of 10 of the largest records; each push that would pass it frees an eighth.
  const uint64_t record = Nth(199).topic.size() + Nth(199).payload.size() + 2;  // the largest
  Spool spool(Path(), 10 * record);
  spool.KeepOnDisk(true);
  size_t dropped = 0;
  for (int n = 0; n < 200; ++n) {
    dropped += spool.Push(Nth(n));
    ASSERT_LE(spool.Bytes(), 10 * record) << n;
  }
  EXPECT_EQ(dropped + spool.Count(), 200u);
  EXPECT_GT(dropped, 180u);
  // What is left is the newest, in order, with no gap.
  const auto left = Payloads(spool);
  for (size_t i = 0; i < left.size(); ++i) {
    EXPECT_EQ(left[i], Nth(static_cast<int>(200 - left.size() + i)).payload);
  }
  Spool again(Path(), 10 * record);
  EXPECT_EQ(again.Load(), left.size());
  EXPECT_EQ(Payloads(again), left);
  // A smaller bound at the next start keeps the newest that fit.
  Spool smaller(Path(), 3 * record);
  EXPECT_EQ(smaller.Load(), 3u);
  EXPECT_EQ(smaller.At(2).payload, left.back());
}

TEST_F(SpoolTest, EmptiedSpoolEmptiesItsFileAndKeepsNothingWhenNotAsked) {
  Spool spool(Path(), 1 << 20);
  spool.KeepOnDisk(true);
  spool.Push(Nth(1));
  spool.Push(Nth(2));
  EXPECT_GT(fs::file_size(Path()), 0u);
  spool.PopFront(2);
  EXPECT_EQ(fs::file_size(Path()), 0u);
  spool.KeepOnDisk(false);
  spool.Push(Nth(3));  // the broker is there: memory only
  EXPECT_EQ(fs::file_size(Path()), 0u);
  spool.KeepOnDisk(true);  // it went away: what waits is written
  Spool again(Path(), 1 << 20);
  EXPECT_EQ(again.Load(), 1u);
}

}  // namespace
}  // namespace kt::service
