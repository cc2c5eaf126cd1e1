#include "app/HeapPolicy.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace
{

// The warmer prepares the heap's reserve while the main thread already allocates from it: blocks in
// use there must keep what was written to them, and the heap stays usable afterwards.
TEST(HeapPolicy, WarmingKeepsWhatTheHeapAlreadyHolds)
{
    app::UseHugePageHeap();
    constexpr std::size_t kBlock = std::size_t{6} << 20;
    const std::unique_ptr<unsigned char[]> pBlock(new unsigned char[kBlock]);
    for (std::size_t i = 0; i < kBlock; ++i)
        pBlock[i] = static_cast<unsigned char>(i * 7 + 1);
    {
        const app::HeapWarmer warmer(std::size_t{32} << 20);
        // Long enough for the warmer to pass over the block on most machines; correct either way.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::size_t changed = 0;
    for (std::size_t i = 0; i < kBlock; ++i)
        changed += pBlock[i] != static_cast<unsigned char>(i * 7 + 1);
    EXPECT_EQ(changed, 0u);

    void* const pAfter = std::malloc(std::size_t{1} << 20);
    ASSERT_NE(pAfter, nullptr);
    std::memset(pAfter, 0xAB, std::size_t{1} << 20);
    std::free(pAfter);

    // Nothing to warm, and a warmer stopped at once, are both fine.
    const app::HeapWarmer none(0);
    const app::HeapWarmer stopped(std::size_t{1} << 30);
}

} // namespace
