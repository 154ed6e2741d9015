// Link extraction runs the two address patterns on our own matcher; a new matcher per call
// keeps the functions free of shared state.

#include "engine/ResultLink.h"

#include "engine/TRegExpr.h"
#include "platform/Text.h"

namespace quorvia {

namespace {

const char* const kAbsoluteAddress =
    "(?i)(FTP|HTTP)://([_a-z\\d\\-]+(\\.[_a-z\\d\\-]+)+)((/[_a-z\\?\\=\\%\\&\\d\\-\\\\\\./~]+)+)*";
const char* const kBareDomain =
    "(?i)([_a-z\\d\\-]+(\\.[_a-z\\d\\-]+)+)((/[_a-z\\?\\=\\%\\&\\d\\-\\\\\\./~]+)+)*";

// Every occurrence of `what` (any letter case) removed, leaving nothing in its place.
std::string RemoveIgnoringCase(std::string_view text, std::string_view what) {
    const std::string lowered = LowerAscii(text);
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = lowered.find(what, from)) != std::string::npos;
         from = at + what.size())
        out.append(text.substr(from, at - from));
    out.append(text.substr(from));
    return out;
}

} // namespace

std::string ExtractFirstUrl(std::string_view text) {
    std::string cleaned = RemoveIgnoringCase(text, "<b>");
    cleaned = RemoveIgnoringCase(cleaned, "</b>");
    cleaned = RemoveIgnoringCase(cleaned, "&nbsp;");
    try {
        TRegExpr absolute(kAbsoluteAddress);
        if (absolute.FindFirst(cleaned))
            return absolute.Match(0);
        TRegExpr bare(kBareDomain);
        if (bare.FindFirst(cleaned))
            return "http://" + bare.Match(0);
    } catch (const std::exception&) {
    }
    return {};
}

std::string GetSiteRoot(std::string_view address) {
    for (std::size_t i = 1; i < address.size(); ++i)
        if (address[i] == '/' && address[i - 1] != '/' && address[i - 1] != ':')
            return std::string(address.substr(0, i + 1));
    return std::string(address) + "/";
}

std::string GetHostKey(std::string_view address) {
    if (const std::size_t scheme = address.find("://"); scheme != std::string_view::npos)
        address.remove_prefix(scheme + 3);
    if (!address.empty() && address.back() == '/')
        address.remove_suffix(1);
    std::string key = LowerAscii(address);
    if (!key.starts_with("www."))
        key.insert(0, "www.");
    return key;
}

std::string GetSiteKey(std::string_view siteNameOrLink) {
    return GetHostKey(GetSiteRoot(siteNameOrLink)); // already lower case
}

std::string ExtractResultLink(std::string_view snippet) {
    std::string link = StartsWithIgnoreAsciiCase(snippet, "http://")
                           ? ExtractFirstUrl(snippet)
                           : ExtractFirstUrl("http://" + std::string(snippet));
    if (!link.empty() && link.back() == '/')
        link.pop_back();
    return link;
}

bool IsSiteLink(std::string_view siteName, std::string_view link) {
    return GetSiteKey(siteName) == GetSiteKey(link);
}

} // namespace quorvia
