#include "core/memory_policy.h"

#include <gtest/gtest.h>

#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace vaultra {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnHeap = false;  // the sanitizer's allocator takes no such setting
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnHeap = false;
#else
constexpr bool kOwnHeap = true;
#endif
#else
constexpr bool kOwnHeap = true;
#endif

TEST(MemoryPolicy, AFreedLargeBlockStaysWithTheProcess) {
#if defined(__GLIBC__)
  if (!kOwnHeap) GTEST_SKIP() << "not the C library's allocator";
  KeepFreedMemoryForReuse();
  // Four megabytes, far above the library's own threshold for handing a
  // block back to the kernel: after the free the heap still holds them.
  constexpr std::size_t kBlock = 4 << 20;
  void* block = std::malloc(kBlock);
  ASSERT_NE(block, nullptr);
  static_cast<volatile char*>(block)[kBlock - 1] = 1;
  const struct mallinfo2 before = mallinfo2();
  std::free(block);
  const struct mallinfo2 after = mallinfo2();
  EXPECT_EQ(after.hblkhd, before.hblkhd) << "the block was mapped on its own";
  EXPECT_GE(after.fordblks, before.fordblks + kBlock) << "the free memory went back";
#else
  GTEST_SKIP() << "not the GNU C library";
#endif
}

}  // namespace
}  // namespace vaultra
