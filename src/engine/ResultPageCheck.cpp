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

bool TResultSteps::First(std::string_view page) {
    page_ = page;
    followed_ = results_.FindFirst(page);
    if (followed_) {
        followStart_ = results_.MatchPos(0);
        followEnd_ = followStart_ + results_.MatchLen(0);
    }
    return Take();
}

bool TResultSteps::Next() {
    return Take();
}

// Makes the match found ahead the current one and looks for the match after it, from just
// past its start, so that a match starting inside it is seen.
bool TResultSteps::Take() {
    if (!followed_)
        return false;
    start_ = followStart_;
    end_ = followEnd_;
    followed_ = results_.FindFrom(start_ + 1);
    if (followed_) {
        followStart_ = results_.MatchPos(0);
        followEnd_ = followStart_ + results_.MatchLen(0);
    }
    cut_ = followed_ && followStart_ < end_;
    snippet_ = cut_ ? std::string_view() : ResultSnippet(page_, end_, cutter_);
    return true;
}

TPageCheck CheckResultPage(const DefinitionParts& definition, std::string_view page) {
    TPageCheck check;
    TRegExpr results(definition.resultPattern);
    TRegExpr cutter(definition.resultPattern);
    TResultSteps steps(results, cutter);
    for (bool found = steps.First(page); found; found = steps.Next()) {
        TCheckedResult result;
        result.position = int(check.results.size()) + 1;
        result.matchStart = steps.MatchStart();
        result.snippetStart = steps.SnippetStart();
        result.snippet = std::string(steps.Snippet());
        result.link = ExtractResultLink(result.snippet);
        result.cut = steps.Cut();
        check.results.push_back(std::move(result));
    }
    TRegExpr next(definition.nextPagePattern);
    TRegExpr form(definition.nextFormPattern);
    check.next = NextPageRequest(definition, page, next, form);
    return check;
}

std::optional<TPageRequest> NextPageRequest(const DefinitionParts& definition,
                                            std::string_view page, TRegExpr& nextPage,
                                            TRegExpr& nextForm) {
    if (std::optional<std::string> address = NextAddress(definition.addressPrefix, page, nextPage))
        return GetRequest(std::move(*address));
    if (definition.nextFormPattern.empty())
        return std::nullopt;
    return NextFormRequest(definition.addressPrefix, page, nextForm);
}

} // namespace quorvia
