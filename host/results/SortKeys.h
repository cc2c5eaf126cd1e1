// How a list's shown rows order by one column: text by UTF-16 code units, numbers by value, object
// columns by the object's name. Rows with equal keys keep the source's order in either direction.
#pragma once

#include "host/results/ResultColumnFilter.h"

#include <cstdint>
#include <string>
#include <vector>

class SortKeys
{
public:
    // Starts over for a sort column of the cell type.
    void Start(CellType keyType, bool bDescending);
    // The next row that passes the filters, in source order, with its cell of the sort column.
    void Add(const void* pRow, const ResultCell& cell);
    // The rows added, in sorted order.
    void SortInto(std::vector<const void*>& rows);

private:
    // A number as an unsigned integer that orders as the shown order wants (see OrderOf).
    struct NumberKey
    {
        std::uint64_t order;
        const void* pRow;
    };
    // A text cell points at text of the row, valid while the row exists; an object's name is resolved
    // when the row is read and kept in m_names (pText null).
    struct TextKey
    {
        const wchar_t* pText;
        std::size_t length;
        std::size_t nameBegin;
        const void* pRow;
    };

    static std::uint64_t OrderOf(double value, bool bDescending);

    CellType m_keyType = CellType::Integer;
    bool m_bDescending = false;
    std::vector<NumberKey> m_numbers;
    std::vector<TextKey> m_texts;
    std::wstring m_names;
};
