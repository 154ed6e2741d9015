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
#include "engine/FormPaging.h"

namespace quorvia {

// The snippet of the result whose match ends at matchEnd: the page text from there up to where
// snippetEnd (a second matcher of the result pattern) first matches in that text searched on
// its own, or up to the page's end.
std::string_view ResultSnippet(std::string_view page, std::size_t matchEnd, TRegExpr& snippetEnd);

// Steps through the results of one page in order. A result pattern such as
// '<li class="hit">.*?<cite>' keys on an element inside the result's block; in a block that
// lacks it, the lazy part runs on into the next block and the match would take the next
// result's address, shifting every later rank. So each match is bounded by the start of the
// next one: a match that reaches over the start of the following match is cut there. The cut
// result still counts, with an empty snippet (it has no address to give), and the following
// result keeps its own match.
class TResultSteps {
public:
    // Both matchers hold the result pattern; the page must outlive the steps.
    TResultSteps(TRegExpr& results, TRegExpr& snippetEnd)
        : results_(results), cutter_(snippetEnd) {}

    bool First(std::string_view page);
    bool Next();

    std::size_t MatchStart() const { return start_; }
    std::size_t SnippetStart() const { return cut_ ? start_ : end_; }
    std::string_view Snippet() const { return snippet_; }
    // The result's match ran over the next result's start and was cut there.
    bool Cut() const { return cut_; }

private:
    bool Take();

    TRegExpr& results_;
    TRegExpr& cutter_;
    std::string_view page_;
    std::size_t start_ = 0, end_ = 0;
    bool followed_ = false; // a match after the current one was found
    std::size_t followStart_ = 0, followEnd_ = 0;
    std::string_view snippet_;
    bool cut_ = false;
};

struct TCheckedResult {
    int position = 0;             // 1-based, in page order
    std::size_t matchStart = 0;   // offset of the result pattern's match in the page
    std::size_t snippetStart = 0; // offset just after the match (its start when cut)
    std::string snippet;          // up to the next match of the result pattern, or the page end
    std::string link;             // ExtractResultLink of the snippet; empty when none
    bool cut = false;             // the match ran into the next result (TResultSteps)
};

struct TPageCheck {
    std::vector<TCheckedResult> results;
    std::optional<TPageRequest> next; // none when neither a next-page link nor form is found
};

// The next page's request: the next-page link when the pattern finds one, else the next-page
// form when the definition has a NextForm pattern (nextForm holds it), else none.
std::optional<TPageRequest> NextPageRequest(const DefinitionParts& definition,
                                            std::string_view page, TRegExpr& nextPage,
                                            TRegExpr& nextForm);

// Every result of the page, not only those within a scan depth. Pattern errors (PatternError)
// propagate, an empty result or next-page pattern among them.
TPageCheck CheckResultPage(const DefinitionParts& definition, std::string_view page);

} // namespace quorvia
