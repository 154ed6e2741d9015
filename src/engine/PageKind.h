#pragma once
// What a result page without a single recognised result is, so that the log can say what
// happened and what to do instead of blaming the definition: the engine's own "nothing found"
// answer (known from the definition's NoResults pattern), a captcha or "unusual traffic"
// check, a consent wall, or a page the definition cannot read. Refusals by HTTP status (403,
// 429) come from the fetch, not from the page.

#include <string>
#include <string_view>

#include "engine/TRegExpr.h"

namespace quorvia {

enum class TPageKind { NoResults, Captcha, Consent, Unrecognised };

// noResults may be null (the definition has no NoResults pattern). finalAddress is where the
// page came from, after redirects (empty for a page from the cache).
TPageKind ClassifyResultlessPage(std::string_view page, std::string_view finalAddress,
                                 TRegExpr* noResults);

// The log line for a page of that kind (not NoResults) or for a refusal, naming the engine and
// the keyword and saying what to do; keptPage is where the page was kept (empty: not kept).
std::string PageKindMessage(TPageKind kind, const std::string& engineName,
                            const std::string& keyword, const std::string& keptPage);
std::string RefusalMessage(int status, const std::string& engineName, const std::string& keyword,
                           const std::string& keptPage);
// The line for the engine's own "nothing found" answer.
std::string NoResultsAnswerMessage(const std::string& engineName, const std::string& keyword);

} // namespace quorvia
