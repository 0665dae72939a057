#pragma once
// Memory for the large arrays of a data view (column store, row lists). A retrieval of a million
// rows writes hundreds of megabytes of fresh memory, and every 4 KB page of it is a page fault
// on first touch: on a virtual machine some microseconds each, more than reading the row. So
// blocks of 4 MB and more are 2 MB-aligned and ask the kernel for 2 MB pages (a hint; where the
// kernel has none nothing changes), and the heap keeps freed blocks for the next view.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

// A block of `bytes`, on huge pages when it is large; given back with free_large_array.
void* allocate_large_array(size_t bytes);
void free_large_array(void* p, size_t bytes);

template <class T>
struct large_array_allocator {
  using value_type = T;
  large_array_allocator() = default;
  template <class U>
  large_array_allocator(const large_array_allocator<U>&) {}

  T* allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(allocate_large_array(n * sizeof(T)));
  }
  void deallocate(T* p, size_t n) { free_large_array(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const large_array_allocator<U>&) const {
    return true;
  }
};

template <class T>
using large_vector = std::vector<T, large_array_allocator<T>>;
