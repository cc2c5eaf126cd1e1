#include "host/results/SortKeys.h"

#include "host/base/TextCodec.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string_view>

void SortKeys::Start(CellType keyType, bool bDescending)
{
    m_keyType = keyType;
    m_bDescending = bDescending;
    m_numbers.clear();
    m_texts.clear();
    m_names.clear();
}

// Numbers ascending (or descending), -0 equal to 0, NaN after every number ascending and before them
// descending, as when the values themselves are compared. The direction is in the key, so that the
// sort compares plain integers.
std::uint64_t SortKeys::OrderOf(double value, bool bDescending)
{
    std::uint64_t bits = ~std::uint64_t{0};
    if (value == value)
    {
        if (value == 0.0)
            value = 0.0;
        std::memcpy(&bits, &value, sizeof bits);
        // Negative numbers reverse their magnitudes' order; all of them below the positive ones.
        bits = (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
    }
    return bDescending ? ~bits : bits;
}

void SortKeys::Add(const void* pRow, const ResultCell& cell)
{
    switch (m_keyType)
    {
    case CellType::Integer:
        m_numbers.push_back({OrderOf(static_cast<double>(cell.intValue), m_bDescending), pRow});
        break;
    case CellType::Float:
        m_numbers.push_back({OrderOf(static_cast<double>(cell.floatValue), m_bDescending), pRow});
        break;
    case CellType::Text:
    {
        const wchar_t* pText = cell.pText ? cell.pText : L"";
        m_texts.push_back({pText, std::wcslen(pText), 0, pRow});
        break;
    }
    case CellType::ObjectGUID:
        m_texts.push_back({nullptr, cell.objectName.size(), m_names.size(), pRow});
        m_names += cell.objectName;
        break;
    }
}

void SortKeys::SortInto(std::vector<const void*>& rows)
{
    rows.clear();
    if (m_keyType == CellType::Integer || m_keyType == CellType::Float)
    {
        std::stable_sort(m_numbers.begin(), m_numbers.end(),
                         [](const NumberKey& a, const NumberKey& b) { return a.order < b.order; });
        rows.reserve(m_numbers.size());
        for (const NumberKey& key : m_numbers)
            rows.push_back(key.pRow);
        return;
    }
    const auto shown = [this](const TextKey& key)
    {
        return std::wstring_view(key.pText ? key.pText : m_names.data() + key.nameBegin, key.length);
    };
    // Descending reverses the comparison, not the result, so that equal keys keep source order.
    std::stable_sort(m_texts.begin(), m_texts.end(),
                     [&](const TextKey& a, const TextKey& b)
                     {
                         return m_bDescending ? text::CompareUtf16(shown(b), shown(a)) < 0
                                              : text::CompareUtf16(shown(a), shown(b)) < 0;
                     });
    rows.reserve(m_texts.size());
    for (const TextKey& key : m_texts)
        rows.push_back(key.pRow);
}
