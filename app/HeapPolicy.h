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

// Has the kernel provide `bytes` of heap on a thread of its own, ahead of the run that will allocate
// them: the first touch of fresh memory costs about a millisecond per megabyte on such machines, and
// the second core is mostly idle while the project loads. The memory is handed back to the heap, not
// to the kernel, and the main thread's allocations find it there. When destroyed it stops touching
// and waits for the thread (a run that fails early does not wait for a gigabyte). Nothing happens
// for 0 bytes.
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

} // namespace app
