// The result grid rendered offscreen: shades, alignment, arrows and link colours read back
// from the pixels; hover hints; the column layout in set.ini; the column chooser.
#include "view/ResultsGrid.h"
#include "platform/ProfileFile.h"
#include "store/Tables.h"
#include "view/ColumnForm.h"
#include "view/GridColumns.h"
#include "view/ImageList.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

using namespace quorvia;

namespace {

// One application for the whole run, ended before static destruction begins.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[11] = "grid_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};
[[maybe_unused]] const auto* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

struct TRowValues {
    std::string engine, keyword;
    std::optional<std::string> url; // none: an engine row
    std::vector<std::pair<const char*, int>> numbers;
    std::vector<std::pair<const char*, Date>> dates;
};

// Rows 0..5: engine Alpha, two Alpha results, engine Beta, a not-found row, a Beta result.
const std::vector<TRowValues>& Rows() {
    static const std::vector<TRowValues> rows{
        {"Alpha", "Alpha", std::nullopt, {}, {}},
        {"Alpha",
         "seo tools",
         "/index.html",
         {{"Position", 7}, {"Page", 1}, {"ChangePosition", 3}, {"BestPosition", 5}},
         {{"DT", Date(2026, 3, 4)}, {"DTLast", Date(2026, 2, 3)}, {"DTBest", Date(2026, 1, 2)}}},
        {"Alpha",
         "seo tools",
         "/a",
         {{"Position", 123}, {"Page", 13}, {"ChangePosition", -2}, {"BestPosition", 99}},
         {{"DT", Date(2026, 3, 4)}}},
        {"Beta", "Beta", std::nullopt, {}, {}},
        {"Beta",
         "seo",
         "Not in first 50 results",
         {{"BestPosition", 9}},
         {{"DTBest", Date(2025, 12, 1)}}},
        {"Beta", "seo", "/b", {{"Position", 4}, {"Page", 1}}, {{"DT", Date(2026, 3, 4)}}},
    };
    return rows;
}

class ResultsGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const TRowValues& row : Rows()) {
            auto& t = tables.ResClientDataSet;
            t.Append();
            t.FieldByName("SiteName").SetAsString("example.com");
            t.FieldByName("SENAME").SetAsString(row.engine);
            t.FieldByName("Keyword").SetAsString(row.keyword);
            if (row.url)
                t.FieldByName("url").SetAsString(*row.url);
            for (auto [field, value] : row.numbers)
                t.FieldByName(field).SetAsInteger(value);
            for (auto [field, value] : row.dates)
                t.FieldByName(field).SetAsDate(value);
            t.Post();
        }
        grid = std::make_unique<TResultsGrid>(tables.ResClientDataSet, tables.ResMinClientDataSet);
        grid->SetCurrentEngineSource([this] { return currentEngine; });
        MeasureWidths();
        tables.ResClientDataSet.First();
        grid->resize(900, 300);
        grid->show();
        QApplication::processEvents();
    }

    // The width row as the view builder fills it, measured by the grid.
    void MeasureWidths() {
        auto& widths = tables.ResMinClientDataSet;
        widths.EmptyDataSet();
        widths.Append();
        for (const char* field : {"ChangePosition", "Position", "LastPosition", "BestPosition",
                                  "Page", "LastPage", "BestPage"}) {
            int widest = 0;
            for (const TRowValues& row : Rows())
                for (auto [f, value] : row.numbers)
                    if (std::string_view(f) == field)
                        widest = std::max(widest, grid->NumberTextWidth(std::to_string(value)));
            widths.FieldByName(std::string("Text") + field + "Max").SetAsInteger(widest);
        }
        widths.Post();
    }

    QRect Cell(int row, std::string_view field) const {
        return grid->visualRect(grid->model()->index(row, GridColumnIndex(field)));
    }
    QImage Render() const { return grid->viewport()->grab().toImage(); }

    TTables tables;
    std::string currentEngine = "Alpha";
    std::unique_ptr<TResultsGrid> grid;
};

QColor At(const QImage& image, QPoint p) {
    return image.pixelColor(p);
}
bool IsInk(const QColor& c) {
    return c.lightness() < 150;
}

