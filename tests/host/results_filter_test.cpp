#include "results_test_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace results_test;
using Op = FilterCriterion::Op;

namespace
{

FilterCriterion Criterion(Op op, std::wstring text)
{
    FilterCriterion c;
    c.op = op;
    c.text = std::move(text);
    return c;
}

template <class Filter, class Value> ResultCell Read(const Filter& filter, const Value& value)
{
    ResultCell cell;
    filter.UpdateCell(cell, &value);
    return cell;
}

// The cell's text; a copy appends it to what it has written so far instead, and the two must agree.
std::wstring Shown(const ResultColumnFilter& filter, const ResultCell& cell)
{
    std::wstring appended = L"|";
    filter.AppendCell(appended, cell);
    std::wstring formatted = filter.FormatCell(cell);
    EXPECT_EQ(appended, L"|" + formatted);
    return formatted;
}

} // namespace

TEST(ResultColumnFilter, CellsShowAsTheListShowsThem)
{
    const IntFilter counts(L"Added", 60, 1, L"");
    // A counter's low half, read as signed.
    EXPECT_EQ(Shown(counts, Read(counts, std::uint64_t{0x1'0000'0005})), L"5");
    EXPECT_EQ(Shown(counts, Read(counts, std::uint64_t{0xFFFF'FFFF'FFFF'FFFE})), L"-2");

    FloatFilter share(L"%", 40, 1, L"");
    EXPECT_EQ(Shown(share, Read(share, 66.66667f)), L"66.7");
    share.SetFormat(6, L"%.1f");
    EXPECT_EQ(share.GetFormatType(), 6);
    EXPECT_EQ(Shown(share, Read(share, 0.0f)), L"0.0");
    share.SetFormat(0, L"%.3f");
    EXPECT_EQ(Shown(share, Read(share, 0.5f)), L"0.500");

    const TextFilter names(L"Path", 150, 1, L"");
    const wchar_t* const pText = L"Greeting::Happy";
    EXPECT_EQ(Shown(names, Read(names, pText)), L"Greeting::Happy");
    EXPECT_EQ(Shown(names, Read(names, static_cast<const wchar_t*>(nullptr))), L"");
    EXPECT_EQ(names.title, L"Path");
    EXPECT_EQ(names.width, 150);
    EXPECT_EQ(names.cellType, CellType::Text);
}

TEST(ResultColumnFilter, ObjectCellsShowTheNameAndReleaseTheObject)
{
    OpenProject open;
    open.project.AddObject(MakeGuid(1), L"Greeting");
    const VObjectGUIDFilter objects(L"Dialogue Event Name", 100, 1, L"");

    EXPECT_EQ(Shown(objects, Read(objects, MakeGuid(1))), L"Greeting");
    EXPECT_EQ(Shown(objects, Read(objects, MakeGuid(2))), L"");
    EXPECT_EQ(Shown(objects, Read(objects, GUID_NULL)), L"");
    EXPECT_EQ(open.project.OutstandingReferences(), 0);

    // Sorted by shown name in UTF-16 order: upper case before lower case.
    open.project.AddObject(MakeGuid(3), L"alpha");
    const auto compare = objects.GetCompareFunc();
    EXPECT_LT(compare(Read(objects, MakeGuid(1)), Read(objects, MakeGuid(3))), 0);
    EXPECT_LT(compare(Read(objects, MakeGuid(2)), Read(objects, MakeGuid(1))), 0);
}

TEST(ResultColumnFilter, NumberColumnsNeedANumberToCompareWith)
{
    IntFilter counts(L"Count", 40, 1, L"");
    EXPECT_FALSE(counts.SetCriterion(Criterion(Op::Greater, L"ten")));
    EXPECT_FALSE(counts.SetCriterion(Criterion(Op::Equal, L"3x")));
    EXPECT_FALSE(counts.HasCriterion()); // a refused filter leaves the previous one
    EXPECT_TRUE(counts.SetCriterion(Criterion(Op::GreaterEqual, L" 3 ")));
    EXPECT_EQ(counts.GetCriterion().number, 3.0);
    EXPECT_FALSE(counts.SetCriterion(Criterion(Op::Less, L"nan")));
    EXPECT_EQ(counts.GetCriterion().op, Op::GreaterEqual);

    FilterCriterion byNumber;
    byNumber.op = Op::Less;
    byNumber.number = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(counts.SetCriterion(byNumber));
    byNumber.number = -1.5;
    EXPECT_TRUE(counts.SetCriterion(byNumber));

    // Contains needs no number, and text columns take any operand.
    EXPECT_TRUE(counts.SetCriterion(Criterion(Op::Contains, L"ten")));
    TextFilter names(L"Path", 150, 1, L"");
    EXPECT_TRUE(names.SetCriterion(Criterion(Op::Greater, L"ten")));
}

TEST(ResultColumnFilter, CriteriaCompareTheShownValue)
{
    FloatFilter share(L"%", 40, 1, L"");
    ASSERT_TRUE(share.SetCriterion(Criterion(Op::Equal, L"33.3")));
    EXPECT_TRUE(share.Passes(Read(share, 100.0f / 3.0f)));
    EXPECT_FALSE(share.Passes(Read(share, 33.36f)));
    ASSERT_TRUE(share.SetCriterion(Criterion(Op::Contains, L".7")));
    EXPECT_TRUE(share.Passes(Read(share, 66.66667f)));

    IntFilter counts(L"Count", 40, 1, L"");
    ASSERT_TRUE(counts.SetCriterion(Criterion(Op::Less, L"0")));
    EXPECT_TRUE(counts.Passes(Read(counts, std::uint64_t{0xFFFF'FFFF})));
    counts.Enable(false);
    EXPECT_TRUE(counts.Passes(Read(counts, std::uint64_t{7})));

    TextFilter names(L"Path", 150, 1, L"");
    const wchar_t* const pHappy = L"Greeting::HAPPY";
    ASSERT_TRUE(names.SetCriterion(Criterion(Op::Contains, L"happy")));
    EXPECT_TRUE(names.Passes(Read(names, pHappy)));
    ASSERT_TRUE(names.SetCriterion(Criterion(Op::Equal, L"Greeting::happy")));
    EXPECT_FALSE(names.Passes(Read(names, pHappy)));
    // Order operators on text compare UTF-16 code units: a non-BMP character is below U+FF21.
    const wchar_t* const pEmoji = L"\U0001F600";
    ASSERT_TRUE(names.SetCriterion(Criterion(Op::Less, L"\uFF21")));
    EXPECT_TRUE(names.Passes(Read(names, pEmoji)));
    ASSERT_TRUE(names.SetCriterion(Criterion(Op::None, L"")));
    EXPECT_TRUE(names.Passes(Read(names, pEmoji)));
}

TEST(ResultColumnFilter, SeveralConditionsOnOneColumnMustAllHold)
{
    IntFilter counts(L"Count", 40, 1, L"");
    // The first added condition starts the filter; later ones narrow it to a range.
    ASSERT_TRUE(counts.AddCriterion(Criterion(Op::Greater, L"1")));
    ASSERT_TRUE(counts.AddCriterion(Criterion(Op::Less, L"4")));
    EXPECT_FALSE(counts.AddCriterion(Criterion(Op::Less, L"four")));
    EXPECT_EQ(counts.GetCriteria().size(), 2u);
    EXPECT_FALSE(counts.Passes(Read(counts, std::uint64_t{1})));
    EXPECT_TRUE(counts.Passes(Read(counts, std::uint64_t{2})));
    EXPECT_FALSE(counts.Passes(Read(counts, std::uint64_t{4})));

    // Setting a filter replaces every condition.
    ASSERT_TRUE(counts.SetCriterion(Criterion(Op::GreaterEqual, L"4")));
    EXPECT_EQ(counts.GetCriteria().size(), 1u);
    EXPECT_TRUE(counts.Passes(Read(counts, std::uint64_t{9})));
}
