#include "host/services/ChunkSupply.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace
{

bool IsChunkAligned(const void* p)
{
    return reinterpret_cast<std::uintptr_t>(p) % ChunkSupply::kChunkSize == 0;
}

// More chunks than are kept ready, taken one after another as a logger does: each is aligned,
// whole and its own, whether the helper had it ready or not.
TEST(ChunkSupply, EveryChunkTakenIsAlignedWritableAndDistinct)
{
    ChunkSupply supply(2);
    std::vector<ChunkSupply::Storage> taken;
    std::set<const unsigned char*> seen;
    for (int i = 0; i < 7; ++i)
    {
        ChunkSupply::Storage chunk = supply.Take();
        ASSERT_NE(chunk, nullptr);
        EXPECT_TRUE(IsChunkAligned(chunk.get()));
        // The whole chunk is the caller's: both ends can be written, and what was written stays.
        std::memset(chunk.get(), i, 64);
        std::memset(chunk.get() + ChunkSupply::kChunkSize - 64, i, 64);
        EXPECT_TRUE(seen.insert(chunk.get()).second);
        taken.push_back(std::move(chunk));
    }
    for (int i = 0; i < 7; ++i)
    {
        EXPECT_EQ(taken[i][0], i);
        EXPECT_EQ(taken[i][ChunkSupply::kChunkSize - 1], i);
    }

    const ChunkSupply::Storage large = ChunkSupply::Allocate(3);
    EXPECT_TRUE(IsChunkAligned(large.get()));
    large[3 * ChunkSupply::kChunkSize - 1] = 1;
}

// A supply destroyed with chunks ready and its helper waiting for the next request, or never asked
// at all, neither hangs nor keeps memory (the sanitizer build checks the latter).
TEST(ChunkSupply, DestructionStopsTheHelperAndFreesWhatWasNotTaken)
{
    {
        ChunkSupply supply(3);
        const ChunkSupply::Storage first = supply.Take();
        EXPECT_NE(first, nullptr);
    }
    {
        const ChunkSupply untouched;
    }
}

} // namespace
