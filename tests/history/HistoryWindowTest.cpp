// The History window over a small history: what the chart draws (lines per engine, "not
// found" at the depth, position 1 on top), the date range, and the competitors beside it.

#include "history/HistoryWindow.h"
#include "history/HistoryChartData.h"

#include "support/GuiApplication.h"

#include <gtest/gtest.h>

#include <QChart>
#include <QComboBox>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>

using namespace quorvia;

namespace {

const std::string kSite = "site.example";

TPairMeasurement Measured(const std::string& engine, Date date, int sitePosition, int depth = 20) {
    TPairMeasurement m{kSite, engine, "shoes", depth, date, {}, {}};
    for (int p = 1; p <= 10; ++p) {
        const bool own = p == sitePosition;
        // Host h<n> stands at n on even days and one lower on odd days.
        const int shift = date.Day() % 2;
        m.results.push_back({p, 1,
                             own ? "http://www.site.example/shoes"
                                 : "http://h" + std::to_string(p - shift) + ".test/"});
        if (own)
            m.found.push_back(m.results.back());
    }
    return m;
}

class HistoryWindow : public ::testing::Test {
protected:
    HistoryWindow() : store(dir.path().toStdString() + "/History.db", nullptr) {}
    QTemporaryDir dir;
    THistoryStore store;
    const Date today{2026, 6, 30};
};

std::vector<QXYSeries*> SeriesOf(QChart* chart, const QString& name) {
    std::vector<QXYSeries*> found;
    for (QAbstractSeries* s : chart->series())
        if (s->name() == name)
            found.push_back(static_cast<QXYSeries*>(s));
    return found;
}

} // namespace

TEST(HistoryChart, LinesBreakAtNotFoundAndAtLongGapsButNotAtAUsualStep) {
    const auto check = [](int month, int day, std::vector<int> positions) {
        THistoryCheck c;
        c.engine = "Web";
        c.date = Date(2026, unsigned(month), unsigned(day));
        c.depth = 50;
        for (int p : positions)
            c.found.push_back({p, 1, "http://site.example/x"});
        return c;
    };
    // Daily, with 3 May missing (one failed day bridges), then a week without checks.
    const std::vector<THistoryCheck> checks = {
        check(5, 1, {7}), check(5, 2, {9, 4}), check(5, 4, {5}),  check(5, 5, {}),
        check(5, 6, {3}), check(5, 7, {3}),    check(5, 15, {2}),
    };
    const std::vector<TEngineSeries> series = ChartSeries(checks);
    ASSERT_EQ(series.size(), 1u);
    std::vector<std::vector<int>> segments;
    for (const auto& segment : series[0].segments) {
        segments.emplace_back();
        for (const TChartPoint& p : segment)
            segments.back().push_back(p.position);
    }
    EXPECT_EQ(segments, (std::vector<std::vector<int>>{{7, 4, 5}, {3, 3}, {2}}));
    ASSERT_EQ(series[0].notFound.size(), 1u);
    EXPECT_EQ(series[0].notFound[0].position, 50);
    EXPECT_EQ(series[0].notFound[0].date, Date(2026, 5, 5));

    EXPECT_EQ(RangeStart(THistoryRange::Days30, Date(2026, 5, 31)), Date(2026, 5, 2));
    EXPECT_EQ(RangeStart(THistoryRange::Year, Date(2026, 12, 31)), Date(2026, 1, 1));
    EXPECT_EQ(RangeStart(THistoryRange::All, Date(2026, 12, 31)), std::nullopt);
}

TEST_F(HistoryWindow, DrawsEachEngineWithNotFoundAtTheDepthAndFollowsTheRange) {
    for (int day = 1; day <= 30; ++day) {
        store.Append(Measured("Alpha", Date(2026, 6, unsigned(day)), day == 20 ? 0 : 3 + day % 4));
        store.Append(Measured("Beta", Date(2026, 6, unsigned(day)), 8));
    }
    store.Append(Measured("Alpha", Date(2026, 1, 10), 2));

    THistoryWindow window(nullptr, store, kSite, "shoes", "Beta", today);
    QChart* chart = window.Chart();
    auto* yAxis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).front());
    EXPECT_TRUE(yAxis->isReverse());
    EXPECT_GE(yAxis->max(), 20);

    const std::vector<QXYSeries*> alpha = SeriesOf(chart, QStringLiteral("Alpha"));
    ASSERT_EQ(alpha.size(), 2u); // broken at the day the site was not found
    EXPECT_EQ(alpha[0]->count() + alpha[1]->count(), 29);
    const std::vector<QXYSeries*> missing = SeriesOf(chart, QStringLiteral("Alpha: not found"));
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_NE(qobject_cast<QScatterSeries*>(missing[0]), nullptr);
    ASSERT_EQ(missing[0]->count(), 1);
    EXPECT_EQ(missing[0]->at(0).y(), 20);
    EXPECT_EQ(SeriesOf(chart, QStringLiteral("Beta")).size(), 1u);

    // The chosen engine's newest list, the site's row in bold, each host's move.
    EXPECT_EQ(window.EngineBox()->currentText(), QStringLiteral("Beta"));
    EXPECT_EQ(window.DateBox()->currentText(), QStringLiteral("2026-06-30"));
    QTableWidget* list = window.CompetitorsList();
    ASSERT_EQ(list->rowCount(), 10);
    EXPECT_TRUE(list->item(7, 2)->font().bold());
    EXPECT_EQ(list->item(7, 2)->text(), QStringLiteral("site.example"));
    EXPECT_FALSE(list->item(6, 2)->font().bold());
    EXPECT_EQ(list->item(2, 2)->text(), QStringLiteral("h3.test"));
    EXPECT_EQ(list->item(2, 3)->text(), QStringLiteral("\u25B2 1")); // 4th yesterday, 3rd today
    EXPECT_EQ(list->item(7, 3)->text(), QStringLiteral("="));
    EXPECT_EQ(list->item(9, 3)->text(), QStringLiteral("new")); // h10 was not on yesterday's

    window.DateBox()->setCurrentIndex(window.DateBox()->findText(QStringLiteral("2026-06-29")));
    EXPECT_EQ(window.CompetitorsList()->item(1, 2)->text(), QStringLiteral("h1.test"));

    // The January check shows only when the range reaches it.
    const auto points = [&] {
        int count = 0;
        for (QXYSeries* s : SeriesOf(chart, QStringLiteral("Alpha")))
            count += int(s->count());
        return count;
    };
    window.SetRange(THistoryRange::Year);
    EXPECT_EQ(points(), 30);
    window.SetRange(THistoryRange::Days30);
    EXPECT_EQ(points(), 29);
    EXPECT_EQ(window.RangeBox()->currentText(), QStringLiteral("Last 30 days"));

    const std::vector<THistoryCheck> checks =
        store.KeywordChecks(kSite, "shoes", Date(2026, 6, 20));
    EXPECT_EQ(THistoryWindow::HoverText(checks.front()).toStdString(),
              "Alpha, 2026-06-20: not in the first 20 results");
    EXPECT_EQ(THistoryWindow::HoverText(checks[1]).toStdString(),
              "Alpha, 2026-06-21\nposition 4 (page 1): http://www.site.example/shoes");
}
