#pragma once
// An allocator for the store's 48 MB of frame bytes that asks the kernel for
// huge pages where it offers them (transparent huge pages on request): the
// first fill then takes a few dozen page faults instead of twelve thousand.
#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>

template <class T>
struct HugePageAllocator {
    using value_type = T;
    static constexpr size_t kHugePage = size_t(2) << 20;

    HugePageAllocator() = default;
    template <class U>
    HugePageAllocator(const HugePageAllocator<U>&) {}

    T* allocate(size_t n)
    {
        const size_t bytes = (n * sizeof(T) + kHugePage - 1) / kHugePage * kHugePage;
        void* p = std::aligned_alloc(kHugePage, bytes);
        if (!p) throw std::bad_alloc();
        ::madvise(p, bytes, MADV_HUGEPAGE);   // only a wish: refused, the pages are ordinary ones
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) { std::free(p); }

    template <class U>
    bool operator==(const HugePageAllocator<U>&) const { return true; }
};
