// The fixed wait on the tick counter, in short sleeps.
#include "modbus/FixedWait.h"

#include <algorithm>

namespace kt::modbus {

void WaitFixed(Clock& clock, uint32_t waitMs) {
  const uint32_t t0 = clock.GetTickCount();
  for (;;) {
    const uint32_t elapsed = clock.GetTickCount() - t0;
    if (elapsed >= waitMs) return;
    clock.Sleep(std::min(kWaitSliceMs, waitMs - elapsed));
  }
}

}  // namespace kt::modbus
