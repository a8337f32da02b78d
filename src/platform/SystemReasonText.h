// The system's error number in words: known numbers in Chinese, others as the system says them.
#pragma once

#include <string>

namespace kt::platform {

// Each platform defines it for its own numbers (posix/: errno; win32/: the system error codes).
std::string SystemReasonText(int systemError);

}  // namespace kt::platform
