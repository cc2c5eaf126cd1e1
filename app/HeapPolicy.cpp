#include "app/HeapPolicy.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

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
    // One heap for every thread: what the heap warmer touches is what the main thread allocates.
    mallopt(M_ARENA_MAX, 1);
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

HeapWarmer::HeapWarmer(std::size_t bytes)
{
    if (bytes == 0)
        return;
    m_thread = std::thread(
        [this, bytes]
        {
            // In pieces below the mapping threshold, all held until the end: freed one by one, each
            // would go back to the top of the heap and the next piece would touch it again.
            constexpr std::size_t kPiece = std::size_t{4} << 20;
            constexpr std::size_t kPage = 4096;
            std::vector<void*> pieces;
            for (std::size_t done = 0; done < bytes && !m_bStop.load(std::memory_order_relaxed);
                 done += kPiece)
            {
                auto* const pPiece = static_cast<volatile unsigned char*>(std::malloc(kPiece));
                if (pPiece == nullptr)
                    break;
                for (std::size_t offset = 0; offset < kPiece; offset += kPage)
                    pPiece[offset] = 0;
                pieces.push_back(const_cast<unsigned char*>(pPiece));
            }
            for (void* pPiece : pieces)
                std::free(pPiece);
        });
}

HeapWarmer::~HeapWarmer()
{
    m_bStop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace app
