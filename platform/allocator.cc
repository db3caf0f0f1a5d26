#include "platform/allocator.h"

// Any C library header defines __GLIBC__ when the C library is glibc; the
// test below must come after one.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zov::platform {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Blocks up to 32 MB come from the heap, not from mappings of their own,
  // up to 32 MB freed at the heap's top stay there, and the heap grows 16 MB
  // at a time (pages the program never touches are never resident).
  constexpr int kLimit = 32 * 1024 * 1024;
  mallopt(M_MMAP_THRESHOLD, kLimit);
  mallopt(M_TRIM_THRESHOLD, kLimit);
  mallopt(M_TOP_PAD, 16 * 1024 * 1024);
#endif
}

}  // namespace zov::platform
