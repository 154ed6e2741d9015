#pragma once
// The History window of one site and keyword: the site's position over time, one line per
// engine, position 1 at the top and "not found" as its own marker at the depth; a date range
// to choose; and beside the chart the competitors, the result list of one engine's check as
// the walk saw it, with the site's rows marked and each host's move since the check before.
// Clicking a point of the chart shows that check's list.

#include "history/HistoryChartData.h"
#include "history/HistoryStore.h"

#include <QDialog>

#include <map>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QTableWidget;

namespace quorvia {

class THistoryWindow : public QDialog {
    Q_OBJECT
public:
    // The store outlives the window. engine: the one whose list shows first ("" for the first).
    THistoryWindow(QWidget* parent, THistoryStore& store, std::string site, std::string keyword,
                   const std::string& engine, Date today);

    void SetRange(THistoryRange range);
    // Shows the competitors of a listed check of the chosen engine.
    void ShowCompetitors(std::int64_t checkId);

    QChart* Chart() const { return chart_; }
    QComboBox* RangeBox() const { return rangeBox_; }
    QComboBox* EngineBox() const { return engineBox_; }
    QComboBox* DateBox() const { return dateBox_; }
    QTableWidget* CompetitorsList() const { return competitors_; }
    // The text a hover over the point of this check shows.
    static QString HoverText(const THistoryCheck& check);

private:
    void Reload();
    void BuildChart();
    void FillDates();
    void PointHovered(const QPointF& point, bool state, const std::string& engine);
    void PointClicked(const QPointF& point, const std::string& engine);
    const THistoryCheck* CheckAt(const std::string& engine, qint64 msecs) const;

    THistoryStore& store_;
    const std::string site_, keyword_;
    const Date today_;
    THistoryRange range_ = THistoryRange::Days90;
    std::vector<THistoryCheck> checks_;

    QComboBox* rangeBox_;
    QChartView* chartView_;
    QChart* chart_;
    QComboBox* engineBox_;
    QComboBox* dateBox_;
    QLabel* listCaption_;
    QTableWidget* competitors_;
};

} // namespace quorvia
