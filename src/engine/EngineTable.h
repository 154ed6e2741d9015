#pragma once
// The engine definitions table (SE_ClientDataSet) as whole definitions, and the user's
// repaired definitions in the "engines" folder beside "SE.cds". A table loaded from an "SE.cds"
// written before NextForm and NoResults existed has only the first four fields; its
// definitions read with those two empty, which is how such an engine always worked.

#include "engine/EngineSource.h"
#include "store/Table.h"

#include <filesystem>
#include <string>
#include <vector>

namespace quorvia {

// The current record's definition.
TEngineRecord CurrentEngineRecord(TClientDataSet& engines);

// Replaces the definition whose SENAME equals the engine's without regard to A-Z letter case
// (the name keeps its letter case), or appends it. A table without the optional fields gains them first (in memory only:
// "SE.cds" is never written back).
void PutEngineRecord(TClientDataSet& engines, const TEngineRecord& engine);

// Every "*.txt" file of the folder, in name order, in the definition source format: each of
// its definitions adds to the table or replaces the one of the same name. A file that cannot
// be read or does not parse changes nothing; the returned lines name it and, for a parse
// error, its line. A missing folder gives no line.
std::vector<std::string> ApplyEngineFolder(TClientDataSet& engines,
                                           const std::filesystem::path& folder);

} // namespace quorvia
