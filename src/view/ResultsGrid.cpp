// The grid draws every cell itself (ResDBGridEhDrawColumnCell) and keeps "design" widths per
// column that are scaled to the viewport's width whenever it changes, so the visible columns
// always fill the grid; a column the user drags takes its width from the columns after it.
#include "view/ResultsGrid.h"

#include "platform/ProfileFile.h"
#include "view/ColumnForm.h"
#include "view/ColumnLayout.h"
#include "view/DarkenColor.h"
#include "view/GridColumns.h"
#include "view/ImageList.h"
#include "view/PairMarks.h"
#include "view/ResultsGridModel.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <qdrawutil.h>

namespace quorvia {

namespace {

constexpr int kDefaultColumnWidth = 64;
constexpr int kTextMargin = 2;
constexpr int kKeywordIndent = 10;
constexpr int kChangePictureLeft = 2;
constexpr int kMinColumnWidth = 8;
constexpr int kMarkWidth = kImageSize + 2; // the warning picture of an unchecked pair and a gap
const QColor kNotALinkColour(128, 0, 0);
const QColor kRowLineColour(192, 192, 192);

QFont SansFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    return font;
}

QColor Darken(const QColor& colour, int percent) {
    const RgbColor dark = DarkenColor(
        {std::uint8_t(colour.red()), std::uint8_t(colour.green()), std::uint8_t(colour.blue())},
        percent);
    return QColor(dark.red, dark.green, dark.blue);
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

bool IsNull(const Value& value) {
    return std::holds_alternative<std::monostate>(value);
}

} // namespace

// Hands every cell to the grid's drawing handler.
class TResultsGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TResultsGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        grid_.ResDBGridEhDrawColumnCell(*painter, option.rect, index.row(), index.column(),
                                        option.state.testFlag(QStyle::State_Selected));
    }

private:
    TResultsGrid& grid_;
};

// Three-dimensional title cells showing the title pictures, which carry the captions.
class TResultsGrid::Header : public QHeaderView {
public:
    explicit Header(TResultsGrid& grid) : QHeaderView(Qt::Horizontal, &grid), grid_(grid) {}

    QSize sizeHint() const override {
        QSize size = QHeaderView::sizeHint();
        const int pictureHeight =
            grid_.TitleImageList().isEmpty() ? 0 : grid_.TitleImageList().front().height();
        size.setHeight(std::max(pictureHeight, QFontMetrics(grid_.ColumnFont()).height()) + 6);
        return size;
    }

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override {
        // Classic raised title cells in the button-face colour the title pictures are filled
        // with, so a picture sits seamlessly in its cell.
        painter->fillRect(rect, palette().color(QPalette::Button));
        qDrawShadePanel(painter, rect, palette(), false, 1);

        painter->save();
        const QRect inside = rect.adjusted(1, 1, -1, -1);
        painter->setClipRect(inside);
        const int picture = grid_.TitlePictureIndex(logical);
        if (picture >= 0) {
            const QImage& image = grid_.TitleImageList()[picture];
            painter->drawImage(inside.left() + 1,
                               inside.top() + (inside.height() - image.height()) / 2, image);
        } else {
            painter->setFont(grid_.ColumnFont());
            painter->setPen(palette().color(QPalette::ButtonText));
            painter->drawText(inside.adjusted(kTextMargin, 0, -kTextMargin, 0),
                              Qt::AlignLeft | Qt::AlignVCenter,
                              ToQString(GridColumns()[std::size_t(logical)].caption));
        }
        painter->restore();
    }

    // A title cut off shows its whole caption as a tooltip.
    bool viewportEvent(QEvent* event) override {
        if (event->type() != QEvent::ToolTip)
            return QHeaderView::viewportEvent(event);
        const auto* help = static_cast<QHelpEvent*>(event);
        const int logical = logicalIndexAt(help->pos());
        if (logical >= 0 && grid_.IsTitleCut(logical))
            QToolTip::showText(help->globalPos(),
                               ToQString(GridColumns()[std::size_t(logical)].caption), this);
        else
            QToolTip::hideText();
        return true;
    }

private:
    TResultsGrid& grid_;
};

