// Column iterator over one row that is a plain structure: yields the row's address plus each column's
// byte offset, in column order. Each instantiation defines its table of offsets.
#pragma once

#include "host/results/FilteredDataList.h"

#include <array>
#include <cstddef>
#include <cstdint>

template <class Row, int N> class StructRowIterator final : public FilteredDataList::IDataIterator
{
public:
    using Offsets = std::array<std::ptrdiff_t, N>;

    explicit StructRowIterator(const void* pRow) : m_pRow(static_cast<const unsigned char*>(pRow)) {}

    void Destroy() override { delete this; }
    void Reset() override { m_nColumn = 0; }

    const void* Next() override
    {
        if (m_nColumn >= N)
            return nullptr;
        return m_pRow + s_offsets[m_nColumn++];
    }

    // Offsets of each column's field from the row's address.
    static const Offsets s_offsets;

private:
    ~StructRowIterator() = default;

    const unsigned char* m_pRow;
    std::int32_t m_nColumn = 0;
};

// Byte offsets of fields of a row object, measured on a default-constructed probe. Works for rows
// that are map elements, whose layout offsetof may not be applied to.
template <class Element, class... Fields>
std::array<std::ptrdiff_t, sizeof...(Fields)> MeasureOffsets(Fields... fields)
{
    const Element probe{};
    const auto* pBase = reinterpret_cast<const unsigned char*>(&probe);
    return {(reinterpret_cast<const unsigned char*>(&fields(probe)) - pBase)...};
}