// Horizontal extent of the ink in a cell, from its left edge; {-1,-1} when there is none.
std::pair<int, int> InkSpan(const QImage& image, const QRect& cell,
                            const std::function<bool(const QColor&)>& ink = IsInk) {
    int first = -1, last = -1;
    for (int x = cell.left(); x < cell.right(); ++x)
        for (int y = cell.top(); y < cell.bottom(); ++y)
            if (ink(image.pixelColor(x, y))) {
                if (first < 0)
                    first = x - cell.left();
                last = x - cell.left();
            }
    return {first, last};
}

int CountPixels(const QImage& image, const QRect& area,
                const std::function<bool(const QColor&)>& test) {
    int n = 0;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            n += test(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}

bool Reddish(const QColor& c) {
    return c.red() > c.green() + 60 && c.red() > c.blue() + 60;
}
bool Bluish(const QColor& c) {
    return c.blue() > c.red() + 60 && c.blue() > c.green() + 30;
}

} // namespace

TEST_F(ResultsGridTest, ShadesEngineRowsAndTheCurrentEnginesRows) {
    ASSERT_EQ(grid->palette().color(QPalette::Base), QColor(Qt::white));
    const QImage image = Render();
    // Row 0 is current (selected); row 3 is Beta's engine row, rows 1-2 Alpha's results.
    for (const char* field : {"Keyword", "Page", "BestPosition"}) {
        const QRect engine = Cell(3, field);
        EXPECT_EQ(At(image, {engine.right() - 2, engine.center().y()}), QColor(237, 237, 237))
            << field;
    }
    for (int row : {1, 2}) {
        const QRect cell = Cell(row, "url");
        EXPECT_EQ(At(image, {cell.right() - 2, cell.center().y()}), QColor(247, 247, 247)) << row;
    }
    const QRect other = Cell(5, "url");
    EXPECT_EQ(At(image, {other.right() - 2, other.center().y()}), QColor(255, 255, 255));

    // Following another engine moves the light shade to its rows.
    currentEngine = "Beta";
    grid->viewport()->update();
    const QImage beta = Render();
    EXPECT_EQ(At(beta, {other.right() - 2, other.center().y()}), QColor(247, 247, 247));
    const QRect alpha = Cell(1, "url");
    EXPECT_EQ(At(beta, {alpha.right() - 2, alpha.center().y()}), QColor(255, 255, 255));
}

TEST_F(ResultsGridTest, NumbersEndAtTheSameXBehindSixteenFreePixels) {
    const QImage image = Render();
    const auto seven = InkSpan(image, Cell(1, "Position"));
    const auto hundreds = InkSpan(image, Cell(2, "Position"));
    ASSERT_GE(seven.first, 0);
    ASSERT_GE(hundreds.first, 0);
    EXPECT_NEAR(seven.second, hundreds.second, 1);
    EXPECT_GT(hundreds.second - hundreds.first, seven.second - seven.first + 5);
    EXPECT_GE(hundreds.first, 16);
    // An empty number cell shows nothing.
    EXPECT_EQ(InkSpan(image, Cell(4, "Position")).first, -1);
}

TEST_F(ResultsGridTest, ChangeCellsCarryTheirArrow) {
    const QImage image = Render();
    auto arrowArea = [&](int row) {
        const QRect cell = Cell(row, "ChangePosition");
        return QRect(cell.left() + 2, cell.top(), 12, 12);
    };
    EXPECT_GT(CountPixels(image, arrowArea(1), Bluish), 10);
    EXPECT_EQ(CountPixels(image, arrowArea(1), Reddish), 0);
    EXPECT_GT(CountPixels(image, arrowArea(2), Reddish), 10);
    EXPECT_EQ(CountPixels(image, arrowArea(2), Bluish), 0);
    // No change (null) draws neither a picture nor a number.
    EXPECT_EQ(InkSpan(image, Cell(5, "ChangePosition"),
                      [](const QColor& c) { return c != QColor(255, 255, 255); })
                  .first,
              -1);
    // The negative change shows its sign: wider than a one-digit value.
    auto text = [](const QColor& c) {
        return IsInk(c) &&
               std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) <
                   40;
    };
    const auto minusTwo = InkSpan(image, Cell(2, "ChangePosition"), text);
    const auto three = InkSpan(image, Cell(1, "ChangePosition"), text);
    EXPECT_GE(three.first, 16);
    EXPECT_GE(minusTwo.first, 16);
    EXPECT_NEAR(minusTwo.second, three.second, 1);
    EXPECT_GT(minusTwo.second - minusTwo.first, three.second - three.first);
}

