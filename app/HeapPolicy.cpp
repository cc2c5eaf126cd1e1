#include "app/HeapPolicy.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace app
{

namespace
{
constexpr std::size_t kHeapReserve = std::size_t{1} << 30;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
// The largest block the allocator will keep in its heap rather than map on its own.
constexpr int kLargestHeapBlock = 32 << 20;
constexpr std::size_t kProbeBlock = std::size_t{4} << 20;
} // namespace

void UseHugePageHeap()
{
    // Blocks up to 32 MB (path tables, copied texts) come from the heap too, and freed memory stays
    // for the next capture instead of going back to the kernel.
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TOP_PAD, static_cast<int>(kHeapReserve));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kHeapReserve));

    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // A block larger than what is left at the top makes the heap take its reserve now; volatile keeps
    // the pair from being elided.
    void* volatile pProbe = std::malloc(kProbeBlock);
    std::free(pProbe);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));

    const std::uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
    if (after > start)
        madvise(reinterpret_cast<void*>(start), after - start, MADV_HUGEPAGE);
}

} // namespace app
