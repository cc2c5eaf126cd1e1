#include "queries/LowerBoundAhead.h"

#include "host/base/StdStr.h"
#include "host/base/TextCodec.h"

#include <gtest/gtest.h>

#include <map>
#include <memory_resource>
#include <string>
#include <vector>

namespace
{

using Map = std::pmr::map<CStdStr<wchar_t>, int, text::Utf16Less>;

// Every probe lands where the plain search puts it, whatever the tree's shape: before, between and
// after the keys, on a key, on a key's prefix, and on texts that UTF-16 orders unlike code points.
TEST(LowerBoundAhead, FindsWhatLowerBoundFinds)
{
    std::pmr::monotonic_buffer_resource nodes;
    Map map{&nodes};
    int prefetched = 0;
    const auto prefetch = [&prefetched](const CStdStr<wchar_t>& key)
    {
        PrefetchLine(key.data());
        ++prefetched;
    };
    EXPECT_EQ(LowerBoundAhead(map, std::wstring_view(L"any"), prefetch), map.end());

    std::vector<std::wstring> probes = {L"", L"A", L"Event", L"Event::", L"\U0001F600", L"\uFF01", L"zzz"};
    for (int i = 0; i < 3000; i += 3)
    {
        // Inserted out of order, so that the tree rebalances all along.
        const int n = (i * 7919) % 3000;
        const std::wstring key = L"Event_" + std::to_wstring(n) + L"::Value" + std::to_wstring(n % 5);
        map.try_emplace(CStdStr<wchar_t>(key), n);
        probes.push_back(key);
        probes.push_back(key + L"!");
        probes.push_back(key.substr(0, key.size() - 1));
    }
    map.try_emplace(CStdStr<wchar_t>(L"\U0001F600"), -1);
    map.try_emplace(CStdStr<wchar_t>(L"\uFF01"), -2);

    for (const std::wstring& probe : probes)
    {
        const std::wstring_view view = probe;
        EXPECT_EQ(LowerBoundAhead(map, view, prefetch), map.lower_bound(view)) << text::ToUtf8(probe);
    }
    EXPECT_GT(prefetched, 0);
}

} // namespace
