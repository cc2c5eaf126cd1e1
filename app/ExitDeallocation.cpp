// The global deallocation functions of the tally executable. They replace the standard library's
// for the whole process, the host layer and the loaded plug-in included, and differ from them only
// once the run's output is complete (KeepFreedBlocksUntilExit): then a block goes nowhere, since the
// process that owns it is about to end. The library's array forms forward to these two.
#include "app/HeapPolicy.h"

#include <cstdlib>
#include <new>

void operator delete(void* pBlock) noexcept
{
    if (!app::KeepsFreedBlocks())
        std::free(pBlock);
}

void operator delete(void* pBlock, std::size_t) noexcept
{
    if (!app::KeepsFreedBlocks())
        std::free(pBlock);
}
