#pragma once
// ResDBGridEh, the result grid: the rows of ResClientDataSet under ten columns (GridColumns),
// engine rows bold and shaded, the current engine's rows lightly shaded, addresses as links,
// numbers right-aligned on the widths of the width row with a change arrow in front, the
// check dates as hover hints, picture titles, a column layout kept in set.ini and the column
// chooser. Read-only, whole-row selection, horizontal lines only, and the visible columns
// always scaled to fill the width.
//
// The grid follows the table's current record and moves it when the user picks a row, so the
// table's after-scroll handler learns of every move; it only reads the rows otherwise.

#include "store/Table.h"

#include <QHeaderView>
#include <QImage>
#include <QList>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <optional>
#include <string>

namespace quorvia {

class ProfileFile;
class TColumnForm;
class TPairMarks;
class TResultsGridModel;

// A grid cell as the hover logic names it: its place in the column order and its row.
struct GridCell {
    int column = 0;
    int row = 0;
    bool operator==(const GridCell&) const = default;
};

class TResultsGrid : public QTableView {
    Q_OBJECT
public:
    // The tables outlive the grid. The title pictures are built here, once.
    TResultsGrid(TClientDataSet& results, TClientDataSet& widths, QWidget* parent = nullptr);
    ~TResultsGrid() override;

    // Where the grid learns CurrentEngine, the engine whose result rows it shades.
    void SetCurrentEngineSource(std::function<std::string()> currentEngine);

    // The pairs the last scan could not check: their result rows get a warning picture in
    // front of the keyword and the log line in the keyword cell's hint. They outlive the grid.
    void SetPairMarks(const TPairMarks* marks);
    // The log line of the pair a table row belongs to, when the last scan could not check it.
    const std::string* RowFailure(int row) const;

    // A few words the grid shows while it has no row; empty for none.
    void SetEmptyText(const QString& text);
    const QString& EmptyText() const { return emptyText_; }

    // Width in pixels of a number as the grid draws it: the measure of the width row.
    int NumberTextWidth(std::string_view text) const;

    // The column layout in section "ResDBGridEh": every column written; order and width read.
    void SaveLayout(ProfileFile& file) const;
    void RestoreLayout(const ProfileFile& file);

    // ColumnButtonClick: shows TColumnForm owned by `owner` and applies its choice on OK.
    void ColumnButtonClick(QWidget* owner);
    // The two halves of the chooser: every column but Keyword and url, in column order (at
    // start: Page onwards), ticked when shown; and the ticks taken back, item by item.
    void FillColumnForm(TColumnForm& form) const;
    void ApplyColumnForm(const TColumnForm& form);

    const QList<QImage>& TitleImageList() const { return titleImages_; }
    // The title picture of a column, by its initial place; -1 when it has none.
    int TitlePictureIndex(int column) const { return titlePictureIndex_[std::size_t(column)]; }
    GridCell LastHintCell() const { return lastHintCell_; }
    // The title of a column is narrower than its caption: it shows the caption as a tooltip.
    bool IsTitleCut(int column) const;
    // The hint worked out for the cell last hovered ("" for none).
    const QString& HintText() const { return hint_; }

    // The field name of the column at a place in the column order.
    std::string_view FieldAtPlace(int place) const;
    bool IsColumnShown(std::string_view field) const;
    void SetColumnShown(std::string_view field, bool shown);

    const QFont& ColumnFont() const { return columnFont_; }

    // ResDBGridEhDrawColumnCell: paints one cell of a table row.
    void ResDBGridEhDrawColumnCell(QPainter& painter, const QRect& rect, int row, int column,
                                   bool selected) const;
    // ResDBGridEhMouseMove: the hover hint, at a point of the viewport.
    void ResDBGridEhMouseMove(const QPoint& position);

    // What the hint of a page link adds: how to open it.
    static const char* const PageLinkHint;

signals:
    // A page link of a row was double-clicked or Ctrl+clicked.
    void PageLinkActivated(int row);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    class Delegate;
    class Header;

    void BuildTitlePictures();
    void FitColumns();
    void SectionResizedByUser(int logical, int oldSize, int newSize);
    void FollowTableRow(int row);
    // The widest text of a number column from the width row; nothing for ChangePage.
    std::optional<int> StoredWidth(std::string_view field) const;
    bool IsTextCut(const QModelIndex& index) const;
    // The row's url cell shows a page link: a result row whose address holds a "/".
    bool IsPageLink(const QModelIndex& index) const;
    std::vector<int> OfferedColumns() const;

    TClientDataSet& results_;
    TClientDataSet& widths_;
    TResultsGridModel* model_;
    std::function<std::string()> currentEngine_;
    const TPairMarks* marks_ = nullptr;
    QString emptyText_;
    QFont columnFont_; // the cells and titles: sans 11 px, regular
    QFont gridFont_;   // the grid's own: sans 11 px, underlined; letters the title pictures
    QList<QImage> titleImages_;
    std::vector<int> titlePictureIndex_;
    std::vector<int> designWidths_; // per column; scaled to fill the width when shown
    bool fitting_ = false;
    GridCell lastHintCell_;
    QString hint_;
};

} // namespace quorvia
