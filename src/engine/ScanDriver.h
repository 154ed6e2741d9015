#pragma once
// The scan around the pairs: the ticked engines and the site's keywords, sorted and freed of
// case-blind repeats, each engine asked for each keyword to the chosen depth, engines in the
// outer loop, the gauge at the share of pairs done after each pair. The window state around
// a scan (controls, scan button, animation) belongs to the main window.

#include "engine/ResultPageWalk.h"
#include "store/Table.h"

#include <string>
#include <vector>

namespace quorvia {

// The names sorted without regard to letter case in the user's collation; a name equal to an
// earlier one without regard to letter case (Unicode case folding) is dropped.
std::vector<std::string> SortedCaseBlindUnique(const std::vector<std::string>& names);

// 200, 150, 100, 50, 40, 30 or 20 for the first chosen of those buttons, tested from 200
// down; 10 otherwise. chosen lists the buttons "10" ... "200" left to right.
int ScanDepth(const std::vector<bool>& chosen);

// Engine list, keyword list and depth from the window and the keyword record, then RunScan.
// StopRequested is set when it ends, however it ends.
void StartScan(TScanContext& scan);

// Every pair not skipped because StopRequested is set. A pair's failure is the walk's to log;
// an error that escapes a walk ends the scan.
void RunScan(TScanContext& scan, const std::vector<std::string>& engines,
             const std::vector<std::string>& keywords, int depth);

} // namespace quorvia
