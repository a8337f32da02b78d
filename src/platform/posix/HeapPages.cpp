// glibc's malloc_trim; other C libraries give their pages back themselves.
#include "platform/HeapPages.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace kt::platform {

void ReturnFreeHeapPages() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

}  // namespace kt::platform
