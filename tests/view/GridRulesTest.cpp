// Toolkit-free rules of the result grid: shading, number alignment, hint dates, layout keys.
#include "view/ColumnLayout.h"
#include "view/DarkenColor.h"
#include "view/GridColumns.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

using namespace quorvia;

TEST(DarkenColor, RoundsHalvesUpPerComponent) {
    struct Case {
        RgbColor in;
        int percent;
        RgbColor out;
    };
    const Case cases[] = {
        {{255, 255, 255}, 7, {237, 237, 237}}, // 255*7 = 1785 -> 18 (17.85)
        {{255, 255, 255}, 3, {247, 247, 247}}, // 7.65 -> 8
        {{10, 50, 0}, 5, {9, 47, 0}},          // 0.5 rounds up to 1; 2.5 -> 3
        {{200, 100, 1}, 0, {200, 100, 1}},     {{200, 100, 1}, 100, {0, 0, 0}},
        {{200, 100, 1}, 150, {0, 0, 0}}, // out of range: clamped, never wraps
    };
    for (const auto& c : cases)
        EXPECT_EQ(DarkenColor(c.in, c.percent), c.out) << c.percent;
}

TEST(GridColumns, TenColumnsInTheirOrderWithWidthFields) {
    const auto& columns = GridColumns();
    ASSERT_EQ(columns.size(), 10u);
    EXPECT_EQ(columns[0].field, "Keyword");
    EXPECT_EQ(columns[5].caption, "Change");
    EXPECT_EQ(GridColumnIndex("URL"), 1);
    EXPECT_EQ(GridColumnIndex("SENAME"), -1);
    EXPECT_EQ(WidthFieldName("Position"), "TextPositionMax");
    EXPECT_EQ(WidthFieldName("changeposition"), "TextChangePositionMax");
    EXPECT_EQ(WidthFieldName("ChangePage"), std::nullopt);
    EXPECT_EQ(WidthFieldName("url"), std::nullopt);
    EXPECT_TRUE(IsNumberColumn("ChangePage"));
    EXPECT_FALSE(IsNumberColumn("Keyword"));
    // 7 and 123 in a column whose widest text is 30 px wide end at the same x.
    EXPECT_EQ(NumberTextOffset(30, 10) + 10, NumberTextOffset(30, 30) + 30);
    EXPECT_EQ(NumberTextOffset(30, 30), 16);
}

TEST(HoverHint, DateFieldPerColumn) {
    const std::pair<const char*, const char*> cases[] = {
        {"Keyword", "DT"},
        {"url", "DT"},
        {"Page", "DT"},
        {"Position", "DT"},
        {"LastPosition", "DTLast"},
        {"ChangePosition", "DTLast"},
        {"ChangePage", "DTLast"},
        {"LastPage", "DTLast"},
        {"BestPosition", "DTBest"},
        {"BestPage", "DTBest"},
    };
    for (auto [column, date] : cases)
        EXPECT_EQ(HintDateField(column), date) << column;
}

TEST(HoverHint, CheckedOnInTheShortDateFormat) {
    EXPECT_EQ(HintText(std::nullopt), "");
    const std::string expected =
        "Checked on: " +
        QLocale::system().toString(QDate(2026, 3, 4), QLocale::ShortFormat).toStdString();
    EXPECT_EQ(HintText(Date(2026, 3, 4)), expected);
}

TEST(ColumnLayout, KeyAndSevenNumbers) {
    EXPECT_EQ(ColumnLayoutKey("url"), "ResDBGridEh.url");
    ColumnLayoutEntry entry;
    entry.place = 3;
    entry.width = 64;
    entry.shown = false;
    EXPECT_EQ(FormatColumnLayout(entry), "3,64,0,0,0,7,0");
}

TEST(ColumnLayout, ReadsPlaceAndWidthOnlyWhenReadable) {
    struct Case {
        const char* value;
        std::optional<int> place, width;
    };
    const Case cases[] = {
        {"1,200,0,1,0,7,0", 1, 200},    {"2,150", 2, 150},
        {"x,150,0", std::nullopt, 150}, {"4,wide,0", 4, std::nullopt},
        {"5", 5, std::nullopt},         {"", std::nullopt, std::nullopt},
        {" 6 , 70 ,0", 6, 70},          {"-1,99999999999", -1, std::nullopt},
    };
    for (const auto& c : cases) {
        const StoredColumnLayout stored = ParseColumnLayout(c.value);
        EXPECT_EQ(stored.place, c.place) << c.value;
        EXPECT_EQ(stored.width, c.width) << c.value;
    }
}

TEST(ColumnLayout, OrderFromWantedPlaces) {
    struct Case {
        std::vector<int> wanted;
        std::vector<int> order;
    };
    const Case cases[] = {
        {{1, 0, 2, 3}, {1, 0, 2, 3}},  // url before Keyword
        {{0, 1, 2, 3}, {0, 1, 2, 3}},  // unchanged
        {{3, 2, 1, 0}, {3, 2, 1, 0}},  // reversed
        {{0, 9, 2, -1}, {0, 1, 2, 3}}, // places outside the columns move nothing
        {{2, 0, 1}, {1, 2, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OrderByWantedPlaces(c.wanted), c.order);
}