TResultsGrid::TResultsGrid(TClientDataSet& results, TClientDataSet& widths, QWidget* parent)
    : QTableView(parent), results_(results), widths_(widths),
      model_(new TResultsGridModel(results, this)), columnFont_(SansFont()), gridFont_(SansFont()) {
    setObjectName(QStringLiteral("ResDBGridEh"));
    gridFont_.setUnderline(true);
    setFont(columnFont_);

    auto* header = new Header(*this);
    setHorizontalHeader(header);
    setModel(model_);
    setItemDelegate(new Delegate(*this));

    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalScrollBar()->setTracking(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(columnFont_).height() + 4);

    header->setSectionsMovable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(kMinColumnWidth);

    const auto& columns = GridColumns();
    for (int c = 0; c < kGridColumnCount; ++c) {
        const GridColumn& column = columns[std::size_t(c)];
        designWidths_.push_back(column.initialWidth > 0 ? column.initialWidth
                                                        : kDefaultColumnWidth);
        header->resizeSection(c, designWidths_.back());
        header->setSectionHidden(c, !column.shownAtStart);
    }
    BuildTitlePictures();
    header->updateGeometry();

    connect(header, &QHeaderView::sectionResized, this, &TResultsGrid::SectionResizedByUser);
    connect(model_, &TResultsGridModel::CurrentRowMoved, this, &TResultsGrid::FollowTableRow);
    if (results_.RecNo() >= 0)
        FollowTableRow(results_.RecNo());
}

TResultsGrid::~TResultsGrid() = default;

void TResultsGrid::SetCurrentEngineSource(std::function<std::string()> currentEngine) {
    currentEngine_ = std::move(currentEngine);
    viewport()->update();
}

void TResultsGrid::SetPairMarks(const TPairMarks* marks) {
    marks_ = marks;
    viewport()->update();
}

const std::string* TResultsGrid::RowFailure(int row) const {
    if (!marks_ || row < 0 || row >= results_.RecordCount() ||
        IsNull(results_.ValueAt(row, results_.FindFieldIndex("url"))))
        return nullptr;
    return marks_->Failure(results_.TextAt(row, results_.FindFieldIndex("SiteName")),
                           results_.TextAt(row, results_.FindFieldIndex("SENAME")),
                           results_.TextAt(row, results_.FindFieldIndex("Keyword")));
}

void TResultsGrid::SetEmptyText(const QString& text) {
    if (text == emptyText_)
        return;
    emptyText_ = text;
    viewport()->update();
}

void TResultsGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (emptyText_.isEmpty() || model_->rowCount() > 0)
        return;
    QPainter painter(viewport());
    QFont font = columnFont_;
    font.setPixelSize(13);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QRect area = viewport()->rect().adjusted(16, 16, -16, -16);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, emptyText_);
}

int TResultsGrid::NumberTextWidth(std::string_view text) const {
    return QFontMetrics(columnFont_).horizontalAdvance(ToQString(text));
}

void TResultsGrid::BuildTitlePictures() {
    const QFontMetrics metrics(gridFont_);
    const auto& columns = GridColumns();
    int widest = 0;
    for (const GridColumn& column : columns)
        if (column.shownAtStart)
            widest = std::max(widest, metrics.horizontalAdvance(ToQString(column.caption)));
    const QSize size(widest + kImageSize + 4,
                     std::max(kImageSize, metrics.size(0, QStringLiteral("W")).height()));

    titlePictureIndex_.assign(std::size_t(kGridColumnCount), -1);
    int picture = kPictureFirstTitle;
    for (int c = 0; c < kGridColumnCount; ++c) {
        const GridColumn& column = columns[std::size_t(c)];
        if (!column.shownAtStart)
            continue;
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(palette().color(QPalette::Button));
        QPainter painter(&image);
        painter.drawImage(2, (size.height() - kImageSize) / 2 + 1, ImageList()[picture]);
        painter.setFont(gridFont_);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(QPoint(16, 0), size), Qt::AlignLeft | Qt::AlignTop,
                         ToQString(column.caption));
        titlePictureIndex_[std::size_t(c)] = int(titleImages_.size());
        titleImages_.push_back(image);
        ++picture;
    }
}

