#include "platform/memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace nimbrel::platform {
namespace {

constexpr std::uintptr_t SmallPage = 4096;
constexpr std::uintptr_t LargePage = std::uintptr_t{2} << 20;

std::uintptr_t RoundUp(std::uintptr_t at, std::uintptr_t step) {
    return (at + step - 1) & ~(step - 1);
}

std::uintptr_t RoundDown(std::uintptr_t at, std::uintptr_t step) {
    return at & ~(step - 1);
}

} // namespace

// A first touch of each small page is a fault of its own, and a costly one on a virtual
// machine: filling 11 MB that way takes longer than reading them from the page cache.
void ProvideBlockAtOnce(void* block, std::size_t size) {
    const auto begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t end = begin + size;
    const std::uintptr_t largeBegin = RoundUp(begin, LargePage);
    const std::uintptr_t largeEnd = RoundDown(end, LargePage);
    if (largeEnd > largeBegin)
        ::madvise(reinterpret_cast<void*>(largeBegin), largeEnd - largeBegin, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    const std::uintptr_t pagesBegin = RoundUp(begin, SmallPage);
    const std::uintptr_t pagesEnd = RoundDown(end, SmallPage);
    // Refused by kernels before 5.14: the pages then come at their first touch.
    if (pagesEnd > pagesBegin)
        ::madvise(reinterpret_cast<void*>(pagesBegin), pagesEnd - pagesBegin, MADV_POPULATE_WRITE);
#endif
}

} // namespace nimbrel::platform