TEST_F(ResultsGridTest, AddressesAreLinksAndNotFoundTextIsMaroon) {
    const QImage image = Render();
    const QColor link = grid->palette().color(QPalette::Link);
    auto nearLink = [&](const QColor& c) {
        return std::abs(c.red() - link.red()) + std::abs(c.green() - link.green()) +
                   std::abs(c.blue() - link.blue()) <
               40;
    };
    auto maroon = [](const QColor& c) {
        return c.red() >= 110 && c.red() <= 150 && c.green() < 30 && c.blue() < 30;
    };
    const QRect found = Cell(1, "url");
    const QRect notFound = Cell(4, "url");
    EXPECT_GT(CountPixels(image, found, nearLink), 10);
    EXPECT_EQ(CountPixels(image, found, maroon), 0);
    EXPECT_GT(CountPixels(image, notFound, maroon), 10);
    EXPECT_EQ(CountPixels(image, notFound, nearLink), 0);
    // The underline: one row of the found cell carries link ink across the whole text.
    const auto span = InkSpan(image, found, nearLink);
    int longestRun = 0;
    for (int y = found.top(); y < found.bottom(); ++y)
        longestRun = std::max(
            longestRun, CountPixels(image, QRect(found.left(), y, found.width(), 1), nearLink));
    EXPECT_GE(longestRun, span.second - span.first - 1);
    const auto notFoundSpan = InkSpan(image, notFound, maroon);
    int longestMaroon = 0;
    for (int y = notFound.top(); y < notFound.bottom(); ++y)
        longestMaroon =
            std::max(longestMaroon,
                     CountPixels(image, QRect(notFound.left(), y, notFound.width(), 1), maroon));
    EXPECT_LT(longestMaroon, (notFoundSpan.second - notFoundSpan.first) / 2);
}

TEST_F(ResultsGridTest, KeywordsStartTenPixelsRightOfEngineNames) {
    const QImage image = Render();
    const int engine = InkSpan(image, Cell(3, "Keyword")).first;
    const int keyword = InkSpan(image, Cell(5, "Keyword")).first;
    ASSERT_GE(engine, 0);
    EXPECT_NEAR(keyword - engine, 10, 2);
    EXPECT_LE(engine, 4);
}

TEST_F(ResultsGridTest, HoverHintShowsTheDateOfTheColumn) {
    auto& results = tables.ResClientDataSet;
    results.MoveTo(1);
    int scrolls = 0;
    results.AfterScroll = [&](TClientDataSet&) { ++scrolls; };
    const std::string engineBefore = currentEngine;

    struct Case {
        int row;
        const char* field;
        std::optional<Date> date;
    };
    const Case cases[] = {
        {2, "Page", Date(2026, 3, 4)},     {1, "BestPosition", Date(2026, 1, 2)},
        {1, "Page", Date(2026, 3, 4)},     {1, "ChangePosition", Date(2026, 2, 3)},
        {1, "Keyword", Date(2026, 3, 4)},  {0, "Keyword", std::nullopt},
        {0, "BestPosition", std::nullopt}, {4, "BestPosition", Date(2025, 12, 1)},
        {4, "Position", std::nullopt},     {3, "Page", std::nullopt},
    };
    for (const Case& c : cases) {
        const QRect cell = Cell(c.row, c.field);
        grid->ResDBGridEhMouseMove(cell.center());
        EXPECT_EQ(grid->HintText().toStdString(), quorvia::HintText(c.date))
            << c.row << " " << c.field;
        EXPECT_EQ(grid->LastHintCell(), (GridCell{GridColumnIndex(c.field), c.row + 1}));
    }
    EXPECT_EQ(results.RecNo(), 1);
    EXPECT_EQ(scrolls, 0);
    EXPECT_EQ(currentEngine, engineBefore);
    EXPECT_EQ(grid->currentIndex().row(), 1);
}

