#pragma once
// What an engine definition makes of one result page, result by result, as the page walk sees
// it: each match of the result pattern, the snippet that follows it up to the next match, the
// link taken from that snippet, and the next page's address. engine-check prints it so that a
// user can repair a definition after an engine changed its markup; the sample-page test checks
// the shipped definitions with it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineDefinition.h"

namespace quorvia {

struct TCheckedResult {
    int position = 0;             // 1-based, in page order
    std::size_t matchStart = 0;   // offset of the result pattern's match in the page
    std::size_t snippetStart = 0; // offset just after the match
    std::string snippet;          // up to the next match of the result pattern, or the page end
    std::string link;             // ExtractResultLink of the snippet; empty when none
};

struct TPageCheck {
    std::vector<TCheckedResult> results;
    std::optional<std::string> nextAddress; // none when the next-page pattern does not match
};

// The snippet of the result whose match ends at matchEnd: the page text from there up to where
// snippetEnd (a second matcher of the result pattern) first matches in that text searched on
// its own, or up to the page's end. The page walk and CheckResultPage cut snippets by it.
std::string_view ResultSnippet(std::string_view page, std::size_t matchEnd, TRegExpr& snippetEnd);

// Every result of the page, not only those within a scan depth. Pattern errors (PatternError)
// propagate, an empty result or next-page pattern among them.
TPageCheck CheckResultPage(const DefinitionParts& definition, std::string_view page);

} // namespace quorvia
