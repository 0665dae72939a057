// Memory for the large arrays of a data view.

#include "framework/dataview/large_arrays.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdlib>

namespace {

constexpr size_t huge_page = size_t(2) << 20;
constexpr size_t large_block = 2 * huge_page;

// glibc gives a freed block above its mmap threshold back to the kernel and trims spare memory
// at the top of the heap, so that the next view faults it all in again. It raises both limits as
// large blocks are freed, up to 32 MB and 64 MB: whether a view's arrays were reused or faulted
// in anew depended on what the process had freed before (a process reading only small views
// faulted in every one of them). The limits are fixed at those maxima from the first view on.
void set_heap_limits() {
  static const bool set = [] {
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    return true;
  }();
  (void)set;
}

}  // namespace

void* allocate_large_array(size_t bytes) {
  set_heap_limits();
  if (bytes < large_block) return ::operator new(bytes);
  void* p = nullptr;
  if (posix_memalign(&p, huge_page, bytes) != 0) throw std::bad_alloc();
  madvise(p, bytes & ~(huge_page - 1), MADV_HUGEPAGE);
  return p;
}

void free_large_array(void* p, size_t bytes) {
  if (bytes < large_block) ::operator delete(p);
  else std::free(p);
}
