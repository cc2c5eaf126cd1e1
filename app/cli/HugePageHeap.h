// The one place where tally tunes memory. A capture of a few hundred thousand items spreads the
// statistics' map nodes over tens of megabytes of heap; on the virtual machines that sound teams
// run on, a search down such a map misses the translation cache at nearly every node, and every
// first touch of a small page traps into the hypervisor. Huge pages take most of both away.
#pragma once

namespace app
{

// Lets the heap grow in one large reserved step that the kernel may back with huge pages, and keeps
// large blocks (copied texts, tables) in it rather than mapping each on its own. Call once, first
// thing in main, before any thread starts. Where the allocator is not glibc's own (sanitizer
// builds) or the kernel offers no huge pages, nothing changes. The reserve is address space,
// backed only as it is used.
void UseHugePageHeap();

} // namespace app
