#pragma once
// The result grid's column layout as kept in section "ResDBGridEh" of set.ini: one key
// "ResDBGridEh.<field>" per column, its value seven decimal integers joined by ",":
//
//   place,width,sortMark,shown,sortIndex,dropDownRows,dropDownWidth      e.g. "1,200,0,1,0,7,0"
//
// All seven are written; only the place (column order) and the width are read back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

inline constexpr std::string_view kGridLayoutSection = "ResDBGridEh";

struct ColumnLayoutEntry {
    int place = 0; // in the column order, from 0
    int width = 0; // pixels
    int sortMark = 0;
    bool shown = true;
    int sortIndex = 0;
    int dropDownRows = 7;
    int dropDownWidth = 0;
};

// What start-up takes from a stored value: each number only when it reads as an integer.
struct StoredColumnLayout {
    std::optional<int> place;
    std::optional<int> width;
};

std::string ColumnLayoutKey(std::string_view field);
std::string FormatColumnLayout(const ColumnLayoutEntry& entry);
StoredColumnLayout ParseColumnLayout(std::string_view value);

// The column order after the restore: wantedPlaces[c] is the wanted place of the column now
// at place c. For each place from 0 upwards, the columns wanting it are moved there in turn;
// a wanted place outside the columns moves nothing. Returns the present places of the
// columns in their new order.
std::vector<int> OrderByWantedPlaces(const std::vector<int>& wantedPlaces);

} // namespace quorvia
