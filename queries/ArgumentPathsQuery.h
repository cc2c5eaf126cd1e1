// "Paths Used": how often each argument path of the dialogue events was resolved, and how many of
// those resolutions were then played.
#pragma once

#include "framework/IProfilerQuery.h"
#include "host/base/Guid.h"
#include "host/base/TextCodec.h"
#include "host/results/FilteredDataList.h"
#include "queries/IndexedMap.h"

#include <cstdint>
#include <queue>
#include <string>
#include <string_view>

class DialogueResolvedItem;
class IVDialogueEvent;
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

// Paths ordered by their UTF-16 code units. Every resolution looks its path up, among as many as a
// project's events and values combine to, so the paths are found through a hash of their text.
using PathIndex = IndexedMap<CStdStr<wchar_t>, ArgPathData, text::Utf16Less, std::wstring_view>;
using PathMap = PathIndex::Map;

// Resolutions waiting for a play of their target, oldest first. Entries are the path elements, so
// that a credited row can be announced without a search.
using PendingQueue = std::queue<PathMap::value_type*>;
// Every resolution and every play looks its target up among all those resolved, so the targets are
// found through a hash of their GUID.
using PendingIndex = IndexedMap<GUID, PendingQueue, GUIDLess, GUID, GUIDHash>;

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

    const PathMap& GetPaths() const { return m_paths.Rows(); }
    FilteredDataList& GetList() { return m_list; }

private:
    FilteredDataList::IDataIterator* CreateRowIterator() override;
    FilteredDataList::IDataIterator* CreateColumnIterator(const void* pRow) override;

    void OnDialogueResolved(const DialogueResolvedItem& item);
    void OnObjectNotification(const ObjectNotificationItem& item);
    void MarkUnsynchronized();
    // Builds the item's argument path in m_pathText; marks the query unsynchronized for each value
    // the project lacks.
    void BuildPath(const IVDialogueEvent& event, const DialogueResolvedItem& item);

    PathIndex m_paths;
    // The path of the item being handled; a row's key is copied from it only for a new path.
    std::wstring m_pathText;
    PendingIndex m_pending;
    FilteredDataList m_list;
    IProfilerQueryOwner* m_pOwner = nullptr;
    bool m_bUnsynchronized = false;
};

} // namespace ArgumentPathsQuery
