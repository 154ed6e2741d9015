#pragma once
// The program's six tables with their fields (in declared order), sort orders and master
// links. The main window owns one TTables for the whole run.

#include "store/Table.h"

namespace quorvia {

struct TTables {
    TTables();

    // Declared first so that it outlives the two tables linked to it.
    TClientDataSet WebSiteClientDataSet;
    TClientDataSet WordClientDataSet;    // sorted by SiteName; detail of WebSite on SiteName
    TClientDataSet SE_ClientDataSet;     // named order "SE_ClientDataSetIndex1" on SENAME
    TClientDataSet SECacheClientDataSet; // sorted by SiteName;SENAME;keyword;url; detail
    TClientDataSet ResClientDataSet;     // same fields as SECache, adding order
    TClientDataSet ResMinClientDataSet;  // one row of column widths
};

// Fields of SECacheClientDataSet and ResClientDataSet.
std::vector<FieldDef> RankingFields();

} // namespace quorvia
