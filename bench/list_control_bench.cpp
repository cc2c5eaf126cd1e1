// The list control under a live feed: what one change costs, and what one settle of a million shown
// rows costs after a brace closes or when the rows are read.
#include "host/results/FilteredListControl.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace
{

struct Row
{
    std::wstring path;
    const wchar_t* pPath = nullptr;
    std::uint64_t added = 0;
    std::uint64_t played = 0;
};

// A million rows in a vector that never grows, served as a query serves its map.
class BenchSource : public FilteredDataList::IDataSource
{
public:
    explicit BenchSource(std::size_t count) : m_rows(count)
    {
        std::uint32_t seed = 12345;
        for (std::size_t i = 0; i < count; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            Row& row = m_rows[i];
            row.path = L"Event" + std::to_wstring(seed % 5000) + L"::Value" + std::to_wstring(i);
            row.pPath = row.path.c_str();
            row.added = seed % 1000;
            row.played = row.added / 2;
        }
    }

    Row& At(std::size_t i) { return m_rows[i]; }
    std::size_t Size() const { return m_rows.size(); }

    FilteredDataList::IDataIterator* CreateRowIterator() override { return new RowIterator(m_rows); }
    FilteredDataList::IDataIterator* CreateColumnIterator(const void* pRow) override
    {
        return new CellIterator(*static_cast<const Row*>(pRow));
    }

private:
    class RowIterator final : public FilteredDataList::IDataIterator
    {
    public:
        explicit RowIterator(const std::vector<Row>& rows) : m_rows(rows) {}
        void Destroy() override { delete this; }
        void Reset() override { m_next = 0; }
        const void* Next() override { return m_next < m_rows.size() ? &m_rows[m_next++] : nullptr; }

    private:
        ~RowIterator() = default;
        const std::vector<Row>& m_rows;
        std::size_t m_next = 0;
    };

    class CellIterator final : public FilteredDataList::IDataIterator
    {
    public:
        explicit CellIterator(const Row& row) : m_cells{&row.pPath, &row.added, &row.played} {}
        void Destroy() override { delete this; }
        void Reset() override { m_next = 0; }
        const void* Next() override { return m_next < m_cells.size() ? m_cells[m_next++] : nullptr; }

    private:
        ~CellIterator() = default;
        std::array<const void*, 3> m_cells;
        std::size_t m_next = 0;
    };

    std::vector<Row> m_rows;
};

constexpr std::size_t kRows = 1'000'000;

struct World
{
    BenchSource source{kRows};
    FilteredDataList list;
    FilteredListControl control;

    World()
    {
        list.AddFilter(new TextFilter(L"Path", 150, 1, L""));
        list.AddFilter(new IntFilter(L"Added", 60, 1, L""));
        list.AddFilter(new IntFilter(L"Played", 60, 1, L""));
        list.SetSource(&source);
        control.SetSource(&list);
    }
};

World& TheWorld()
{
    static World world;
    return world;
}

// Range 0: the sort column (-1: none, 0: path text, 1: added).
void Prepare(World& world, const benchmark::State& state)
{
    world.control.SetSort(static_cast<int>(state.range(0)), BaseFilteredListControl::SortDescending);
    benchmark::DoNotOptimize(world.control.RowCount());
}

void BM_ItemChanged(benchmark::State& state)
{
    World& world = TheWorld();
    Prepare(world, state);
    std::size_t i = 0;
    for (auto _ : state)
    {
        Row& row = world.source.At(i);
        ++row.added;
        world.list.ItemAddedOrChanged(&row);
        i = (i + 7919) % kRows;
    }
    benchmark::DoNotOptimize(world.control.RowCount());
}

void BM_SettleAfterBrace(benchmark::State& state)
{
    World& world = TheWorld();
    Prepare(world, state);
    std::size_t i = 0;
    for (auto _ : state)
    {
        world.list.OpenBrace();
        for (int k = 0; k < 100; ++k)
        {
            Row& row = world.source.At(i);
            ++row.added;
            world.list.ItemAddedOrChanged(&row);
            i = (i + 7919) % kRows;
        }
        world.list.CloseBrace();
    }
    state.counters["rows"] = static_cast<double>(world.control.RowCount());
}

void BM_SettleOnRead(benchmark::State& state)
{
    World& world = TheWorld();
    Prepare(world, state);
    std::size_t i = 0;
    for (auto _ : state)
    {
        Row& row = world.source.At(i);
        ++row.played;
        world.list.ItemAddedOrChanged(&row);
        benchmark::DoNotOptimize(world.control.RowCount());
        i = (i + 7919) % kRows;
    }
}

} // namespace

BENCHMARK(BM_ItemChanged)->Arg(-1)->Arg(1);
BENCHMARK(BM_SettleAfterBrace)->Arg(-1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettleOnRead)->Arg(-1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