void TResultsGrid::FitColumns() {
    QHeaderView* header = horizontalHeader();
    std::vector<int> visible;
    for (int place = 0; place < kGridColumnCount; ++place)
        if (const int c = header->logicalIndex(place); !header->isSectionHidden(c))
            visible.push_back(c);
    const int available = viewport()->width();
    long long total = 0;
    for (int c : visible)
        total += designWidths_[std::size_t(c)];
    if (visible.empty() || total <= 0 || available <= 0)
        return;

    fitting_ = true;
    long long designSoFar = 0;
    int placedSoFar = 0;
    for (std::size_t i = 0; i < visible.size(); ++i) {
        const int c = visible[i];
        designSoFar += designWidths_[std::size_t(c)];
        // Rounding the running total keeps the sum exact without drifting to one column.
        const int end = i + 1 == visible.size() ? available : int(designSoFar * available / total);
        const int width = std::max(1, end - placedSoFar);
        header->resizeSection(c, width);
        placedSoFar += width;
    }
    fitting_ = false;
}

void TResultsGrid::SectionResizedByUser(int logical, int, int) {
    QHeaderView* header = horizontalHeader();
    if (fitting_ || header->isSectionHidden(logical))
        return;
    std::vector<int> before, after;
    bool passed = false;
    for (int place = 0; place < kGridColumnCount; ++place) {
        const int c = header->logicalIndex(place);
        if (header->isSectionHidden(c))
            continue;
        designWidths_[std::size_t(c)] = header->sectionSize(c);
        (passed ? after : before).push_back(c);
        if (c == logical)
            passed = true;
    }
    if (!after.empty()) {
        int used = 0;
        for (int c : before)
            used += header->sectionSize(c);
        const int rest = std::max(viewport()->width() - used, kMinColumnWidth * int(after.size()));
        long long afterTotal = 0;
        for (int c : after)
            afterTotal += designWidths_[std::size_t(c)];
        for (int c : after)
            designWidths_[std::size_t(c)] =
                std::max(kMinColumnWidth,
                         int(designWidths_[std::size_t(c)] * rest / std::max(1LL, afterTotal)));
    }
    FitColumns();
}

bool TResultsGrid::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize: {
        const bool handled = QTableView::viewportEvent(event);
        FitColumns();
        return handled;
    }
    case QEvent::ToolTip: {
        // Only cut-off texts get the delayed tooltip; otherwise the date hint stays.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && IsTextCut(index))
            QToolTip::showText(help->globalPos(), index.data().toString(), viewport(),
                               visualRect(index));
        return true;
    }
    default:
        return QTableView::viewportEvent(event);
    }
}

bool TResultsGrid::IsTitleCut(int column) const {
    // A title picture holds its caption 16 pixels in; a title without one has the text margin.
    const int lead = TitlePictureIndex(column) >= 0 ? 1 + 16 : kTextMargin;
    const int needed = lead + QFontMetrics(gridFont_).horizontalAdvance(
                                  ToQString(GridColumns()[std::size_t(column)].caption));
    return horizontalHeader()->sectionSize(column) - 2 < needed;
}

bool TResultsGrid::IsTextCut(const QModelIndex& index) const {
    const std::string_view field = GridColumns()[std::size_t(index.column())].field;
    if (field != "Keyword" && field != "url")
        return false;
    const bool engineRow = IsNull(results_.ValueAt(index.row(), results_.FindFieldIndex("url")));
    QFont font = columnFont_;
    font.setBold(engineRow);
    const int indent = (!engineRow && field == "Keyword")
                           ? kKeywordIndent + (RowFailure(index.row()) ? kMarkWidth : 0)
                           : 0;
    const int needed =
        QFontMetrics(font).horizontalAdvance(index.data().toString()) + indent + 2 * kTextMargin;
    return needed > columnWidth(index.column());
}

