// The signs are the words such pages show; they are looked for only on pages that hold no
// recognised result, so a result page that mentions them is never taken for one.

#include "engine/PageKind.h"

#include "platform/Text.h"

#include <initializer_list>

namespace quorvia {

namespace {

bool ContainsAny(std::string_view lowered, std::initializer_list<std::string_view> words) {
    for (const std::string_view word : words)
        if (lowered.find(word) != std::string_view::npos)
            return true;
    return false;
}

std::string Title(std::string_view lowered) {
    const std::size_t open = lowered.find("<title");
    if (open == std::string_view::npos)
        return {};
    const std::size_t from = lowered.find('>', open);
    const std::size_t to = lowered.find("</title", open);
    if (from == std::string_view::npos || to == std::string_view::npos || to < from)
        return {};
    return std::string(lowered.substr(from + 1, to - from - 1));
}

std::string WhereKept(const std::string& keptPage) {
    return keptPage.empty() ? " The page could not be kept."
                            : " The page is kept in " + keptPage + " (engine-check reads it).";
}

} // namespace

TPageKind ClassifyResultlessPage(std::string_view page, std::string_view finalAddress,
                                 TRegExpr* noResults) {
    if (noResults && noResults->FindFirst(page))
        return TPageKind::NoResults;
    const std::string lowered = LowerAscii(page);
    const std::string title = Title(lowered);
    if (ContainsAny(title, {"captcha", "robot", "unusual traffic", "verify"}) ||
        ContainsAny(lowered, {"captcha", "unusual traffic", "are you a robot", "not a robot",
                              "verify you are human", "bots use"}))
        return TPageKind::Captcha;
    const std::string address = LowerAscii(finalAddress);
    if (ContainsAny(address, {"://consent.", "/consent"}) ||
        ContainsAny(title, {"consent", "before you continue", "cookies"}) ||
        ContainsAny(lowered, {"action=\"https://consent.", "action=\"/consent"}))
        return TPageKind::Consent;
    return TPageKind::Unrecognised;
}

std::string PageKindMessage(TPageKind kind, const std::string& engineName,
                            const std::string& keyword, const std::string& keptPage) {
    switch (kind) {
    case TPageKind::Captcha:
        return engineName + " answered '" + keyword +
               "' with a captcha (a check for automated clients) instead of results. Wait an "
               "hour or more before you scan " +
               engineName + " again, or scan it through another connection." + WhereKept(keptPage);
    case TPageKind::Consent:
        return engineName + " showed a consent page instead of results for '" + keyword +
               "'. Open " + engineName +
               " once in your browser and answer it there, or scan through a connection in "
               "another region." +
               WhereKept(keptPage);
    case TPageKind::NoResults:
        return NoResultsAnswerMessage(engineName, keyword);
    case TPageKind::Unrecognised:
        break;
    }
    return "No results were recognised on the first page of " + engineName + " for '" + keyword +
           "'. The engine may have changed its pages: check its definition with engine-check." +
           WhereKept(keptPage);
}

std::string RefusalMessage(int status, const std::string& engineName, const std::string& keyword,
                           const std::string& keptPage) {
    return engineName + " refused to answer '" + keyword + "' (HTTP " + std::to_string(status) +
           (status == 429 ? ": too many requests" : ": forbidden") +
           "). Wait an hour or more before you scan " + engineName +
           " again, or scan it through another connection." + WhereKept(keptPage);
}

std::string NoResultsAnswerMessage(const std::string& engineName, const std::string& keyword) {
    return engineName + " found no results for '" + keyword +
           "': the site is recorded as not found. Check the keyword's spelling.";
}

} // namespace quorvia
