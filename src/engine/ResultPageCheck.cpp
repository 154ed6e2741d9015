// A second matcher cuts the snippets, so the stepping matcher keeps its place on the page.

#include "engine/ResultPageCheck.h"

#include "engine/ResultLink.h"
#include "engine/TRegExpr.h"

namespace quorvia {

std::string_view ResultSnippet(std::string_view page, std::size_t matchEnd, TRegExpr& snippetEnd) {
    std::string_view snippet = page.substr(matchEnd);
    if (snippetEnd.FindFirst(snippet))
        snippet = snippet.substr(0, snippetEnd.MatchPos(0));
    return snippet;
}

TPageCheck CheckResultPage(const DefinitionParts& definition, std::string_view page) {
    TPageCheck check;
    TRegExpr results(definition.resultPattern);
    TRegExpr cutter(definition.resultPattern);
    for (bool found = results.FindFirst(page); found; found = results.FindNext()) {
        TCheckedResult result;
        result.position = int(check.results.size()) + 1;
        result.matchStart = results.MatchPos(0);
        result.snippetStart = result.matchStart + results.MatchLen(0);
        result.snippet = std::string(ResultSnippet(page, result.snippetStart, cutter));
        result.link = ExtractResultLink(result.snippet);
        check.results.push_back(std::move(result));
    }
    TRegExpr next(definition.nextPagePattern);
    check.nextAddress = NextAddress(definition.addressPrefix, page, next);
    return check;
}

} // namespace quorvia
