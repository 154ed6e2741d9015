#pragma once
// quorvia-cli check: the window's scan, site after site, without the window. Progress goes to
// a stream a line per pair, each failed pair followed by its log messages.

#include "cli/CliArguments.h"
#include "cli/ProgramFiles.h"

#include <ostream>

namespace quorvia {

// Checks the sites the command names (default: the remembered one) and saves the tables as the
// window's shutdown would. Gives ExitAllChecked or ExitSomeNotChecked; throws TCliError for a
// site or engine that does not exist, nothing to check, or tables that cannot be written.
int RunCheck(const TCliCommand& command, TProgramFiles& files, std::ostream& progress);

// Ends the running check as "Stop scanning" does: the request under way is given up, no
// further pair starts. Safe to call from a signal handler.
void RequestCheckStop();

} // namespace quorvia
