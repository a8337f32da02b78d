// kt::platform::UniqueFd: the one owner of a descriptor closes it exactly once, wherever ownership
// went.
#include "platform/posix/UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <utility>

using kt::platform::UniqueFd;

namespace {

bool IsOpen(int fd) {
  return fcntl(fd, F_GETFD) != -1;
}

// A fresh descriptor (the read end of a pipe; the write end is closed at once).
int FreshFd() {
  int ends[2] = {-1, -1};
  EXPECT_EQ(pipe(ends), 0);
  close(ends[1]);
  return ends[0];
}

}  // namespace

TEST(UniqueFd, ClosesOnDestructionAndOnReset) {
  const int a = FreshFd();
  {
    kt::platform::UniqueFd owner(a);
    EXPECT_TRUE(owner.valid());
    EXPECT_EQ(owner.get(), a);
  }
  EXPECT_FALSE(IsOpen(a));

  const int b = FreshFd();
  const int c = FreshFd();
  kt::platform::UniqueFd owner(b);
  owner.reset(c);  // the old one goes, the new one is held
  EXPECT_FALSE(IsOpen(b));
  EXPECT_TRUE(IsOpen(c));
  owner.reset();
  EXPECT_FALSE(IsOpen(c));
  EXPECT_FALSE(owner.valid());
}

TEST(UniqueFd, ReleaseHandsTheDescriptorBackUnclosed) {
  const int a = FreshFd();
  int released = -1;
  {
    kt::platform::UniqueFd owner(a);
    released = owner.release();
    EXPECT_FALSE(owner.valid());
  }
  EXPECT_EQ(released, a);
  EXPECT_TRUE(IsOpen(a));
  close(a);
}

TEST(UniqueFd, MovingPassesOwnershipAndClosesWhatTheTargetHeld) {
  const int a = FreshFd();
  const int b = FreshFd();
  kt::platform::UniqueFd first(a);
  kt::platform::UniqueFd second(std::move(first));
  EXPECT_FALSE(first.valid());  // NOLINT(bugprone-use-after-move): the moved-from state is set
  EXPECT_EQ(second.get(), a);

  kt::platform::UniqueFd third(b);
  third = std::move(second);
  EXPECT_FALSE(IsOpen(b));
  EXPECT_TRUE(IsOpen(a));
  EXPECT_EQ(third.get(), a);
}
