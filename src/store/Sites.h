#pragma once
// The rules of the user's sites and their keyword records, kept apart from the dialogs and
// boxes that use them. Sites are kept exactly as typed; only the selector compares names
// without regard to letter case.

#include "store/Table.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

// "Add": makes current the site whose SiteName equals the text exactly (letter case and blanks
// count), or appends one holding the text as typed (cut to the field's width) and makes it
// current. An empty text changes nothing. Gives true when a site was added.
bool AddSite(TClientDataSet& sites, std::string_view siteName);

// "Delete": removes the current site record and nothing else, so its keywords and rankings
// come back when a site of the same name is added again. The following site becomes current,
// or the preceding one after the last. Gives false when there is no site.
bool DeleteCurrentSite(TClientDataSet& sites);

// The question asked before deleting: "Do you want to delete '<name>' ?".
std::string DeleteSiteQuestion(std::string_view siteName);

// The selector's rule: makes current the site whose SiteName equals the value exactly, else
// the first one that equals it with letter case ignored. The exact match comes first so that
// of two sites differing only in case, the one picked is the one made current. Gives false,
// leaving the current site alone, when none matches.
bool SelectSite(TClientDataSet& sites, std::string_view value);

// The site selector's value changing to `wanted` (a pick in its list, or ShowSelectedSite):
// selects the site as SelectSite does; a value that names no site leaves the selector empty.
// Setting the value it already has does nothing. Gives true when the value changed, and the
// selector's change handler is then to run.
bool ChooseSite(TClientDataSet& sites, std::string& value, std::string_view wanted);

// The value ShowSelectedSite gives the selector: the current site's SiteName, empty when
// there are no sites.
std::string CurrentSiteName(TClientDataSet& sites);

// The selector's list: every SiteName in table order.
std::vector<std::string> SiteNames(const TClientDataSet& sites);

// The fields behind the four keyword boxes, left to right.
inline constexpr std::array<std::string_view, 4> KeywordFields = {"Word1", "Word2", "Word3",
                                                                  "Word4"};

// Typing into a keyword box: opens the current site's keyword record for editing, starting
// one for the site (it takes the site's SiteName) when it has none yet. Without a current site
// there is nothing to type for: gives false and opens nothing.
bool BeginKeywordEdit(TClientDataSet& words);

// Leaving a keyword box or Enter in it: stores a changed record; one opened but not changed
// is left as it was, so a site never typed for gets no record.
void FinishKeywordEdit(TClientDataSet& words);

// The text of keyword box `box` (0-3) changed by the user: opens the record as
// BeginKeywordEdit does and writes the box's field. False, writing nothing, without a site.
bool TypeKeyword(TClientDataSet& words, std::size_t box, std::string_view text);

// What the four boxes show: the current site's keyword texts (the pending ones while the
// record is being edited), all empty when the site has no keyword record.
std::array<std::string, 4> KeywordTexts(TClientDataSet& words);

// The non-empty texts of KeywordTexts, left to right: the keywords a scan asks for and the
// result rows show. None when the site has no keyword record.
std::vector<std::string> RecordKeywords(TClientDataSet& words);

} // namespace quorvia
