#include "queries/TextIndex.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace
{

struct Named
{
    std::wstring name;
};

struct NameOf
{
    std::wstring_view operator()(const Named& element) const { return element.name; }
};

using Index = TextIndex<Named, NameOf>;

TEST(TextIndex, FindsEveryTextThroughGrowthAndCollisions)
{
    std::deque<Named> elements;
    Index index;
    EXPECT_EQ(index.Find(L"anything", Index::Hash(L"anything")), nullptr);

    // Enough texts for several growths; every fourth one shares a hash with its predecessor, so
    // that equal hashes must be told apart by the text and probe chains run across the table's end.
    for (int i = 0; i < 5000; ++i)
    {
        elements.push_back({L"Event" + std::to_wstring(i) + L"::Value" + std::to_wstring(i % 7)});
        const std::uint64_t hash =
            i % 4 == 3 ? Index::Hash(elements[elements.size() - 2].name) : Index::Hash(elements.back().name);
        index.Insert(&elements.back(), hash);
    }
    ASSERT_EQ(index.size(), 5000u);
    for (int i = 0; i < 5000; ++i)
    {
        const Named& element = elements[static_cast<std::size_t>(i)];
        const std::uint64_t hash = i % 4 == 3 ? Index::Hash(elements[static_cast<std::size_t>(i) - 1].name)
                                              : Index::Hash(element.name);
        EXPECT_EQ(index.Find(element.name, hash), &element) << i;
    }
    // A prefix, an extension and the empty text are other texts.
    EXPECT_EQ(index.Find(L"Event1::Value", Index::Hash(L"Event1::Value")), nullptr);
    EXPECT_EQ(index.Find(L"Event1::Value11", Index::Hash(L"Event1::Value11")), nullptr);
    EXPECT_EQ(index.Find(L"", Index::Hash(L"")), nullptr);

    index.Clear();
    EXPECT_EQ(index.size(), 0u);
    EXPECT_EQ(index.Find(elements.front().name, Index::Hash(elements.front().name)), nullptr);
    index.Insert(&elements.front(), Index::Hash(elements.front().name));
    EXPECT_EQ(index.Find(elements.front().name, Index::Hash(elements.front().name)), &elements.front());
}

} // namespace