std::optional<int> TResultsGrid::StoredWidth(std::string_view field) const {
    const std::optional<std::string> widthField = WidthFieldName(field);
    if (!widthField)
        return std::nullopt;
    const int index = widths_.FindFieldIndex(*widthField);
    if (index < 0 || widths_.RecordCount() == 0)
        return 0;
    const Value& value = widths_.ValueAt(0, index);
    return std::holds_alternative<std::int32_t>(value) ? std::get<std::int32_t>(value) : 0;
}

void TResultsGrid::ResDBGridEhDrawColumnCell(QPainter& painter, const QRect& rect, int row,
                                             int column, bool selected) const {
    if (row >= results_.RecordCount())
        return;
    const QPalette& colours = palette();
    const std::string_view field = GridColumns()[std::size_t(column)].field;
    const int fieldIndex = model_->FieldIndex(column);
    const QRect cell = rect.adjusted(0, 0, 0, -1); // the bottom pixel is the row line

    painter.save();
    painter.setPen(kRowLineColour);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.setClipRect(cell);

    // The colours the grid gives the cell; a selected row keeps the selection colours, so
    // its text never vanishes on a shade.
    const QColor window = colours.color(QPalette::Base);
    QColor background = selected ? colours.color(QPalette::Highlight) : window;
    QColor textColour =
        selected ? colours.color(QPalette::HighlightedText) : colours.color(QPalette::Text);
    QFont font = columnFont_;
    const QString text = fieldIndex >= 0 ? ToQString(results_.TextAt(row, fieldIndex)) : QString();
    auto drawStandard = [&](const QRect& textRect) {
        painter.fillRect(textRect, background);
        painter.setFont(font);
        painter.setPen(textColour);
        painter.drawText(textRect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    };

    const std::string url = results_.TextAt(row, results_.FindFieldIndex("url"));
    if (IsNull(results_.ValueAt(row, results_.FindFieldIndex("url")))) {
        if (!selected)
            background = Darken(window, 7);
        font.setBold(true);
        drawStandard(cell);
    } else {
        QRect textRect = cell;
        const std::string engine = results_.TextAt(row, results_.FindFieldIndex("SENAME"));
        if (!selected && currentEngine_ && engine == currentEngine_())
            background = Darken(window, 3);
        if (field == "url") {
            if (url.find('/') == std::string::npos) {
                if (!selected)
                    textColour = kNotALinkColour;
            } else {
                font.setUnderline(true);
                if (!selected)
                    textColour = colours.color(QPalette::Link);
            }
        }
        if (field == "Keyword") {
            textRect.setLeft(cell.left() + kKeywordIndent);
            painter.fillRect(cell, background);
            if (RowFailure(row)) {
                const QPixmap mark =
                    style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kImageSize);
                painter.drawPixmap(QRect(textRect.left(),
                                         cell.top() + (cell.height() - kImageSize) / 2, kImageSize,
                                         kImageSize),
                                   mark);
                textRect.setLeft(textRect.left() + kMarkWidth);
            }
        }
        if (IsNumberColumn(field) && !IsNull(results_.ValueAt(row, fieldIndex))) {
            const int measured = NumberTextWidth(text.toStdString());
            const int widest = StoredWidth(field).value_or(measured);
            textRect.setLeft(cell.left() + NumberTextOffset(widest, measured));
            painter.fillRect(cell, background);
        }
        drawStandard(textRect);
        if (field == "ChangePosition") {
            const Value& change = results_.ValueAt(row, fieldIndex);
            const int value =
                std::holds_alternative<std::int32_t>(change) ? std::get<std::int32_t>(change) : 0;
            if (value != 0)
                painter.drawImage(cell.left() + kChangePictureLeft, cell.top(),
                                  ImageList()[value > 0 ? kPictureRise : kPictureFall]);
        }
    }
    painter.restore();
}

