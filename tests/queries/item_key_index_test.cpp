#include "queries/ItemKeyIndex.h"

#include <gtest/gtest.h>

#include <deque>

namespace
{

struct Row
{
    GUID eventID;
    std::uint32_t position;
    GUID rowID;

    bool Is(const GUID& event, std::uint32_t at, const GUID& row) const
    {
        return eventID == event && position == at && rowID == row;
    }
};

using Index = ItemKeyIndex<Row>;

GUID Id(std::uint32_t n)
{
    GUID id{};
    id.Data1 = n;
    return id;
}

TEST(ItemKeyIndex, FindsEveryRowThroughGrowthAndSharedHashes)
{
    std::deque<Row> rows;
    Index index;
    EXPECT_EQ(index.Find(Index::Hash(Id(1), 0, Id(2)), [](const Row&) { return true; }), nullptr);

    // Several growths' worth of rows; every third shares its hash with its predecessor, so that only
    // the caller's key check can tell the two apart.
    const auto hashOf = [&rows](std::size_t i)
    {
        const Row& row = rows[i % 3 == 2 ? i - 1 : i];
        return Index::Hash(row.eventID, row.position, row.rowID);
    };
    for (std::uint32_t i = 0; i < 3000; ++i)
    {
        rows.push_back({Id(i / 4), i % 4, Id(1000 + i % 5)});
        index.Insert(hashOf(i), &rows.back());
    }
    for (std::size_t i = 0; i < rows.size(); ++i)
    {
        const Row& row = rows[i];
        EXPECT_EQ(index.Find(hashOf(i), [&](const Row& candidate)
                             { return candidate.Is(row.eventID, row.position, row.rowID); }),
                  &row)
            << i;
    }

    index.Clear();
    EXPECT_EQ(index.Find(hashOf(0), [](const Row&) { return true; }), nullptr);
}

} // namespace
