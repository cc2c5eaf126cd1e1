// One printed statistic as its result list shows it: the columns, the rows in shown order and the
// cells as shown, with the exact counts behind the counter cells. Writers and the report read it; the
// session fills it from the list control.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace app::formats
{

enum class ColumnKind
{
    Text,
    // A 64-bit count; the list shows its low 32 bits as a signed number.
    Counter,
    // A share held as a 32-bit float and shown with one decimal.
    Percent,
    // A project object, shown by its name (empty when the project lacks it).
    Object,
};

struct Column
{
    std::string title;
    ColumnKind kind = ColumnKind::Text;
};

// All text is UTF-8.
struct Cell
{
    // As the list shows it.
    std::string text;
    // Counter cells: the exact count.
    std::uint64_t counter = 0;
    // Percent cells: the share as the list holds it, which orders the column.
    float share = 0;

    static Cell Text(std::string text);
    static Cell Object(std::string name);
    static Cell Counter(std::uint64_t count);
    static Cell Percent(float share);
};

// A part of what identifies a row from one capture to another: a path text or a GUID as written in
// files, or an argument position.
using KeyPart = std::variant<std::string, std::int64_t>;

// One value line of an event of "Dialogue Events Distribution": its cells under the value columns.
struct ValueLine
{
    std::vector<Cell> cells;
    // The argument's position, counted from 1; lines of one argument are drawn together.
    int argument = 0;
    // The event's id, the argument's position and the value's id.
    std::vector<KeyPart> key = {};
};

struct Row
{
    std::vector<Cell> cells;
    // The value lines in the order of the copy; only the distribution has them.
    std::vector<ValueLine> values;
    // The statistic's own key of the row: the path of "Paths Used", the event's id and the target's
    // id of "Dialogue Events Added", the event's id of "Dialogue Events Distribution".
    std::vector<KeyPart> key = {};
};

struct StatisticTable
{
    std::string name;
    bool inSync = true;
    std::vector<Column> columns;
    std::vector<Row> rows;
    // ["Value", "Count", "%"] for the distribution, empty otherwise.
    std::vector<Column> valueColumns;

    bool HasValues() const { return !valueColumns.empty(); }
};

// The value columns of "Dialogue Events Distribution".
std::vector<Column> DistributionValueColumns();

// A value line from the value list's label, count and share.
ValueLine MakeValueLine(int argument, std::string label, std::uint64_t count, float share);

} // namespace app::formats
