#pragma once
// The user's tables at start-up. A file that is there but cannot be read as a table is not
// lost, and neither is what the user enters afterwards: the file is moved aside under a name
// that says so ("WebSite.cds.damaged-2026-12-11"), the table starts empty and is saved at
// exit as usual. Only a file that cannot even be moved aside, or read at all, keeps its table
// from being saved, and the user is told so.

#include "store/Table.h"

#include <string>
#include <string_view>

namespace quorvia {

struct TUserTableLoad {
    bool savable = true; // the table may be written to its file at shutdown
    std::string message; // what the user is told; empty when nothing went wrong
};

// Loads the table from the file when the file exists; a missing file leaves it empty.
// `contents` names what the file holds in the user's words ("web sites" for "Your web sites").
TUserTableLoad LoadUserTableFile(TClientDataSet& table, const std::string& path,
                                 std::string_view contents);

// "<path>.damaged-YYYY-MM-DD" for today, or with "-2", "-3", ... after it when that name is
// taken already.
std::string DamagedFileName(const std::string& path);

// A message in plain words, then the technical detail it comes from.
std::string WithDetails(std::string_view plain, std::string_view details);

} // namespace quorvia
