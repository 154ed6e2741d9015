// The snippet of a result is cut where the result pattern matches again in the text after the
// match, searched on its own from its start, exactly as the walk cuts it; a second matcher keeps
// the stepping matcher's place on the page.

#include "engine/ResultPageCheck.h"

#include "engine/ResultLink.h"
#include "engine/TRegExpr.h"

namespace quorvia {

TPageCheck CheckResultPage(const DefinitionParts& definition, std::string_view page) {
    TPageCheck check;
    TRegExpr results(definition.resultPattern);
    TRegExpr cutter(definition.resultPattern);
    for (bool found = results.FindFirst(page); found; found = results.FindNext()) {
        TCheckedResult result;
        result.position = int(check.results.size()) + 1;
        result.matchStart = results.MatchPos(0);
        result.snippetStart = result.matchStart + results.MatchLen(0);
        std::string_view snippet = page.substr(result.snippetStart);
        if (cutter.FindFirst(snippet))
            snippet = snippet.substr(0, cutter.MatchPos(0));
        result.snippet = std::string(snippet);
        result.link = ExtractResultLink(snippet);
        check.results.push_back(std::move(result));
    }
    TRegExpr next(definition.nextPagePattern);
    check.nextAddress = NextAddress(definition.addressPrefix, page, next);
    return check;
}

} // namespace quorvia
