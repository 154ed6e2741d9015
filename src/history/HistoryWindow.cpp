// The window rebuilds its chart from the store whenever the range changes; the chart's series
// are made by ChartSeries, so what is drawn (segments, markers at the depth) is decided and
// tested without widgets.

#include "history/HistoryWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <QCursor>

namespace quorvia {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

const QColor& EngineColour(std::size_t index) {
    static const QColor colours[] = {
        {31, 119, 180}, {214, 39, 40},   {44, 160, 44},  {255, 127, 14},  {148, 103, 189},
        {140, 86, 75},  {227, 119, 194}, {23, 190, 207}, {127, 127, 127}, {188, 189, 34}};
    return colours[index % std::size(colours)];
}

// Noon of the day in local time: the axis shows local dates, and noon keeps them whole.
qreal ChartX(Date date) {
    return qreal(QDateTime(QDate(date.Year(), int(date.Month()), int(date.Day())), QTime(12, 0))
                     .toMSecsSinceEpoch());
}

QString MoveText(const TCompetitor& row) {
    if (row.hostSeenFirstHere)
        return QStringLiteral("new");
    if (!row.move)
        return {};
    if (*row.move > 0)
        return QStringLiteral("\u25B2 %1").arg(*row.move);
    if (*row.move < 0)
        return QStringLiteral("\u25BC %1").arg(-*row.move);
    return QStringLiteral("=");
}

} // namespace

THistoryWindow::THistoryWindow(QWidget* parent, THistoryStore& store, std::string site,
                               std::string keyword, const std::string& engine, Date today)
    : QDialog(parent), store_(store), site_(std::move(site)), keyword_(std::move(keyword)),
      today_(today) {
    setObjectName(QStringLiteral("HistoryForm"));
    setWindowTitle(QStringLiteral("History of '%1' for %2").arg(Q(keyword_), Q(site_)));
    resize(1000, 560);

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Show:"), this));
    rangeBox_ = new QComboBox(this);
    rangeBox_->setObjectName(QStringLiteral("RangeComboBox"));
    rangeBox_->addItems({QStringLiteral("Last 30 days"), QStringLiteral("Last 90 days"),
                         QStringLiteral("Last year"), QStringLiteral("All")});
    rangeBox_->setCurrentIndex(int(range_));
    top->addWidget(rangeBox_);
    top->addStretch(1);
    layout->addLayout(top);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chartView_ = new QChartView(chart_, splitter); // owns the chart
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumWidth(420);

    auto* side = new QWidget(splitter);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* pick = new QHBoxLayout;
    pick->addWidget(new QLabel(QStringLiteral("Competitors on"), side));
    engineBox_ = new QComboBox(side);
    engineBox_->setObjectName(QStringLiteral("EngineComboBox"));
    pick->addWidget(engineBox_, 1);
    dateBox_ = new QComboBox(side);
    dateBox_->setObjectName(QStringLiteral("DateComboBox"));
    pick->addWidget(dateBox_);
    sideLayout->addLayout(pick);
    listCaption_ = new QLabel(side);
    sideLayout->addWidget(listCaption_);
    competitors_ = new QTableWidget(0, 5, side);
    competitors_->setObjectName(QStringLiteral("CompetitorsList"));
    competitors_->setHorizontalHeaderLabels({QStringLiteral("Position"), QStringLiteral("Page"),
                                             QStringLiteral("Host"), QStringLiteral("Move"),
                                             QStringLiteral("Link")});
    competitors_->verticalHeader()->hide();
    competitors_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    competitors_->setSelectionBehavior(QAbstractItemView::SelectRows);
    competitors_->horizontalHeader()->setStretchLastSection(true);
    sideLayout->addWidget(competitors_, 1);
    splitter->addWidget(chartView_);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setSizes({600, 400});
    layout->addWidget(splitter, 1);

    connect(rangeBox_, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetRange(THistoryRange(index)); });
    connect(engineBox_, &QComboBox::currentIndexChanged, this, [this] { FillDates(); });
    connect(dateBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            ShowCompetitors(dateBox_->itemData(index).toLongLong());
    });

    // The last 90 days unless they hold nothing: then as far back as the history goes.
    Reload();
    for (THistoryRange wider : {THistoryRange::Year, THistoryRange::All})
        if (checks_.empty())
            SetRange(wider);
    if (const int index = engineBox_->findText(Q(engine)); index >= 0)
        engineBox_->setCurrentIndex(index);
}

