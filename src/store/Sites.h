#pragma once
// The rules of the user's sites and their keyword records, kept apart from the dialogs and
// boxes that use them. Sites are kept exactly as typed; only the selector compares names
// without regard to letter case.

#include "store/Table.h"

#include <string>
#include <string_view>

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

// The selector's rule: makes current the first site whose SiteName equals the value with
// letter case ignored. Gives false, leaving the current site alone, when none does.
bool SelectSite(TClientDataSet& sites, std::string_view value);

// Typing into a keyword box: opens the current site's keyword record for editing, starting
// one for the site (it takes the site's SiteName) when it has none yet. Without a current site
// there is nothing to type for: gives false and opens nothing.
bool BeginKeywordEdit(TClientDataSet& words);

// Leaving a keyword box or Enter in it: stores a changed record; one opened but not changed
// is left as it was, so a site never typed for gets no record.
void FinishKeywordEdit(TClientDataSet& words);

} // namespace quorvia
