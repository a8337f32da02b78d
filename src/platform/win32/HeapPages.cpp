// The C runtime's _heapmin.
#include "platform/HeapPages.h"

#include <malloc.h>

namespace kt::platform {

void ReturnFreeHeapPages() {
  _heapmin();
}

}  // namespace kt::platform
