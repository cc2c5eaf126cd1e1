#include "app/HeapPolicy.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace app
{

namespace
{
constexpr std::size_t kHeapReserve = std::size_t{1} << 30;
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
constexpr std::uintptr_t kSmallPage = 4096;
// The largest block the allocator will keep in its heap rather than map on its own.
constexpr int kLargestHeapBlock = 32 << 20;
constexpr std::size_t kProbeBlock = std::size_t{4} << 20;

// The heap's reserved address range, from its first huge page on; empty until UseHugePageHeap.
struct HeapRange
{
    std::uintptr_t start = 0;
    std::uintptr_t end = 0;
};
HeapRange g_heapRange;
std::atomic<bool> g_bKeepFreedBlocks = false;
} // namespace

void KeepFreedBlocksUntilExit()
{
    g_bKeepFreedBlocks.store(true, std::memory_order_relaxed);
}

bool KeepsFreedBlocks()
{
    return g_bKeepFreedBlocks.load(std::memory_order_relaxed);
}

void UseHugePageHeap()
{
    // Blocks up to 32 MB (path tables, copied texts) come from the heap too, and freed memory stays
    // for the next capture instead of going back to the kernel.
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    // One heap for every thread, growing upwards in one range that the heap warmer can prepare.
    mallopt(M_ARENA_MAX, 1);
    // No fast bins: closing a session frees hundreds of thousands of small blocks, and each large
    // block freed after them had the heap walk them all again to merge them (a quarter of closing).
    mallopt(M_MXFAST, 0);
    mallopt(M_TOP_PAD, static_cast<int>(kHeapReserve));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kHeapReserve));

    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // A block larger than what is left at the top makes the heap take its reserve now; volatile keeps
    // the pair from being elided.
    void* volatile pProbe = std::malloc(kProbeBlock);
    std::free(pProbe);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));

    const std::uintptr_t start = (before + kHugePage - 1) & ~(kHugePage - 1);
    if (after > start && madvise(reinterpret_cast<void*>(start), after - start, MADV_HUGEPAGE) == 0)
        g_heapRange = {start, after};
}

HeapWarmer::HeapWarmer(std::size_t bytes)
{
    const HeapRange range = g_heapRange;
    if (bytes == 0 || range.start == range.end)
        return;
    m_thread = std::thread(
        [this, range, bytes]
        {
            // The heap hands out its reserve upwards from the start, so the pages are prepared in
            // that order. A locked add of zero faults a page in without changing a byte the main
            // thread may already use there, or losing a store it makes alongside. Unlike asking the
            // kernel to populate, a fault holds only the heap mapping's own lock, not the address
            // space's: the main thread's next mapping (a thread's stack, a logger chunk) never waits
            // for this idle thread while another thread has preempted it.
            const std::uintptr_t end = range.start + std::min<std::uintptr_t>(bytes, range.end - range.start);
            for (std::uintptr_t page = range.start; page < end && !m_bStop.load(std::memory_order_relaxed);
                 page += kSmallPage)
                std::atomic_ref(*reinterpret_cast<unsigned char*>(page))
                    .fetch_add(0, std::memory_order_relaxed);
        });
}

HeapWarmer::~HeapWarmer()
{
    m_bStop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace app
