// What each error number of the POSIX calls means to the line: when opening, and when reading,
// writing or asking for the queue. A pulled USB adapter hangs its terminal up (EIO), and the
// usb-serial driver answers for a port whose device is gone with ENODEV or ENXIO: each of those
// is a lost device that the line opens again when it comes back, never a plain failure.
#include <gtest/gtest.h>

#include <cerrno>

#include "serial/posix/FdTransfer.h"

namespace kt::serial::posix {
namespace {

TEST(PosixErrno, EachNumberHasItsClassWhenOpeningAndWhenTransferring) {
  using R = TransportResult;
  struct Case {
    int errnum;
    R opening;
    R transfer;
  };
  const Case cases[] = {
      {EIO, R::Failed, R::DeviceGone},       // the terminal hung up: the adapter was pulled
      {ENXIO, R::NoDevice, R::DeviceGone},   // the driver's device is gone
      {ENODEV, R::NoDevice, R::DeviceGone},  // likewise, from the usb-serial core
      {ENOENT, R::NoDevice, R::Failed},      // no such node
      {EAGAIN, R::Failed, R::Pending},       // nothing to read, no room to write
      {EINTR, R::Failed, R::Pending},        // a signal came: again
      {EBADF, R::Failed, R::Failed},         // a closed descriptor: no lost device
      {EACCES, R::AccessDenied, R::Failed},  // not in the dialout group
      {EPERM, R::AccessDenied, R::Failed},
      {EBUSY, R::InUse, R::Failed},
      {ENOTTY, R::NotATerminal, R::Failed},
      {EINVAL, R::Failed, R::Failed},
      {EPIPE, R::Failed, R::DeviceGone},  // a device server's connection
      {ECONNRESET, R::ConnectFailed, R::DeviceGone},
      {ETIMEDOUT, R::ConnectFailed, R::DeviceGone},
      {ENOTCONN, R::Failed, R::DeviceGone},
      {ECONNREFUSED, R::ConnectFailed, R::Failed},
      {0, R::Failed, R::Failed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OpenResultOf(c.errnum), c.opening) << c.errnum;
    EXPECT_EQ(TransferResultOf(c.errnum), c.transfer) << c.errnum;
  }
}

}  // namespace
}  // namespace kt::serial::posix
