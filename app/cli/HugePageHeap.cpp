#include "app/cli/HugePageHeap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace app
{

namespace
{
constexpr int kHeapReserve = 1 << 30;
// The largest block the heap keeps rather than mapping it on its own.
constexpr int kLargestHeapBlock = 32 << 20;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
} // namespace

void UseHugePageHeap()
{
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TOP_PAD, kHeapReserve);
    mallopt(M_TRIM_THRESHOLD, kHeapReserve);

    // A block larger than what is left at the top makes the heap take its reserve now; volatile
    // keeps the pair from being elided.
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* volatile pProbe = std::malloc(std::size_t{4} << 20);
    std::free(pProbe);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));

    const std::uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
    if (after > start)
        madvise(reinterpret_cast<void*>(start), after - start, MADV_HUGEPAGE);
}

} // namespace app
