#include "host/base/AddressIndex.h"
#include "host/base/Guid.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

namespace
{
struct Named
{
    GUID id;
    std::string name;
};

struct IdOf
{
    const GUID& operator()(const Named& element) const { return element.id; }
};

// Every key in one chain: only the comparison of keys tells elements apart.
struct SameHash
{
    std::size_t operator()(const GUID&) const { return 7; }
};

GUID Id(std::uint32_t n)
{
    GUID g;
    g.Data1 = n;
    g.Data4[7] = static_cast<std::uint8_t>(n * 31);
    return g;
}

template <class Hash> void ExpectFindsEveryElementThroughGrowth(std::uint32_t count)
{
    std::deque<Named> elements;
    AddressIndex<Named, IdOf, Hash, std::equal_to<>> index;
    EXPECT_EQ(index.Find(Id(1)), nullptr);
    for (std::uint32_t n = 1; n <= count; ++n)
    {
        elements.push_back({Id(n), std::to_string(n)});
        index.Insert(&elements.back());
    }
    EXPECT_EQ(index.size(), count);
    for (std::uint32_t n = 1; n <= count; ++n)
    {
        const Named* pFound = index.Find(Id(n));
        ASSERT_NE(pFound, nullptr) << n;
        EXPECT_EQ(pFound, &elements[n - 1]);
    }
    EXPECT_EQ(index.Find(Id(count + 1)), nullptr);
    EXPECT_EQ(index.Find(GUID_NULL), nullptr);

    index.Clear();
    EXPECT_EQ(index.size(), 0u);
    EXPECT_EQ(index.Find(Id(1)), nullptr);
    index.Insert(&elements.front());
    EXPECT_EQ(index.Find(Id(1)), &elements.front());
}
} // namespace

TEST(AddressIndex, FindsEachElementByItsKeyAcrossRehashesAndAfterClear)
{
    ExpectFindsEveryElementThroughGrowth<GUIDHash>(5000);
}

TEST(AddressIndex, KeysOfEqualHashAreToldApartByTheirElements)
{
    ExpectFindsEveryElementThroughGrowth<SameHash>(100);
}

TEST(AddressIndex, ReserveKeepsWhatIsIndexed)
{
    std::deque<Named> elements{{Id(1), "a"}, {Id(2), "b"}};
    AddressIndex<Named, IdOf, GUIDHash, std::equal_to<>> index;
    index.Insert(&elements[0]);
    index.Reserve(1000);
    index.Insert(&elements[1]);
    EXPECT_EQ(index.Find(Id(1)), &elements[0]);
    EXPECT_EQ(index.Find(Id(2)), &elements[1]);
}