TEST_F(ResultsGridTest, HintIsWorkedOutOnlyWhenThePointerEntersAnotherCell) {
    const QRect page = Cell(1, "Page");
    grid->ResDBGridEhMouseMove(page.center());
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), grid->HintText());
    const QString first = grid->HintText();

    auto& results = tables.ResClientDataSet;
    results.MoveTo(1);
    results.Edit();
    results.FieldByName("DT").SetAsDate(Date(2026, 5, 6));
    results.Post();
    grid->ResDBGridEhMouseMove(page.center() + QPoint(3, 1)); // same cell: not looked up
    EXPECT_EQ(grid->HintText(), first);
    grid->ResDBGridEhMouseMove(Cell(1, "Position").center()); // the neighbour
    EXPECT_EQ(grid->HintText().toStdString(), quorvia::HintText(Date(2026, 5, 6)));
    EXPECT_EQ(QToolTip::text(), grid->HintText());

    // Over no cell: the hint goes, LastHintCell stays.
    grid->ResDBGridEhMouseMove(QPoint(5, grid->viewport()->height() - 2));
    EXPECT_TRUE(grid->HintText().isEmpty());
    EXPECT_EQ(grid->LastHintCell(), (GridCell{GridColumnIndex("Position"), 2}));
}

TEST_F(ResultsGridTest, EveryTitleCutOffShowsItsWholeCaptionAsAHint) {
    auto cutTitles = [&] {
        std::vector<std::string> cut;
        for (int c = 0; c < kGridColumnCount; ++c)
            if (grid->IsColumnShown(GridColumns()[std::size_t(c)].field) && grid->IsTitleCut(c))
                cut.push_back(std::string(GridColumns()[std::size_t(c)].caption));
        return cut;
    };
    grid->resize(1200, 300);
    QApplication::processEvents();
    EXPECT_EQ(cutTitles(), std::vector<std::string>()); // every title whole
    grid->resize(420, 300);
    QApplication::processEvents();
    const std::vector<std::string> cut = cutTitles();
    for (const char* caption : {"Position", "Best Position"})
        EXPECT_NE(std::find(cut.begin(), cut.end(), caption), cut.end()) << caption;
}

TEST_F(ResultsGridTest, PageLinksOpenOnDoubleClickOrCtrlClickAndSaySoInTheirHint) {
    std::vector<int> opened;
    QObject::connect(grid.get(), &TResultsGrid::PageLinkActivated,
                     [&](int row) { opened.push_back(row); });
    QWidget* cells = grid->viewport();
    QTest::mouseClick(cells, Qt::LeftButton, {}, Cell(1, "url").center());
    EXPECT_TRUE(opened.empty()); // a plain click only selects
    QTest::mouseDClick(cells, Qt::LeftButton, {}, Cell(1, "url").center());
    QTest::mouseClick(cells, Qt::LeftButton, Qt::ControlModifier, Cell(5, "url").center());
    // Neither a "not found" row, nor an engine row, nor another column opens anything.
    QTest::mouseDClick(cells, Qt::LeftButton, {}, Cell(4, "url").center());
    QTest::mouseDClick(cells, Qt::LeftButton, {}, Cell(0, "url").center());
    QTest::mouseDClick(cells, Qt::LeftButton, {}, Cell(2, "Position").center());
    EXPECT_EQ(opened, (std::vector<int>{1, 5}));

    grid->ResDBGridEhMouseMove(Cell(2, "url").center());
    EXPECT_EQ(grid->HintText().toStdString(),
              quorvia::HintText(Date(2026, 3, 4)) + "\n" + TResultsGrid::PageLinkHint);
}

