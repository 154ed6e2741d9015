#pragma once
// quorvia-cli list: the sites with their keywords, the engines, and the latest rankings, as
// plain tables of aligned columns.

#include "cli/ProgramFiles.h"

#include <ostream>
#include <string>
#include <vector>

namespace quorvia {

// Columns padded to their widest cell (counted in characters), two blanks apart; the last
// column is not padded, and no line ends in blanks.
std::string PlainTable(const std::vector<std::vector<std::string>>& rows);

// Gives ExitAllChecked.
int RunList(TProgramFiles& files, std::ostream& out);

} // namespace quorvia