const char* const TResultsGrid::PageLinkHint =
    "Double-click or Ctrl+click to open the page in your browser";

bool TResultsGrid::IsPageLink(const QModelIndex& index) const {
    if (!index.isValid() || GridColumns()[std::size_t(index.column())].field != "url" ||
        index.row() >= results_.RecordCount())
        return false;
    const int urlField = results_.FindFieldIndex("url");
    return !IsNull(results_.ValueAt(index.row(), urlField)) &&
           results_.TextAt(index.row(), urlField).find('/') != std::string::npos;
}

void TResultsGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier) &&
        IsPageLink(index))
        emit PageLinkActivated(index.row());
}

void TResultsGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    // A page link opens its page and nothing else; the grid's own double-click (the History
    // window) belongs to the other cells.
    if (event->button() == Qt::LeftButton && IsPageLink(index)) {
        emit PageLinkActivated(index.row());
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void TResultsGrid::mouseMoveEvent(QMouseEvent* event) {
    QTableView::mouseMoveEvent(event);
    ResDBGridEhMouseMove(event->position().toPoint());
}

void TResultsGrid::ResDBGridEhMouseMove(const QPoint& position) {
    // Cells are named as the grid counts them: row 0 is the title row, so LastHintCell
    // starts on the first title cell.
    const int row = rowAt(position.y());
    const int logical = columnAt(position.x());
    const GridCell cell{logical < 0 ? -1 : horizontalHeader()->visualIndex(logical),
                        row < 0 ? -1 : row + 1};
    if (cell == lastHintCell_)
        return;
    hint_.clear();
    if (cell.column < 0 || cell.row < 0) {
        QToolTip::hideText();
        return;
    }

    // The hovered row is read where it stands: the table's current record, its controls and
    // so CurrentEngine stay untouched.
    const std::string* failure = nullptr;
    if (row < results_.RecordCount()) {
        const std::string_view field = GridColumns()[std::size_t(logical)].field;
        const Value& date = results_.ValueAt(row, results_.FindFieldIndex(HintDateField(field)));
        if (std::holds_alternative<Date>(date))
            hint_ = QString::fromStdString(quorvia::HintText(std::get<Date>(date)));
        if (IsPageLink(model_->index(row, logical)))
            hint_ += (hint_.isEmpty() ? QString() : QStringLiteral("\n")) +
                     QString::fromUtf8(PageLinkHint);
        failure = field == "Keyword" ? RowFailure(row) : nullptr;
        if (failure)
            hint_ += (hint_.isEmpty() ? QString() : QStringLiteral("\n")) +
                     QStringLiteral("Not checked in the last scan: ") +
                     QString::fromStdString(*failure);
    }
    // The shown tip is replaced in place, never hidden first: hiding only starts the tip's
    // delayed hide, and showing the same text again would not stop it, so equal hints of two
    // neighbouring cells would vanish. The cell's rectangle makes even an equal text move to
    // the pointer; a log line, often long, is wrapped.
    if (hint_.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(viewport()->mapToGlobal(position),
                           failure ? Qt::convertFromPlainText(hint_) : hint_, viewport(),
                           visualRect(model_->index(row, logical)));
    lastHintCell_ = cell;
}

void TResultsGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid() && !results_.ControlsDisabled() && current.row() != results_.RecNo() &&
        current.row() < results_.RecordCount() && results_.State() == TableState::Browse)
        results_.MoveTo(current.row());
}

void TResultsGrid::FollowTableRow(int row) {
    if (row < 0 || row >= model_->rowCount())
        return;
    if (currentIndex().isValid() && currentIndex().row() == row)
        return;
    const int column =
        currentIndex().isValid() ? currentIndex().column() : horizontalHeader()->logicalIndex(0);
    selectionModel()->setCurrentIndex(model_->index(row, column),
                                      QItemSelectionModel::ClearAndSelect |
                                          QItemSelectionModel::Rows);
}