void THistoryWindow::SetRange(THistoryRange range) {
    range_ = range;
    {
        const QSignalBlocker quiet(rangeBox_);
        rangeBox_->setCurrentIndex(int(range));
    }
    Reload();
}

void THistoryWindow::Reload() {
    checks_ = store_.KeywordChecks(site_, keyword_, RangeStart(range_, today_));
    BuildChart();
    const QString engine = engineBox_->currentText();
    {
        const QSignalBlocker quiet(engineBox_);
        engineBox_->clear();
        for (const THistoryCheck& check : checks_)
            if (engineBox_->findText(Q(check.engine)) < 0)
                engineBox_->addItem(Q(check.engine));
        engineBox_->setCurrentIndex(std::max(0, engineBox_->findText(engine)));
    }
    FillDates();
}

void THistoryWindow::BuildChart() {
    chart_->removeAllSeries();
    for (QAbstractAxis* axis : chart_->axes())
        chart_->removeAxis(axis);

    auto* xAxis = new QDateTimeAxis;
    xAxis->setFormat(QStringLiteral("yyyy-MM-dd"));
    xAxis->setTickCount(6);
    auto* yAxis = new QValueAxis;
    yAxis->setReverse(true); // position 1 at the top
    yAxis->setLabelFormat(QStringLiteral("%d"));
    yAxis->setTitleText(QStringLiteral("Position (squares: not found, at the depth)"));
    chart_->addAxis(xAxis, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);

    int lowest = 10;
    const auto attach = [&](QXYSeries* series, const std::string& engine) {
        chart_->addSeries(series);
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
        connect(series, &QXYSeries::hovered, this,
                [this, engine](const QPointF& p, bool state) { PointHovered(p, state, engine); });
        connect(series, &QXYSeries::clicked, this,
                [this, engine](const QPointF& p) { PointClicked(p, engine); });
    };
    const std::vector<TEngineSeries> all = ChartSeries(checks_);
    for (std::size_t e = 0; e < all.size(); ++e) {
        const TEngineSeries& s = all[e];
        const QColor colour = EngineColour(e);
        bool named = false;
        std::size_t points = 0;
        for (const std::vector<TChartPoint>& segment : s.segments)
            points += segment.size();
        for (const std::vector<TChartPoint>& segment : s.segments) {
            auto* line = new QLineSeries;
            line->setName(Q(s.engine));
            line->setColor(colour);
            // Markers while they can be told apart; a lone point always has one.
            line->setPointsVisible(points <= 90 || segment.size() == 1);
            line->setMarkerSize(5);
            for (const TChartPoint& p : segment) {
                line->append(ChartX(p.date), p.position);
                lowest = std::max(lowest, p.position);
            }
            attach(line, s.engine);
            // One legend entry per engine, however many pieces its line has.
            chart_->legend()->markers(line).front()->setVisible(!named);
            named = true;
        }
        if (!s.notFound.empty()) {
            auto* markers = new QScatterSeries;
            markers->setName(Q(s.engine) + QStringLiteral(": not found"));
            markers->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
            markers->setMarkerSize(9);
            markers->setColor(colour);
            markers->setBorderColor(colour.darker(140));
            for (const TChartPoint& p : s.notFound) {
                markers->append(ChartX(p.date), p.position);
                lowest = std::max(lowest, p.position);
            }
            attach(markers, s.engine);
            chart_->legend()->markers(markers).front()->setVisible(!named);
            named = true;
        }
    }
    yAxis->setRange(0, lowest + std::max(1, lowest / 20));
    const QDate last(today_.Year(), int(today_.Month()), int(today_.Day()));
    QDate first = checks_.empty() ? last.addDays(-29) : last;
    for (const THistoryCheck& check : checks_)
        first = std::min(first,
                         QDate(check.date.Year(), int(check.date.Month()), int(check.date.Day())));
    if (const std::optional<Date> start = RangeStart(range_, today_))
        first = QDate(start->Year(), int(start->Month()), int(start->Day()));
    xAxis->setRange(QDateTime(first, QTime(0, 0)), QDateTime(last, QTime(23, 59)));
}

