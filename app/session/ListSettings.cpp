#include "app/session/ListSettings.h"

#include "host/base/TextCodec.h"

namespace app
{

namespace
{

struct OperatorText
{
    std::wstring_view text;
    FilterCriterion::Op op;
};

// Two-character operators first, so that ">=" is not read as ">" followed by "=".
constexpr OperatorText kOperators[] = {
    {L">=", FilterCriterion::Op::GreaterEqual}, {L"<=", FilterCriterion::Op::LessEqual},
    {L"~", FilterCriterion::Op::Contains},      {L"=", FilterCriterion::Op::Equal},
    {L">", FilterCriterion::Op::Greater},       {L"<", FilterCriterion::Op::Less},
};

bool IsNumberColumn(const ResultColumnFilter& column)
{
    return column.cellType == CellType::Integer || column.cellType == CellType::Float;
}

std::string Quoted(std::wstring_view text)
{
    return "'" + text::ToUtf8(text) + "'";
}

// "; its columns are 'A', 'B', 'C'": what a user may write instead of a title the list lacks.
std::string ColumnTitles(const BaseFilteredListControl& list)
{
    std::string titles = "; its columns are";
    for (int index = 0; index < list.ColumnCount(); ++index)
        titles += (index == 0 ? " " : ", ") + Quoted(list.GetColumn(index)->title);
    return titles;
}

} // namespace

SortRequest ParseSortRequest(std::string_view text)
{
    SortRequest request;
    if (text.ends_with(":desc"))
    {
        request.bDescending = true;
        text.remove_suffix(5);
    }
    else if (text.ends_with(":asc"))
        text.remove_suffix(4);
    request.column = text::FromUtf8(text);
    return request;
}

int FindColumn(const BaseFilteredListControl& list, std::wstring_view title)
{
    for (int index = 0; index < list.ColumnCount(); ++index)
    {
        if (list.GetColumn(index)->title == title)
            return index;
    }
    return -1;
}

std::optional<FilterCriterion> ParseCriterion(std::wstring_view text, bool bPlainContains)
{
    for (const OperatorText& entry : kOperators)
    {
        if (text.starts_with(entry.text))
        {
            FilterCriterion criterion;
            criterion.op = entry.op;
            criterion.text = text.substr(entry.text.size());
            return criterion;
        }
    }
    if (!bPlainContains)
        return std::nullopt;
    FilterCriterion criterion;
    criterion.op = text.empty() ? FilterCriterion::Op::None : FilterCriterion::Op::Contains;
    criterion.text = text;
    return criterion;
}

std::string ApplySort(BaseFilteredListControl& list, const SortRequest& request)
{
    const int column = FindColumn(list, request.column);
    if (column < 0)
        return "the list has no column " + Quoted(request.column) + ColumnTitles(list);
    list.SetSort(column, request.bDescending ? BaseFilteredListControl::SortDescending
                                             : BaseFilteredListControl::SortAscending);
    return {};
}

std::string ApplyCriterion(BaseFilteredListControl& list, int column, const FilterCriterion& criterion,
                           FilterMode mode)
{
    const ResultColumnFilter* pColumn = list.GetColumn(column);
    if (pColumn == nullptr)
        return "the list has no such column";
    if (IsNumberColumn(*pColumn) && criterion.op != FilterCriterion::Op::Contains &&
        criterion.op != FilterCriterion::Op::None && criterion.text.empty())
        return "column " + Quoted(pColumn->title) + " needs a number";
    const bool bApplied = mode == FilterMode::Add ? list.AddColumnFilter(column, criterion)
                                                  : list.SetColumnFilter(column, criterion);
    if (!bApplied)
        return "column " + Quoted(pColumn->title) + " needs a number, not " + Quoted(criterion.text);
    return {};
}

std::string ApplyFilter(BaseFilteredListControl& list, std::wstring_view expression, int* pColumn,
                        FilterMode mode)
{
    // The longest title that the expression starts with and that an operator follows: titles may
    // themselves hold characters that read as operators.
    int best = -1;
    std::size_t bestLength = 0;
    for (int index = 0; index < list.ColumnCount(); ++index)
    {
        const std::wstring_view title = list.GetColumn(index)->title;
        if (expression.starts_with(title) && title.size() >= bestLength &&
            ParseCriterion(expression.substr(title.size()), false))
        {
            best = index;
            bestLength = title.size();
        }
    }
    if (best < 0)
        return "the filter " + Quoted(expression) +
               " names no column of the list followed by ~ = < > <= or >=" + ColumnTitles(list);
    if (pColumn)
        *pColumn = best;
    return ApplyCriterion(list, best, *ParseCriterion(expression.substr(bestLength), false), mode);
}

} // namespace app
