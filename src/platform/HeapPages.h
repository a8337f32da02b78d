// The process heap's free pages handed back to the system.
#pragma once

namespace kt::platform {

// The allocator keeps pages it freed for later use; as a long session's allocations move about,
// those kept pages add up. This returns them (a few milliseconds). Each platform defines it.
void ReturnFreeHeapPages();

}  // namespace kt::platform
