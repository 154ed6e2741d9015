#pragma once
// What Quorvia keeps in its program folder, read as the window's start-up reads it and written
// back as its shutdown writes it, without a window: the engine definitions, the user's tables,
// the two engine-name lists, the choices the window remembers and the connection settings.

#include "app/FormStorage.h"
#include "store/Tables.h"

#include <string>
#include <vector>

namespace quorvia {

class TProgramFiles {
public:
    // Reads everything from the program's folders and makes the user's "Cache" the cache root.
    // Definitions in the user's "engines" folder replace or add engines; a file there that does
    // not parse is reported on standard error. Throws TCliError when "SE.cds" or an existing
    // table file cannot be read.
    TProgramFiles();

    // "WebSite.cds", "Word.cds", "SECache.cds", in that order. Throws TCliError naming the file
    // that could not be written; the tables after it are not written.
    void SaveTables();

    // The engines the window's list shows: every defined engine, or with "U.S./International
    // only" ticked only those named in "IntSe.lst"; in table order.
    std::vector<std::string> ListedEngines();
    // The remembered ticked engines that the list shows, as the window ticks them at start-up.
    std::vector<std::string> RememberedEngines();

    TTables Tables;
    std::vector<std::string> IntSeList;
    std::vector<std::string> BadHtmlList;
    TStoredChoices Stored;
    bool InternationalOnly = false; // design states of the window's stored options
    bool ScanForFirst = true;
    int Depth = 50;
};

} // namespace quorvia
