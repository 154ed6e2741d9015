#pragma once
// The rows the result grid shows. ResClientDataSet is rebuilt from scratch out of the current
// site's ranking records: an engine row (url null) heads each ticked engine's block, followed by
// one result row per record whose keyword stands in one of the site's keyword boxes, its address
// shown as the part after the site's host. ResMinClientDataSet gets one row holding the widest
// text, in pixels, of each number column, so the grid can end all numbers at one x.
// CurrentEngine follows the engine of the grid's current row.
//
// Toolkit-free: the window hands in what its controls show (the site name, the engine list) and
// a function measuring a number's text the way the grid draws it.

#include "store/Tables.h"
#include "view/PairMarks.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

// One item of the engine list: its text and its tick.
struct TEngineListItem {
    std::string text;
    bool ticked = false;
};

// True when the first item whose text equals the name, letter case ignored, is ticked.
bool IsEngineChecked(const std::vector<TEngineListItem>& engines, std::string_view name);

// The site's bare host in lower case: its site key without the leading "www.".
std::string SiteHost(std::string_view siteName);

// What a record's url shows: the part after the first occurrence of the host (compared in
// lower case, kept in its own case), "/" when nothing follows; the url itself when the host does
// not occur in it or is empty.
std::string DisplayAddress(std::string_view url, std::string_view host);

class TResultsViewBuilder {
public:
    using TextWidthFunction = std::function<int(std::string_view)>;

    // Becomes the after-scroll handler of ResClientDataSet for its lifetime. The tables outlive
    // the builder.
    TResultsViewBuilder(TTables& tables, TextWidthFunction numberTextWidth);
    ~TResultsViewBuilder();
    TResultsViewBuilder(const TResultsViewBuilder&) = delete;
    TResultsViewBuilder& operator=(const TResultsViewBuilder&) = delete;

    // Rebuilds both tables for the site the selector shows and leaves the first row current.
    // The result table is switched off from its controls for the whole rebuild, so its views
    // see one change at the end.
    void RefreshResults(std::string_view siteName, const std::vector<TEngineListItem>& engines);
    // Fills the width row from the result rows.
    void MeasureNumberColumns();
    // Follows the result table's current row while the table is connected to its controls.
    void ResClientDataSetAfterScroll(TClientDataSet& table);

    const std::string& CurrentEngine() const { return currentEngine_; }
    // The full address of the page a result row shows (its record's url), or empty for a row
    // that shows no page: an engine row, a "not found" row, an unchecked pair's row.
    std::string PageAddress(int row) const;
    // The pairs the last scan could not check; each of the site's keywords among them that has
    // no record gets a row with an empty url at the end of its engine's block (a block of its
    // own, after the others, for an engine without records). They outlive the builder.
    void SetPairMarks(const TPairMarks* marks) { marks_ = marks; }
    // Called when CurrentEngine changes: the grid repaints all of its rows.
    std::function<void()> RepaintGrid;

private:
    TTables& tables_;
    TextWidthFunction numberTextWidth_;
    std::string currentEngine_;
    const TPairMarks* marks_ = nullptr;
};

} // namespace quorvia
