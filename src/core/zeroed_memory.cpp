#include "core/zeroed_memory.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace trazel {

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool SanitizersWatch = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool SanitizersWatch = true;
#else
constexpr bool SanitizersWatch = false;
#endif
#else
constexpr bool SanitizersWatch = false;
#endif

// Blocks below a huge page come from the heap, where AddressSanitizer guards their ends; under it every
// block does.
bool fromTheHeap(std::size_t bytes) {
    return SanitizersWatch || bytes < HugePage;
}

std::size_t wholeHugePages(std::size_t bytes) {
    return (bytes + HugePage - 1) / HugePage * HugePage;
}

// Whole huge pages at a huge-page boundary: more is mapped than asked for, and the ends outside the
// boundaries go back at once.
void* mapHugePages(std::size_t bytes) {
    const std::size_t length = wholeHugePages(bytes);
    void* mapped =
        mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + HugePage - 1) / HugePage * HugePage;
    if (aligned > start) {
        munmap(mapped, aligned - start);
    }
    const std::uintptr_t end = start + length + HugePage;
    if (end > aligned + length) {
        munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    }
    // Only a request: without huge pages the block works in small ones.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

} // namespace

void* allocateZeroed(std::size_t bytes) {
    if (fromTheHeap(bytes)) {
        void* memory = std::calloc(bytes == 0 ? 1 : bytes, 1);
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        return memory;
    }
    return mapHugePages(bytes);
}

void freeZeroed(void* memory, std::size_t bytes) noexcept {
    if (fromTheHeap(bytes)) {
        std::free(memory);
    } else {
        munmap(memory, wholeHugePages(bytes));
    }
}

} // namespace trazel
