// Column filters: each is at once a column of a result list (title, width, cell type) and the user's
// filter on it. A cell address is read according to the cell type.
#pragma once

#include "host/base/Guid.h"
#include "host/base/StdStr.h"
#include "host/results/FilteredDataList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class CellType
{
    Text,       // the address of a pointer to zero-terminated text
    Integer,    // the address of a 32-bit signed integer (the low half of a 64-bit counter)
    Float,      // the address of a 32-bit float
    ObjectGUID, // the address of a GUID; shown as the object's name
};

// One cell's value, read while the cell's address is valid.
struct ResultCell
{
    CellType type = CellType::Text;
    const wchar_t* pText = nullptr;
    std::int32_t intValue = 0;
    float floatValue = 0.0f;
    GUID guid;
    // The object's name for object cells, resolved when the cell is read.
    std::wstring objectName;
};

// The user's filter on a column.
struct FilterCriterion
{
    enum class Op
    {
        None,
        Contains, // the shown text contains the operand, ignoring case
        Equal,
        Less,
        LessEqual,
        Greater,
        GreaterEqual,
    };
    Op op = Op::None;
    std::wstring text;
    double number = 0.0;
};

class ResultColumnFilter : public FilteredDataList::IDataFilter
{
public:
    // Negative, zero or positive as a sorts before, with or after b.
    using CompareFunc = int (*)(const ResultCell& a, const ResultCell& b);

    ResultColumnFilter(CellType cellType, const CStdStr<wchar_t>& title, int width, int flags,
                       const CStdStr<wchar_t>& text);
    ~ResultColumnFilter() override;

    virtual CompareFunc GetCompareFunc() const = 0;
    // Scratch cell for reading data, and the cell that holds the user's filter value.
    virtual ResultCell& GetDataCell() { return m_dataCell; }
    virtual ResultCell& GetFilterCell() { return m_filterCell; }
    // Reads the value at the cell address into the cell.
    virtual void UpdateCell(ResultCell& cell, const void* pCellAddress) const = 0;
    virtual void Enable(bool bEnable) { m_bEnabled = bEnable; }
    virtual bool IsEnabled() const { return m_bEnabled; }

    // The cell as the list shows it.
    virtual std::wstring FormatCell(const ResultCell& cell) const = 0;
    // The same text added to `out`; a copy of a large list writes every cell, so the usual columns
    // write theirs without a string of their own.
    virtual void AppendCell(std::wstring& out, const ResultCell& cell) const { out += FormatCell(cell); }

    // The user's filter; false when the operand does not suit the column (a number column needs a
    // number for =, <, <=, >, >=), and the previous filter stays. On a number column a non-empty text
    // is the operand and must read as a number as a whole; an empty text leaves the number as given.
    bool SetCriterion(const FilterCriterion& criterion);
    // One more condition on the same column, e.g. a range; a cell passes when it meets all of them.
    bool AddCriterion(const FilterCriterion& criterion);
    const FilterCriterion& GetCriterion() const { return m_criterion; }
    // Every condition in force, the first one (GetCriterion) included.
    std::vector<FilterCriterion> GetCriteria() const;
    bool HasCriterion() const { return m_criterion.op != FilterCriterion::Op::None; }
    bool Passes(const ResultCell& cell) const;

    const CStdStr<wchar_t> title;
    const int width;
    const CellType cellType;

protected:
    // The criterion as the column takes it (a number column's operand read as a number), or nothing.
    std::optional<FilterCriterion> Accept(const FilterCriterion& criterion) const;
    bool Meets(const ResultCell& cell, const FilterCriterion& criterion,
               const std::wstring& foldedOperand) const;

    // The shown value of a number cell, for comparisons with a number.
    virtual double NumericValue(const ResultCell& cell) const;
    virtual bool IsNumeric() const { return false; }

    ResultCell m_dataCell;
    ResultCell m_filterCell;
    FilterCriterion m_criterion;
    // The operand in the case-folded form that Contains matches against.
    std::wstring m_foldedOperand;
    // Conditions added after the first, with their folded operands.
    std::vector<std::pair<FilterCriterion, std::wstring>> m_moreCriteria;
    int m_nFlags;
    CStdStr<wchar_t> m_text;
    bool m_bEnabled = true;
};

class TextFilter : public ResultColumnFilter
{
public:
    TextFilter(const CStdStr<wchar_t>& title, int width, int flags, const CStdStr<wchar_t>& text);
    CompareFunc GetCompareFunc() const override;
    void UpdateCell(ResultCell& cell, const void* pCellAddress) const override;
    std::wstring FormatCell(const ResultCell& cell) const override;
    void AppendCell(std::wstring& out, const ResultCell& cell) const override;
};

class NumberColumnFilter : public ResultColumnFilter
{
public:
    using ResultColumnFilter::ResultColumnFilter;

    // Format type and printf format of the shown number; the format takes a double and applies to
    // float columns (integers always show as signed decimal).
    void SetFormat(int formatType, const CStdStr<wchar_t>& format);
    int GetFormatType() const { return m_nFormatType; }

protected:
    bool IsNumeric() const override { return true; }

    int m_nFormatType = 0;
    CStdStr<wchar_t> m_format;
};

class IntFilter : public NumberColumnFilter
{
public:
    IntFilter(const CStdStr<wchar_t>& title, int width, int flags, const CStdStr<wchar_t>& text);
    CompareFunc GetCompareFunc() const override;
    void UpdateCell(ResultCell& cell, const void* pCellAddress) const override;
    std::wstring FormatCell(const ResultCell& cell) const override;
    void AppendCell(std::wstring& out, const ResultCell& cell) const override;

protected:
    double NumericValue(const ResultCell& cell) const override;
};

class FloatFilter : public NumberColumnFilter
{
public:
    FloatFilter(const CStdStr<wchar_t>& title, int width, int flags, const CStdStr<wchar_t>& text);
    CompareFunc GetCompareFunc() const override;
    void UpdateCell(ResultCell& cell, const void* pCellAddress) const override;
    // With one decimal unless SetFormat gave another format.
    std::wstring FormatCell(const ResultCell& cell) const override;

protected:
    double NumericValue(const ResultCell& cell) const override;
};

class VObjectGUIDFilter : public ResultColumnFilter
{
public:
    VObjectGUIDFilter(const CStdStr<wchar_t>& title, int width, int flags, const CStdStr<wchar_t>& text);
    CompareFunc GetCompareFunc() const override;
    // Resolves the object's name; empty for the null GUID or an object the project lacks.
    void UpdateCell(ResultCell& cell, const void* pCellAddress) const override;
    std::wstring FormatCell(const ResultCell& cell) const override;
    void AppendCell(std::wstring& out, const ResultCell& cell) const override;
};
