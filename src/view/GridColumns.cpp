#include "view/GridColumns.h"

#include "platform/Text.h"

#include <QDate>
#include <QLocale>
#include <algorithm>

namespace quorvia {

const std::array<GridColumn, kGridColumnCount>& GridColumns() {
    static constexpr std::array<GridColumn, kGridColumnCount> columns{{
        {"Keyword", "Search engine / Keyword", true, 200},
        {"url", "Web page", true, 200},
        {"Page", "Page", true, 0},
        {"Position", "Position", true, 0},
        {"LastPosition", "LastPosition", false, 0},
        {"ChangePosition", "Change", true, 0},
        {"BestPosition", "Best Position", true, 0},
        {"LastPage", "LastPage", false, 0},
        {"BestPage", "BestPage", false, 0},
        {"ChangePage", "ChangePage", false, 0},
    }};
    return columns;
}

int GridColumnIndex(std::string_view field) {
    const auto& columns = GridColumns();
    for (int i = 0; i < kGridColumnCount; ++i)
        if (EqualsIgnoreAsciiCase(columns[std::size_t(i)].field, field))
            return i;
    return -1;
}

bool IsNumberColumn(std::string_view field) {
    static constexpr std::array<std::string_view, 8> numbers{
        "Position", "LastPosition", "BestPosition", "ChangePosition",
        "Page",     "LastPage",     "BestPage",     "ChangePage"};
    return std::any_of(numbers.begin(), numbers.end(),
                       [&](std::string_view n) { return EqualsIgnoreAsciiCase(n, field); });
}

std::optional<std::string> WidthFieldName(std::string_view field) {
    if (!IsNumberColumn(field) || EqualsIgnoreAsciiCase(field, "ChangePage"))
        return std::nullopt;
    return "Text" + std::string(GridColumns()[std::size_t(GridColumnIndex(field))].field) + "Max";
}

std::string_view HintDateField(std::string_view field) {
    for (std::string_view f : {"ChangePosition", "ChangePage", "LastPosition", "LastPage"})
        if (EqualsIgnoreAsciiCase(field, f))
            return "DTLast";
    for (std::string_view f : {"BestPosition", "BestPage"})
        if (EqualsIgnoreAsciiCase(field, f))
            return "DTBest";
    return "DT";
}

std::string HintText(const std::optional<Date>& date) {
    if (!date)
        return {};
    const QDate qdate(date->Year(), int(date->Month()), int(date->Day()));
    return "Checked on: " + QLocale::system().toString(qdate, QLocale::ShortFormat).toStdString();
}

} // namespace quorvia
