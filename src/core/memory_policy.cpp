#include "core/memory_policy.h"

#include <cstdlib>  // defines __GLIBC__ with the C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vaultra {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Blocks up to 32 MB (the largest threshold glibc takes) from the heap,
  // and the heap's free top kept up to 1 GB instead of trimmed.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
}

}  // namespace vaultra
