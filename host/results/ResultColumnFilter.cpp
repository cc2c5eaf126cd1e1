#include "host/results/ResultColumnFilter.h"

#include "host/base/TextCodec.h"
#include "host/services/ProjectManager.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <optional>

namespace
{

// A total order on doubles: NaN sorts after every number, so sorting stays well-defined.
int CompareNumbers(double a, double b)
{
    if (a < b)
        return -1;
    if (b < a)
        return 1;
    return static_cast<int>(std::isnan(a)) - static_cast<int>(std::isnan(b));
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

// The whole text as a finite number, surrounding blanks allowed.
std::optional<double> ParseNumber(const std::wstring& text)
{
    const wchar_t* pBegin = text.c_str();
    wchar_t* pEnd = nullptr;
    const double value = std::wcstod(pBegin, &pEnd);
    if (pEnd == pBegin || !std::isfinite(value))
        return std::nullopt;
    while (*pEnd != L'\0' && std::iswspace(static_cast<wint_t>(*pEnd)))
        ++pEnd;
    if (*pEnd != L'\0')
        return std::nullopt;
    return value;
}

template <class Compare> bool Satisfies(FilterCriterion::Op op, Compare compare)
{
    using Op = FilterCriterion::Op;
    switch (op)
    {
    case Op::Equal:
        return compare() == 0;
    case Op::Less:
        return compare() < 0;
    case Op::LessEqual:
        return compare() <= 0;
    case Op::Greater:
        return compare() > 0;
    case Op::GreaterEqual:
        return compare() >= 0;
    case Op::None:
    case Op::Contains:
        break;
    }
    return true;
}

int CompareText(const ResultCell& a, const ResultCell& b)
{
    return Sign(text::CompareUtf16(a.pText ? a.pText : L"", b.pText ? b.pText : L""));
}

int CompareInt(const ResultCell& a, const ResultCell& b)
{
    return (a.intValue > b.intValue) - (a.intValue < b.intValue);
}

int CompareFloat(const ResultCell& a, const ResultCell& b)
{
    return CompareNumbers(a.floatValue, b.floatValue);
}

int CompareObjectName(const ResultCell& a, const ResultCell& b)
{
    return Sign(text::CompareUtf16(a.objectName, b.objectName));
}

} // namespace

ResultColumnFilter::ResultColumnFilter(CellType type, const CStdStr<wchar_t>& columnTitle, int columnWidth,
                                       int flags, const CStdStr<wchar_t>& text)
    : title(columnTitle), width(columnWidth), cellType(type), m_nFlags(flags), m_text(text)
{
    m_dataCell.type = type;
    m_filterCell.type = type;
}

ResultColumnFilter::~ResultColumnFilter() = default;

std::optional<FilterCriterion> ResultColumnFilter::Accept(const FilterCriterion& criterion) const
{
    using Op = FilterCriterion::Op;
    FilterCriterion accepted = criterion;
    const bool bOrderOp = criterion.op != Op::None && criterion.op != Op::Contains;
    if (bOrderOp && IsNumeric())
    {
        if (!criterion.text.empty())
        {
            const std::optional<double> number = ParseNumber(criterion.text);
            if (!number)
                return std::nullopt;
            accepted.number = *number;
        }
        else if (!std::isfinite(criterion.number))
            return std::nullopt;
    }
    return accepted;
}

bool ResultColumnFilter::SetCriterion(const FilterCriterion& criterion)
{
    std::optional<FilterCriterion> accepted = Accept(criterion);
    if (!accepted)
        return false;
    m_criterion = std::move(*accepted);
    m_foldedOperand = text::FoldCase(m_criterion.text);
    m_moreCriteria.clear();
    m_filterCell.pText = m_criterion.text.c_str();
    m_filterCell.intValue = static_cast<std::int32_t>(m_criterion.number);
    m_filterCell.floatValue = static_cast<float>(m_criterion.number);
    return true;
}

bool ResultColumnFilter::AddCriterion(const FilterCriterion& criterion)
{
    if (!HasCriterion())
        return SetCriterion(criterion);
    std::optional<FilterCriterion> accepted = Accept(criterion);
    if (!accepted)
        return false;
    if (accepted->op != FilterCriterion::Op::None)
    {
        std::wstring folded = text::FoldCase(accepted->text);
        m_moreCriteria.emplace_back(std::move(*accepted), std::move(folded));
    }
    return true;
}

std::vector<FilterCriterion> ResultColumnFilter::GetCriteria() const
{
    std::vector<FilterCriterion> criteria;
    if (HasCriterion())
        criteria.push_back(m_criterion);
    for (const auto& [criterion, folded] : m_moreCriteria)
        criteria.push_back(criterion);
    return criteria;
}

bool ResultColumnFilter::Passes(const ResultCell& cell) const
{
    if (!HasCriterion() || !IsEnabled())
        return true;
    if (!Meets(cell, m_criterion, m_foldedOperand))
        return false;
    for (const auto& [criterion, folded] : m_moreCriteria)
    {
        if (!Meets(cell, criterion, folded))
            return false;
    }
    return true;
}

bool ResultColumnFilter::Meets(const ResultCell& cell, const FilterCriterion& criterion,
                               const std::wstring& foldedOperand) const
{
    using Op = FilterCriterion::Op;
    if (criterion.op == Op::Contains)
        return text::FoldCase(FormatCell(cell)).find(foldedOperand) != std::wstring::npos;
    if (IsNumeric())
        return Satisfies(criterion.op, [&] { return CompareNumbers(NumericValue(cell), criterion.number); });
    const std::wstring shown = FormatCell(cell);
    return Satisfies(criterion.op, [&] { return text::CompareUtf16(shown, criterion.text); });
}

double ResultColumnFilter::NumericValue(const ResultCell&) const
{
    return 0.0;
}

TextFilter::TextFilter(const CStdStr<wchar_t>& title, int width, int flags, const CStdStr<wchar_t>& text)
    : ResultColumnFilter(CellType::Text, title, width, flags, text)
{
}

ResultColumnFilter::CompareFunc TextFilter::GetCompareFunc() const
{
    return &CompareText;
}

void TextFilter::UpdateCell(ResultCell& cell, const void* pCellAddress) const
{
    cell.type = CellType::Text;
    cell.pText = nullptr;
    if (pCellAddress != nullptr)
        std::memcpy(&cell.pText, pCellAddress, sizeof(cell.pText));
}

std::wstring TextFilter::FormatCell(const ResultCell& cell) const
{
    return cell.pText ? std::wstring(cell.pText) : std::wstring();
}

void TextFilter::AppendCell(std::wstring& out, const ResultCell& cell) const
{
    if (cell.pText)
        out += cell.pText;
}

void NumberColumnFilter::SetFormat(int formatType, const CStdStr<wchar_t>& format)
{
    m_nFormatType = formatType;
    m_format = format;
}

IntFilter::IntFilter(const CStdStr<wchar_t>& title, int width, int flags, const CStdStr<wchar_t>& text)
    : NumberColumnFilter(CellType::Integer, title, width, flags, text)
{
}

ResultColumnFilter::CompareFunc IntFilter::GetCompareFunc() const
{
    return &CompareInt;
}

void IntFilter::UpdateCell(ResultCell& cell, const void* pCellAddress) const
{
    cell.type = CellType::Integer;
    cell.intValue = 0;
    // Counters are 64-bit; the column reads the first four bytes, the low half on this platform.
    if (pCellAddress != nullptr)
        std::memcpy(&cell.intValue, pCellAddress, sizeof(cell.intValue));
}

std::wstring IntFilter::FormatCell(const ResultCell& cell) const
{
    return std::to_wstring(cell.intValue);
}

void IntFilter::AppendCell(std::wstring& out, const ResultCell& cell) const
{
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), cell.intValue).ptr;
    out.append(digits, end);
}

