#pragma once
// The columns of the result grid and the rules that depend only on a column's field: which
// width of the width row lines its numbers up, and which date its hover hint shows.
// Toolkit-free; the grid widget draws and hovers by these.

#include "platform/Date.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace quorvia {

struct GridColumn {
    std::string_view field;   // the ResClientDataSet field the column shows
    std::string_view caption; // the title text
    bool shownAtStart;
    int initialWidth; // pixels; 0 takes the grid's default column width
};

inline constexpr int kGridColumnCount = 10;

// In their initial order: Keyword, url, Page, Position, LastPosition, ChangePosition,
// BestPosition, LastPage, BestPage, ChangePage.
const std::array<GridColumn, kGridColumnCount>& GridColumns();

// Index of the column bound to a field (matched without regard to ASCII case), or -1.
int GridColumnIndex(std::string_view field);

// The eight columns whose numbers are right-aligned behind the 16 free pixels.
bool IsNumberColumn(std::string_view field);

// The width-row field that holds the widest text of a number column ("Text" + field +
// "Max"); ChangePage has none.
std::optional<std::string> WidthFieldName(std::string_view field);

// Pixels kept free at the left of a number cell: a change picture (12) and 4.
inline constexpr int kNumberLeftFree = 16;

// How far right of the cell's left edge a number's text starts so that it ends at
// kNumberLeftFree + widestWidth.
constexpr int NumberTextOffset(int widestWidth, int textWidth) {
    return kNumberLeftFree + widestWidth - textWidth;
}

// The date field whose value the hover hint shows over a column: DTLast for the change and
// last columns, DTBest for the best columns, DT for the rest.
std::string_view HintDateField(std::string_view field);

// "Checked on: " and the date in the user's short date format; empty for no date.
std::string HintText(const std::optional<Date>& date);

} // namespace quorvia
