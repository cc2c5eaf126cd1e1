// "Paths Used": how often each argument path of the dialogue events was resolved, and how many of
// those resolutions were then played.
#pragma once

#include "framework/IProfilerQuery.h"
#include "host/base/Guid.h"
#include "host/base/Prefetch.h"
#include "host/base/TextCodec.h"
#include "host/results/FilteredDataList.h"
#include "queries/GuidIndex.h"
#include "queries/TextIndex.h"

#include <cstdint>
#include <map>
#include <memory_resource>
#include <string_view>
#include <vector>

class DialogueResolvedItem;
class ObjectNotificationItem;

namespace ArgumentPathsQuery
{

struct ArgPathData
{
    // The characters of the element's own key; set at the first count.
    const wchar_t* path = nullptr;
    std::uint64_t added = 0;
    std::uint64_t played = 0;
};

// Paths ordered by their UTF-16 code units.
using PathMap = std::pmr::map<CStdStr<wchar_t>, ArgPathData, text::Utf16Less>;

struct PathKeyOf
{
    std::wstring_view operator()(const PathMap::value_type& element) const { return element.first; }
};

// Resolutions waiting for a play of their target, oldest first. Entries are the path elements, so
// that a credited row can be announced without a search.
class PendingQueue
{
public:
    using Entry = PathMap::value_type*;

    bool empty() const { return m_head == m_entries.size(); }
    void push(Entry pElement) { m_entries.push_back(pElement); }
    // Starts loading where the next push writes.
    void PrefetchBack() const
    {
        if (m_entries.size() < m_entries.capacity())
            PrefetchLine(m_entries.data() + m_entries.size());
    }
    Entry front() const { return m_entries[m_head]; }
    void pop();

private:
    std::vector<Entry> m_entries;
    std::size_t m_head = 0;
};

class ArgumentPathsQuery : public IProfilerQuery, private FilteredDataList::IDataSource
{
public:
    ArgumentPathsQuery() = default;
    ArgumentPathsQuery(const ArgumentPathsQuery&) = delete;
    ArgumentPathsQuery& operator=(const ArgumentPathsQuery&) = delete;

    void Init() override;
    void Term() override;
    void SetOwner(IProfilerQueryOwner* pOwner) override { m_pOwner = pOwner; }
    void ResetOwner() override { m_pOwner = nullptr; }
    CStdStr<wchar_t> GetName() override;
    CDialogBase* CreateResultDialog() override;
    std::int32_t Reserved() override { return 0; }
    bool CanRun() override { return true; }
    bool IsDataInSync() override { return !m_bUnsynchronized; }
    void BeginRun() override;
    void EndRun() override;
    void Clear() override;
    void OnMonitoringItem(const MonitoringItem* pItem) override;

    const PathMap& GetPaths() const { return m_paths; }
    FilteredDataList& GetList() { return m_list; }

private:
    FilteredDataList::IDataIterator* CreateRowIterator() override;
    FilteredDataList::IDataIterator* CreateColumnIterator(const void* pRow) override;

    void OnDialogueResolved(const DialogueResolvedItem& item);
    void OnObjectNotification(const ObjectNotificationItem& item);
    void MarkUnsynchronized();

    PathMap::value_type& FindOrAddPath(std::wstring_view path, std::uint64_t hash);

    // The nodes of m_paths and m_pending, side by side in the order they are made: a handful of
    // megabytes that the caches keep, instead of nodes strewn among every other block of the heap.
    // Nothing leaves either map before Clear, which releases them all at once.
    std::pmr::monotonic_buffer_resource m_nodes;
    PathMap m_paths{&m_nodes};
    // The elements of m_paths by their key's text: a resolution of a known path costs one hash of
    // its text instead of a walk of the ordered map.
    TextIndex<PathMap::value_type, PathKeyOf> m_pathIndex;
    // The path of the item being handled, built in place; a key is copied from it only for a new path.
    std::wstring m_pathBuffer;
    using PendingMap = std::pmr::map<GUID, PendingQueue, GUIDLess>;
    PendingMap m_pending{&m_nodes};
    GuidIndex<PendingMap> m_pendingIndex;
    FilteredDataList m_list;
    IProfilerQueryOwner* m_pOwner = nullptr;
    bool m_bUnsynchronized = false;
};

} // namespace ArgumentPathsQuery