TEST_F(ResultsGridTest, AnEqualHintOfTheNextCellStaysShown) {
    // Rows 1 and 2 were checked on the same day: Page, Position and the next row's Page all
    // give the same hint. Each must still be showing well after Qt's delayed hide would have
    // taken it away.
    const QString hint = QString::fromStdString(quorvia::HintText(Date(2026, 3, 4)));
    for (const QRect& cell : {Cell(1, "Page"), Cell(1, "Position"), Cell(2, "Page")}) {
        grid->ResDBGridEhMouseMove(cell.center());
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 600)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(QToolTip::isVisible()) << cell.x() << "," << cell.y();
        EXPECT_EQ(QToolTip::text(), hint);
    }
}

TEST_F(ResultsGridTest, FollowsTheTablesCurrentRowAndMovesIt) {
    auto& results = tables.ResClientDataSet;
    EXPECT_EQ(grid->currentIndex().row(), 0);
    results.MoveTo(4);
    EXPECT_EQ(grid->currentIndex().row(), 4);
    int scrolls = 0;
    results.AfterScroll = [&](TClientDataSet&) { ++scrolls; };
    grid->setCurrentIndex(grid->model()->index(2, 0));
    EXPECT_EQ(results.RecNo(), 2);
    EXPECT_EQ(scrolls, 1);
    // A rebuild with the controls switched off reaches the grid when they come back.
    results.DisableControls();
    results.EmptyDataSet();
    results.Append();
    results.FieldByName("SENAME").SetAsString("Gamma");
    results.FieldByName("Keyword").SetAsString("Gamma");
    results.Post();
    EXPECT_EQ(grid->model()->rowCount(), 6);
    results.EnableControls();
    results.First();
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

TEST_F(ResultsGridTest, ColumnsCaptionsAndVisibleColumnsFillTheWidth) {
    const std::vector<std::string> captions = {
        "Search engine / Keyword", "Web page", "Page",     "Position",  "LastPosition", "Change",
        "Best Position",           "LastPage", "BestPage", "ChangePage"};
    int shownWidth = 0;
    for (int c = 0; c < kGridColumnCount; ++c) {
        EXPECT_EQ(grid->model()->headerData(c, Qt::Horizontal).toString().toStdString(),
                  captions[std::size_t(c)]);
        if (!grid->isColumnHidden(c))
            shownWidth += grid->columnWidth(c);
    }
    EXPECT_EQ(shownWidth, grid->viewport()->width());
    // Initial widths 200, 200 and 64 for the rest, in proportion.
    EXPECT_NEAR(double(grid->columnWidth(0)) / grid->columnWidth(2), 200.0 / 64, 0.1);
    EXPECT_FALSE(grid->IsColumnShown("LastPosition"));
    EXPECT_TRUE(grid->IsColumnShown("ChangePosition"));

    grid->resize(600, 300);
    QApplication::processEvents();
    shownWidth = 0;
    for (int c = 0; c < kGridColumnCount; ++c)
        shownWidth += grid->isColumnHidden(c) ? 0 : grid->columnWidth(c);
    EXPECT_EQ(shownWidth, grid->viewport()->width());

    // A column dragged wider takes the room from the columns after it.
    const int keyword = grid->columnWidth(0);
    grid->horizontalHeader()->resizeSection(1, grid->columnWidth(1) + 40);
    EXPECT_EQ(grid->columnWidth(0), keyword);
    shownWidth = 0;
    for (int c = 0; c < kGridColumnCount; ++c)
        shownWidth += grid->isColumnHidden(c) ? 0 : grid->columnWidth(c);
    EXPECT_EQ(shownWidth, grid->viewport()->width());
}

TEST_F(ResultsGridTest, TitlePicturesCarryTheCaptionBehindTheirImage) {
    const QList<QImage>& titles = grid->TitleImageList();
    ASSERT_EQ(titles.size(), 6);
    QFont font = grid->ColumnFont();
    font.setUnderline(true);
    const QFontMetrics metrics(font);
    const int widest = metrics.horizontalAdvance(QStringLiteral("Search engine / Keyword"));
    for (const QImage& title : titles) {
        EXPECT_EQ(title.width(), widest + 16);
        EXPECT_EQ(title.height(), std::max(12, metrics.height()));
    }
    const int expected[] = {0, 1, 2, 3, -1, 4, 5, -1, -1, -1};
    for (int c = 0; c < kGridColumnCount; ++c)
        EXPECT_EQ(grid->TitlePictureIndex(c), expected[c]) << c;
    // The "Change" title shows picture 6 at x = 2 and text from x = 16.
    const QImage& change = titles[4];
    const QImage& arrows = ImageList()[6];
    const int top = (change.height() - 12) / 2 + 1;
    int same = 0;
    for (int x = 0; x < 12; ++x)
        for (int y = 0; y < 12; ++y)
            same += (arrows.pixelColor(x, y).alpha() == 255 &&
                     change.pixelColor(2 + x, top + y) == arrows.pixelColor(x, y));
    EXPECT_GT(same, 20);
    EXPECT_GT(CountPixels(change, QRect(16, 0, change.width() - 16, change.height()), IsInk), 10);
    EXPECT_EQ(CountPixels(change, QRect(0, 0, 2, change.height()), IsInk), 0);
}

TEST(ImageList, ElevenPicturesOfTwelvePixels) {
    const QList<QImage>& pictures = ImageList();
    ASSERT_EQ(pictures.size(), 11);
    for (const QImage& picture : pictures) {
        EXPECT_EQ(picture.size(), QSize(12, 12));
        EXPECT_GT(
            CountPixels(picture, picture.rect(), [](const QColor& c) { return c.alpha() > 0; }),
            12);
    }
    EXPECT_GT(CountPixels(pictures[kPictureFall], QRect(0, 0, 12, 12), Reddish), 20);
    EXPECT_GT(CountPixels(pictures[kPictureRise], QRect(0, 0, 12, 12), Bluish), 20);
    // Falling points down: more red in the top half.
    EXPECT_GT(CountPixels(pictures[kPictureFall], QRect(0, 0, 12, 6), Reddish),
              CountPixels(pictures[kPictureFall], QRect(0, 6, 12, 6), Reddish));
    EXPECT_LT(CountPixels(pictures[kPictureRise], QRect(0, 0, 12, 6), Bluish),
              CountPixels(pictures[kPictureRise], QRect(0, 6, 12, 6), Bluish));
}

class GridLayoutTest : public ResultsGridTest {
protected:
    std::string IniPath() const { return dir.filePath(QStringLiteral("set.ini")).toStdString(); }
    std::string ReadFile() const {
        std::ifstream in(IniPath());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    QTemporaryDir dir;
};

TEST_F(GridLayoutTest, OrderAndWidthSurviveARestart) {
    { std::ofstream(IniPath()) << "[TMainForm]\nWebSite=a\n[ResDBGridEh]\nOther=keep\n"; }
    ProfileFile file(IniPath());
    grid->horizontalHeader()->moveSection(1, 0); // url before Keyword
    grid->SetColumnShown("LastPosition", true);
    grid->SaveLayout(file);

    EXPECT_EQ(file.ReadString("ResDBGridEh", "Other", ""), "keep");
    EXPECT_EQ(file.ReadString("TMainForm", "WebSite", ""), "a");
    EXPECT_EQ(file.ReadString("ResDBGridEh", "ResDBGridEh.url", ""),
              "0," + std::to_string(grid->columnWidth(1)) + ",0,1,0,7,0");
    EXPECT_EQ(file.ReadString("ResDBGridEh", "ResDBGridEh.Keyword", "").substr(0, 2), "1,");
    EXPECT_EQ(file.ReadString("ResDBGridEh", "ResDBGridEh.ChangePage", ""), "9,64,0,0,0,7,0");

    TResultsGrid next(tables.ResClientDataSet, tables.ResMinClientDataSet);
    next.resize(900, 300);
    next.show();
    QApplication::processEvents();
    next.RestoreLayout(file);
    EXPECT_EQ(next.FieldAtPlace(0), "url");
    EXPECT_EQ(next.FieldAtPlace(1), "Keyword");
    EXPECT_EQ(next.FieldAtPlace(2), "Page");
    // Visibility is not restored.
    EXPECT_FALSE(next.IsColumnShown("LastPosition"));
}

TEST_F(GridLayoutTest, StoredWidthsAreScaledAndBadValuesIgnored) {
    {
        std::ofstream(IniPath()) << "[ResDBGridEh]\n"
                                    "ResDBGridEh.url=0,100,0,1,0,7,0\n"
                                    "ResDBGridEh.Keyword=1,300,0,1,0,7,0\n"
                                    "ResDBGridEh.Page=nonsense\n"
                                    "ResDBGridEh.Position=2,-5\n";
    }
    const ProfileFile file(IniPath());
    grid->RestoreLayout(file);
    EXPECT_EQ(grid->FieldAtPlace(0), "url");
    EXPECT_EQ(grid->FieldAtPlace(1), "Keyword");
    EXPECT_NEAR(double(grid->columnWidth(0)) / grid->columnWidth(1), 3.0, 0.05);
    // Page and Position keep their default width 64, in proportion to Keyword's 300.
    EXPECT_NEAR(double(grid->columnWidth(0)) / grid->columnWidth(2), 300.0 / 64, 0.1);
    EXPECT_NEAR(grid->columnWidth(2), grid->columnWidth(3), 1);
    int shownWidth = 0;
    for (int c = 0; c < kGridColumnCount; ++c)
        shownWidth += grid->isColumnHidden(c) ? 0 : grid->columnWidth(c);
    EXPECT_EQ(shownWidth, grid->viewport()->width());
}

TEST_F(GridLayoutTest, MissingFileLeavesTheColumnsAsDefined) {
    grid->RestoreLayout(ProfileFile(IniPath()));
    for (int place = 0; place < kGridColumnCount; ++place)
        EXPECT_EQ(grid->FieldAtPlace(place), GridColumns()[std::size_t(place)].field);
}

TEST_F(ResultsGridTest, ColumnChooserListsTicksAndApplies) {
    TColumnForm form(grid.get());
    grid->FillColumnForm(form);
    const std::vector<std::string> expected = {"Page",     "Position",      "LastPosition",
                                               "Change",   "Best Position", "LastPage",
                                               "BestPage", "ChangePage"};
    ASSERT_EQ(std::size_t(form.ColumnCount()), expected.size());
    for (int i = 0; i < form.ColumnCount(); ++i) {
        EXPECT_EQ(form.Caption(i).toStdString(), expected[std::size_t(i)]);
        EXPECT_EQ(form.IsTicked(i), i == 0 || i == 1 || i == 3 || i == 4) << i;
    }
    EXPECT_EQ(form.windowTitle().toStdString(), "ColumnForm");
    EXPECT_EQ(form.size(), QSize(204, 201));
    EXPECT_EQ(form.ColumnsCheckListBox->geometry(), QRect(8, 8, 185, 153));
    EXPECT_EQ(form.OKButton->geometry(), QRect(40, 168, 75, 25));
    EXPECT_EQ(form.CancelButton->geometry(), QRect(120, 168, 75, 25));

    form.SetTicked(0, false); // Page
    form.SetTicked(6, true);  // BestPage
    grid->ApplyColumnForm(form);
    EXPECT_FALSE(grid->IsColumnShown("Page"));
    EXPECT_TRUE(grid->IsColumnShown("BestPage"));
    EXPECT_TRUE(grid->IsColumnShown("Keyword"));
    int shownWidth = 0;
    for (int c = 0; c < kGridColumnCount; ++c)
        shownWidth += grid->isColumnHidden(c) ? 0 : grid->columnWidth(c);
    EXPECT_EQ(shownWidth, grid->viewport()->width());
}

TEST_F(ResultsGridTest, ColumnButtonClickAppliesOnOkOnly) {
    auto answer = [](bool ok) {
        QTimer::singleShot(0, [ok] {
            auto* form = qobject_cast<TColumnForm*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            form->SetTicked(2, true); // LastPosition
            (ok ? form->OKButton : form->CancelButton)->click();
        });
    };
    answer(false);
    grid->ColumnButtonClick(grid.get());
    EXPECT_FALSE(grid->IsColumnShown("LastPosition"));
    answer(true);
    grid->ColumnButtonClick(grid.get());
    EXPECT_TRUE(grid->IsColumnShown("LastPosition"));
    EXPECT_TRUE(grid->findChildren<TColumnForm*>().isEmpty()); // released
}