std::string_view TResultsGrid::FieldAtPlace(int place) const {
    return GridColumns()[std::size_t(horizontalHeader()->logicalIndex(place))].field;
}

bool TResultsGrid::IsColumnShown(std::string_view field) const {
    return !horizontalHeader()->isSectionHidden(GridColumnIndex(field));
}

void TResultsGrid::SetColumnShown(std::string_view field, bool shown) {
    horizontalHeader()->setSectionHidden(GridColumnIndex(field), !shown);
    FitColumns();
}

void TResultsGrid::SaveLayout(ProfileFile& file) const {
    const QHeaderView* header = horizontalHeader();
    for (int c = 0; c < kGridColumnCount; ++c) {
        ColumnLayoutEntry entry;
        entry.place = header->visualIndex(c);
        entry.shown = !header->isSectionHidden(c);
        entry.width = entry.shown ? header->sectionSize(c) : designWidths_[std::size_t(c)];
        file.WriteString(kGridLayoutSection, ColumnLayoutKey(GridColumns()[std::size_t(c)].field),
                         FormatColumnLayout(entry));
    }
}

void TResultsGrid::RestoreLayout(const ProfileFile& file) {
    QHeaderView* header = horizontalHeader();
    std::vector<int> logicalAtPlace(kGridColumnCount);
    std::vector<int> wanted(kGridColumnCount);
    for (int place = 0; place < kGridColumnCount; ++place) {
        const int c = header->logicalIndex(place);
        logicalAtPlace[std::size_t(place)] = c;
        wanted[std::size_t(place)] = place;
        const StoredColumnLayout stored = ParseColumnLayout(file.ReadString(
            kGridLayoutSection, ColumnLayoutKey(GridColumns()[std::size_t(c)].field), ""));
        if (stored.width && *stored.width > 0) {
            designWidths_[std::size_t(c)] = *stored.width;
            // Until the grid has a width to fill, its columns show the stored widths.
            fitting_ = true;
            header->resizeSection(c, *stored.width);
            fitting_ = false;
        }
        if (stored.place)
            wanted[std::size_t(place)] = *stored.place;
    }
    fitting_ = true;
    const std::vector<int> order = OrderByWantedPlaces(wanted);
    for (int place = 0; place < kGridColumnCount; ++place)
        header->moveSection(
            header->visualIndex(logicalAtPlace[std::size_t(order[std::size_t(place)])]), place);
    fitting_ = false;
    FitColumns();
}

std::vector<int> TResultsGrid::OfferedColumns() const {
    std::vector<int> offered;
    for (int place = 0; place < kGridColumnCount; ++place) {
        const int c = horizontalHeader()->logicalIndex(place);
        const std::string_view field = GridColumns()[std::size_t(c)].field;
        if (field != "Keyword" && field != "url")
            offered.push_back(c);
    }
    return offered;
}

void TResultsGrid::FillColumnForm(TColumnForm& form) const {
    for (int c : OfferedColumns())
        form.AddColumn(ToQString(GridColumns()[std::size_t(c)].caption),
                       !horizontalHeader()->isSectionHidden(c));
}

void TResultsGrid::ApplyColumnForm(const TColumnForm& form) {
    const std::vector<int> offered = OfferedColumns();
    for (int item = 0; item < form.ColumnCount() && item < int(offered.size()); ++item)
        horizontalHeader()->setSectionHidden(offered[std::size_t(item)], !form.IsTicked(item));
    FitColumns();
}

void TResultsGrid::ColumnButtonClick(QWidget* owner) {
    TColumnForm form(owner);
    FillColumnForm(form);
    if (form.exec() == QDialog::Accepted)
        ApplyColumnForm(form);
}

} // namespace quorvia
