#pragma once
// The walk over one engine's result pages for one keyword: pages from today's cache or the
// network, results counted across pages, the chosen site's links recorded, next-page links
// followed until the depth, the engine's last page, or (when asked) the site's first link.
//
// A walk that got no page, or whose first page held no result at all, leaves the pair's
// ranking records exactly as they were: nothing was measured, so nothing is claimed.

#include "engine/ScanWindow.h"
#include "store/Tables.h"

#include <string>
#include <vector>

namespace quorvia {

// What a scan works on: the window, the tables the main window owns and "badhtml.lst".
struct TScanContext {
    IScanWindow& Window;
    TTables& Tables;
    const std::vector<std::string>& BadHtmlList;
};

// One engine-and-keyword pair. done rises by one per result met; the gauge shows
// done * 100 / total after each page. A failure inside the page loop is logged (unless the
// user asked to stop) and ends the walk; a failure in setting up (an unknown engine, a table
// error before the first result) leaves the walk after its ending steps. A pair asked to its
// end, checked or failed, is reported to the window (PairEnded) before those steps.
void CheckEngineKeyword(TScanContext& scan, const std::string& engineName,
                        const std::string& keyword, int depth, int& done, int total);

} // namespace quorvia
