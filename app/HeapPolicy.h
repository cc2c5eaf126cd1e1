// How the host's heap grows. A capture of a few hundred thousand items touches tens of megabytes of
// fresh heap, and on the virtual machines that profiling sessions run on every first touch of a small
// page is a costly trap into the hypervisor.
#pragma once

namespace app
{

// Lets the heap grow in one large reserved step that the kernel may back with huge pages, and keeps
// large blocks in it. Call once, first thing in main, before any thread starts. Nothing changes
// where the kernel offers no huge pages: the reserve is address space, touched only as it is used.
void UseHugePageHeap();

} // namespace app
