#pragma once
// The ranking records of one walk (engine and keyword) of the current site: one record per
// site link the walk met, or exactly one "not found" record that carries the best values of
// the links it replaced. The table's master link keeps every step to the current site.
//
//   TPositionBook book(tables.SECacheClientDataSet);
//   book.DropNotFoundRecords("Web", "red shoes");
//   book.RecordFoundLink("Web", "red shoes", "http://www.site.example/shoes", 4, 1);
//   book.FinishPairRecords("Web", "red shoes", found, 50);
//
// "Best" is the value at the last improvement over the previous walk, not a minimum.

#include "platform/Date.h"
#include "store/Table.h"

#include <set>
#include <string>
#include <string_view>

namespace quorvia {

// The site links met in one walk, each once; membership ignores A-Z letter case.
class TFoundLinks {
public:
    // False when the link (in any letter case) is in already.
    bool Add(std::string_view link);
    bool Contains(std::string_view link) const;

private:
    std::set<std::string> links_; // lowered
};

// The url of a not-found record: "Not in first <depth> results".
std::string NotFoundUrl(int depth);
// A not-found record's url holds no "/"; a link always holds one.
bool IsNotFoundUrl(std::string_view url);

// Best values of the last record a walk deleted that had a best position.
struct TCarriedBest {
    int position = 0;
    int page = 0;
    Date date;
};

// One walk's bookkeeping over SECacheClientDataSet (or a table of its fields). Make one per
// walk: the carried best values start afresh with it. Table errors propagate untouched.
class TPositionBook {
public:
    explicit TPositionBook(TClientDataSet& rankings);

    // Start of a walk: removes the pair's not-found record, carrying its best values.
    void DropNotFoundRecords(std::string_view engineName, std::string_view keyword);
    // A new site link of the walk: updates its record (exact search) or appends one.
    void RecordFoundLink(std::string_view engineName, std::string_view keyword,
                         std::string_view link, int position, int page);
    // End of a walk: removes the records of links not met again; leaves one not-found record
    // when none is left. The caller rebuilds the result rows afterwards.
    void FinishPairRecords(std::string_view engineName, std::string_view keyword,
                           const TFoundLinks& foundLinks, int depth);

    const TCarriedBest& CarriedBest() const { return carried_; }

private:
    // Deletes the pair's records the test picks, carrying best values; the filter is left
    // switched off on every path.
    template <typename Pick>
    void DeletePairRecords(std::string_view engineName, std::string_view keyword, Pick pick);
    void CarryBestOfCurrent();
    void AppendNotFound(std::string_view engineName, std::string_view keyword, int depth);

    TClientDataSet& rankings_;
    TCarriedBest carried_;
};

} // namespace quorvia
