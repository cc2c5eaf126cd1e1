// A small result source for the result-list tests: rows are elements of a std::map, in key order;
// cells are a text, a 64-bit counter, a float and an object GUID. The column iterator hands out the
// address of its own copy of the text pointer, as real sources do, so reads after Destroy show up
// under the address sanitizer.
#pragma once

#include "host/results/FilteredDataList.h"
#include "host/results/ResultColumnFilter.h"
#include "host/services/Project.h"
#include "host/services/ProjectManager.h"

#include <cstdint>
#include <map>
#include <string>

namespace results_test
{

struct Row
{
    std::wstring text;
    std::uint64_t count = 0;
    float share = 0.0f;
    GUID object;
};

class MapSource : public FilteredDataList::IDataSource
{
public:
    using Map = std::map<int, Row>;

    Map rows;
    int liveIterators = 0;
    long columnIteratorsMade = 0;

    const void* Add(int key, Row row)
    {
        rows[key] = std::move(row);
        return Address(key);
    }
    const void* Address(int key) const { return &*rows.find(key); }

    FilteredDataList::IDataIterator* CreateRowIterator() override { return new RowIterator(*this); }
    FilteredDataList::IDataIterator* CreateColumnIterator(const void* pRow) override
    {
        ++columnIteratorsMade;
        return new CellIterator(*this, static_cast<const Map::value_type*>(pRow)->second);
    }

private:
    class RowIterator final : public FilteredDataList::IDataIterator
    {
    public:
        explicit RowIterator(MapSource& source) : m_source(source), m_it(source.rows.begin())
        {
            ++m_source.liveIterators;
        }
        void Destroy() override
        {
            --m_source.liveIterators;
            delete this;
        }
        void Reset() override { m_it = m_source.rows.begin(); }
        const void* Next() override { return m_it == m_source.rows.end() ? nullptr : &*m_it++; }

    private:
        ~RowIterator() = default;
        MapSource& m_source;
        Map::const_iterator m_it;
    };

    class CellIterator final : public FilteredDataList::IDataIterator
    {
    public:
        CellIterator(MapSource& source, const Row& row)
            : m_source(source), m_row(row), m_pText(row.text.c_str())
        {
            ++m_source.liveIterators;
        }
        void Destroy() override
        {
            --m_source.liveIterators;
            delete this;
        }
        void Reset() override { m_nColumn = 0; }
        const void* Next() override
        {
            switch (m_nColumn++)
            {
            case 0:
                return &m_pText;
            case 1:
                return &m_row.count;
            case 2:
                return &m_row.share;
            case 3:
                return &m_row.object;
            default:
                m_nColumn = 4;
                return nullptr;
            }
        }

    private:
        ~CellIterator() = default;
        MapSource& m_source;
        const Row& m_row;
        const wchar_t* m_pText;
        int m_nColumn = 0;
    };
};

// The four columns of MapSource, added to the list in column order.
inline void AddColumns(FilteredDataList& list)
{
    list.AddFilter(new TextFilter(L"Name", 150, 1, L""));
    list.AddFilter(new IntFilter(L"Count", 60, 1, L""));
    auto* pShare = new FloatFilter(L"%", 40, 1, L"");
    pShare->SetFormat(6, L"%.1f");
    list.AddFilter(pShare);
    list.AddFilter(new VObjectGUIDFilter(L"Object", 100, 1, L""));
}

inline GUID MakeGuid(std::uint32_t n)
{
    GUID g;
    g.Data1 = n;
    return g;
}

// An open project for the object columns, for the lifetime of the scope.
struct OpenProject
{
    Project project;
    ProjectManager manager;
    ProjectManager* pPrevious = ProjectManager::m_pInstance;

    OpenProject()
    {
        manager.SetProject(&project);
        ProjectManager::m_pInstance = &manager;
    }
    ~OpenProject() { ProjectManager::m_pInstance = pPrevious; }
    OpenProject(const OpenProject&) = delete;
    OpenProject& operator=(const OpenProject&) = delete;
};

} // namespace results_test
