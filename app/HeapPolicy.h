// How the host's heap grows. A capture of a few hundred thousand items touches tens of megabytes of
// fresh heap, and on the virtual machines that profiling sessions run on every first touch of a small
// page is a costly trap into the hypervisor.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

namespace app
{

// Lets the heap grow in one large reserved step that the kernel may back with huge pages, and keeps
// large blocks in it. Call once, first thing in main, before any thread starts. Nothing changes
// where the kernel offers no huge pages: the reserve is address space, touched only as it is used.
void UseHugePageHeap();

// Has the kernel provide the first `bytes` of the heap's reserve on a thread of its own, ahead of the
// run that will allocate them: the first touch of fresh memory costs about a millisecond per megabyte
// on such machines, and the second core has time to spare. The pages are faulted in place, without
// allocating and without changing a byte, so the main thread's blocks there are untouched and its
// later allocations find memory ready. The thread runs only on a core nothing else wants. When
// destroyed it stops and waits for the thread (a run that fails early does not wait for a gigabyte).
// Nothing happens for 0 bytes, or without the reserve of UseHugePageHeap.
class HeapWarmer
{
public:
    explicit HeapWarmer(std::size_t bytes);
    ~HeapWarmer();
    HeapWarmer(const HeapWarmer&) = delete;
    HeapWarmer& operator=(const HeapWarmer&) = delete;

private:
    std::atomic<bool> m_bStop = false;
    std::thread m_thread;
};

// From now on the blocks that the program gives back stay with it until the process ends: the run's
// output is complete, and the session's teardown would otherwise return some hundreds of thousands
// of blocks one by one (two thirds of closing) to a heap that exits right after. The teardown itself
// still runs in full: windows, the plug-in's Terminate, the project's notifications. It takes effect
// only in the executable, whose deallocation functions ask KeepsFreedBlocks; sanitizer builds keep
// their own, which free everything and find what leaked.
void KeepFreedBlocksUntilExit();
bool KeepsFreedBlocks();

} // namespace app
