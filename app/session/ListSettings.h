// Sorting and filtering a result list by column title, as typed on the command line or in the view.
#pragma once

#include "host/results/FilteredListControl.h"

#include <optional>
#include <string>
#include <string_view>

namespace app
{

struct SortRequest
{
    std::wstring column;
    bool bDescending = false;
};

// "COLUMN", "COLUMN:asc" or "COLUMN:desc".
SortRequest ParseSortRequest(std::string_view text);

// The index of the column with exactly that title, or -1.
int FindColumn(const BaseFilteredListControl& list, std::wstring_view title);

// An operator and its operand: "~TEXT", "=V", ">=V", "<=V", ">V", "<V". With bPlainContains, text
// without an operator means "contains". nullopt when no operator leads the text.
std::optional<FilterCriterion> ParseCriterion(std::wstring_view text, bool bPlainContains);

// Each returns an empty text on success, otherwise why the request does not suit the list.
std::string ApplySort(BaseFilteredListControl& list, const SortRequest& request);
// "COLUMN" followed directly by an operator and its operand; pColumn receives the column's index.
// Whether a filter replaces the column's conditions or adds one more (several filters on one column
// must all pass).
enum class FilterMode
{
    Replace,
    Add,
};

std::string ApplyFilter(BaseFilteredListControl& list, std::wstring_view expression, int* pColumn = nullptr,
                        FilterMode mode = FilterMode::Replace);
std::string ApplyCriterion(BaseFilteredListControl& list, int column, const FilterCriterion& criterion,
                           FilterMode mode = FilterMode::Replace);

} // namespace app
