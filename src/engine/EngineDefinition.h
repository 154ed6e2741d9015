#pragma once
// Engine definitions: how a keyword goes into a query address, how the SearchURL and
// SearchMask fields of an engine record split into their parts, and the engine-name lists.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineSource.h"
#include "engine/TRegExpr.h"

namespace quorvia {

// The three characters that join the parts of SearchURL and SearchMask: "," with quotes.
inline constexpr std::string_view kDefinitionSeparator = "\",\"";

// A keyword's query form, which is also its cache key: bytes <= 32 trimmed from both ends,
// runs of blanks reduced to one, each blank made "+"; nothing else changes.
std::string EncodeKeyword(std::string_view keyword);

struct DefinitionParts {
    std::string addressPrefix;   // put before every captured next-page address
    std::string queryTemplate;   // first result page; "@@@" marks the keyword
    std::string nextPagePattern; // group 1 of its first match is the next address
    std::string resultPattern;   // matches once per result
    // NextForm: the next-page form; empty when the engine has none.
    std::string nextFormPattern = {};
    // NoResults: the engine's "nothing found" answer; empty when it is not known.
    std::string noResultsPattern = {};
};

// Splits SearchURL (prefix, separator, rest of template, separator, next-page pattern) and
// SearchMask (result pattern, optionally separator and ignored text). With fewer than two
// separators in SearchURL the parts come out unusable in the documented way: one separator
// gives an empty template and a next-page pattern from the joined text's third character on;
// none leaves the prefix empty too.
DefinitionParts SplitDefinition(std::string_view searchUrl, std::string_view searchMask);
// The same for a whole definition, with its NextForm and NoResults patterns.
DefinitionParts SplitDefinition(const TEngineRecord& engine);

// Every "@@@" of the template replaced by the query form, or the form appended when none.
std::string FirstQueryAddress(std::string_view queryTemplate, std::string_view queryForm);

// The prefix followed by group 1 of the first match of the next-page pattern in the page, as
// the page wrote it but with each "&amp;" read as "&"; the prefix alone when group 1 took no
// part; nothing without a match. Pattern errors propagate.
std::optional<std::string> NextAddress(std::string_view addressPrefix, std::string_view pageText,
                                       TRegExpr& nextPagePattern);

// True when one of the lines (of "IntSe.lst" or "badhtml.lst") equals the engine name without
// regard to letter case, whole line against whole name.
bool EngineInList(const std::vector<std::string>& lines, std::string_view engineName);

} // namespace quorvia