void THistoryWindow::FillDates() {
    const std::string engine = engineBox_->currentText().toStdString();
    {
        const QSignalBlocker quiet(dateBox_);
        dateBox_->clear();
        for (auto check = checks_.rbegin(); check != checks_.rend(); ++check)
            if (check->engine == engine && check->listed)
                dateBox_->addItem(Q(check->date.ToIso()), QVariant::fromValue(check->id));
    }
    if (dateBox_->count() > 0) {
        ShowCompetitors(dateBox_->itemData(0).toLongLong());
    } else {
        competitors_->setRowCount(0);
        listCaption_->setText(QStringLiteral("No result list kept for this engine in the range."));
    }
}

void THistoryWindow::ShowCompetitors(std::int64_t checkId) {
    if (const int index = dateBox_->findData(QVariant::fromValue(checkId));
        index >= 0 && index != dateBox_->currentIndex()) {
        const QSignalBlocker quiet(dateBox_);
        dateBox_->setCurrentIndex(index);
    }
    const std::vector<TCompetitor> rows = store_.Competitors(checkId, site_);
    listCaption_->setText(QStringLiteral("%1 results as the scan saw them; the site's own rows "
                                         "in bold, each host's move since the check before.")
                              .arg(rows.size()));
    competitors_->setRowCount(int(rows.size()));
    QFont bold = competitors_->font();
    bold.setBold(true);
    const QColor ownBackground(226, 240, 217);
    for (int r = 0; r < int(rows.size()); ++r) {
        const TCompetitor& row = rows[std::size_t(r)];
        const QString cells[] = {QString::number(row.position), QString::number(row.page),
                                 Q(row.host), MoveText(row), Q(row.link)};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c < 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.own) {
                item->setFont(bold);
                item->setBackground(ownBackground);
            }
            competitors_->setItem(r, c, item);
        }
    }
    competitors_->resizeColumnsToContents();
}

const THistoryCheck* THistoryWindow::CheckAt(const std::string& engine, qint64 msecs) const {
    const QDate day = QDateTime::fromMSecsSinceEpoch(msecs).date();
    const Date date(day.year(), unsigned(day.month()), unsigned(day.day()));
    const THistoryCheck* found = nullptr;
    for (const THistoryCheck& check : checks_)
        if (check.engine == engine && check.date == date)
            found = &check; // the last check of the day is the one drawn on top
    return found;
}

QString THistoryWindow::HoverText(const THistoryCheck& check) {
    return Q(check.engine) + QStringLiteral(", ") + Q(PointText(check));
}

void THistoryWindow::PointHovered(const QPointF& point, bool state, const std::string& engine) {
    const THistoryCheck* check = state ? CheckAt(engine, qint64(point.x())) : nullptr;
    if (check)
        QToolTip::showText(QCursor::pos(), HoverText(*check), chartView_);
    else
        QToolTip::hideText();
}

void THistoryWindow::PointClicked(const QPointF& point, const std::string& engine) {
    const THistoryCheck* check = CheckAt(engine, qint64(point.x()));
    if (!check || !check->listed)
        return;
    engineBox_->setCurrentIndex(engineBox_->findText(Q(engine)));
    ShowCompetitors(check->id);
}

} // namespace quorvia