double IntFilter::NumericValue(const ResultCell& cell) const
{
    return cell.intValue;
}

FloatFilter::FloatFilter(const CStdStr<wchar_t>& title, int width, int flags, const CStdStr<wchar_t>& text)
    : NumberColumnFilter(CellType::Float, title, width, flags, text)
{
}

ResultColumnFilter::CompareFunc FloatFilter::GetCompareFunc() const
{
    return &CompareFloat;
}

void FloatFilter::UpdateCell(ResultCell& cell, const void* pCellAddress) const
{
    cell.type = CellType::Float;
    cell.floatValue = 0.0f;
    if (pCellAddress != nullptr)
        std::memcpy(&cell.floatValue, pCellAddress, sizeof(cell.floatValue));
}

std::wstring FloatFilter::FormatCell(const ResultCell& cell) const
{
    CStdStr<wchar_t> shown;
    shown.Format(m_format.empty() ? L"%.1f" : m_format.c_str(), static_cast<double>(cell.floatValue));
    return shown;
}

// Filters compare what the user sees: 33.33 shown as "33.3" equals 33.3.
double FloatFilter::NumericValue(const ResultCell& cell) const
{
    const std::wstring shown = FormatCell(cell);
    return ParseNumber(shown).value_or(static_cast<double>(cell.floatValue));
}

VObjectGUIDFilter::VObjectGUIDFilter(const CStdStr<wchar_t>& title, int width, int flags,
                                     const CStdStr<wchar_t>& text)
    : ResultColumnFilter(CellType::ObjectGUID, title, width, flags, text)
{
}

ResultColumnFilter::CompareFunc VObjectGUIDFilter::GetCompareFunc() const
{
    return &CompareObjectName;
}

void VObjectGUIDFilter::UpdateCell(ResultCell& cell, const void* pCellAddress) const
{
    cell.type = CellType::ObjectGUID;
    cell.guid = GUID_NULL;
    cell.objectName.clear();
    if (pCellAddress == nullptr)
        return;
    std::memcpy(&cell.guid, pCellAddress, sizeof(GUID));
    if (IsNullGuid(cell.guid))
        return;
    if (IVObject* pObject = priv::LookupVObject(cell.guid))
    {
        cell.objectName.assign(pObject->GetName());
        priv::ReleaseObject(pObject);
    }
}

std::wstring VObjectGUIDFilter::FormatCell(const ResultCell& cell) const
{
    return cell.objectName;
}

void VObjectGUIDFilter::AppendCell(std::wstring& out, const ResultCell& cell) const
{
    out += cell.objectName;
}
