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
    m_nSorted = 0;
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

void SortKeys::Add(const void* pRow, std::uint32_t rank, const ResultCell& cell)
{
    switch (m_keyType)
    {
    case CellType::Integer:
        m_numbers.push_back({OrderOf(static_cast<double>(cell.intValue), m_bDescending), rank, pRow});
        break;
    case CellType::Float:
        m_numbers.push_back({OrderOf(static_cast<double>(cell.floatValue), m_bDescending), rank, pRow});
        break;
    case CellType::Text:
    {
        const wchar_t* pText = cell.pText ? cell.pText : L"";
        m_texts.push_back({pText, std::wcslen(pText), 0, rank, pRow});
        break;
    }
    case CellType::ObjectGUID:
        m_texts.push_back({nullptr, cell.objectName.size(), m_names.size(), rank, pRow});
        m_names += cell.objectName;
        break;
    }
}

bool SortKeys::Before(const NumberKey& a, const NumberKey& b) const
{
    return a.order != b.order ? a.order < b.order : a.rank < b.rank;
}

// Descending reverses the comparison, not the result, so that equal keys keep source order.
bool SortKeys::Before(const TextKey& a, const TextKey& b) const
{
    const auto shown = [this](const TextKey& key)
    {
        return std::wstring_view(key.pText ? key.pText : m_names.data() + key.nameBegin, key.length);
    };
    const int order =
        m_bDescending ? text::CompareUtf16(shown(b), shown(a)) : text::CompareUtf16(shown(a), shown(b));
    return order != 0 ? order < 0 : a.rank < b.rank;
}

void SortKeys::SortInto(std::vector<const void*>& rows, const std::vector<bool>* pChanged)
{
    if (m_keyType == CellType::Integer || m_keyType == CellType::Float)
        Order(m_numbers, pChanged, rows);
    else
        Order(m_texts, pChanged, rows);
}

template <class Key>
void SortKeys::Order(std::vector<Key>& keys, const std::vector<bool>* pChanged,
                     std::vector<const void*>& rows)
{
    const auto before = [this](const Key& a, const Key& b)
    {
        return Before(a, b);
    };
    if (pChanged == nullptr)
        std::sort(keys.begin(), keys.end(), before);
    else
    {
        std::vector<Key> changed(keys.begin() + static_cast<std::ptrdiff_t>(m_nSorted), keys.end());
        std::sort(changed.begin(), changed.end(), before);
        keys.resize(m_nSorted);
        std::erase_if(keys, [pChanged](const Key& key) { return (*pChanged)[key.rank]; });
        keys.resize(keys.size() + changed.size());
        // Each changed row finds its place among the kept ones by binary search, and the kept ones
        // above it move up to make room: kept texts, which lie all over memory, are rarely compared.
        auto keptEnd = keys.end() - static_cast<std::ptrdiff_t>(changed.size());
        auto out = keys.end();
        for (auto key = changed.rbegin(); key != changed.rend(); ++key)
        {
            const auto above = std::upper_bound(keys.begin(), keptEnd, *key, before);
            out = std::move_backward(above, keptEnd, out);
            *--out = *key;
            keptEnd = above;
        }
    }
    m_nSorted = keys.size();
    rows.clear();
    rows.reserve(keys.size());
    for (const Key& key : keys)
        rows.push_back(key.pRow);
}
