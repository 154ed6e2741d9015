#pragma once
// Result links and site matching: the address a result snippet points to, and whether an
// address belongs to the chosen site. Pure functions of their text; nothing is raised.

#include <string>
#include <string_view>

namespace quorvia {

// The first address in a piece of result HTML after "<b>", "</b>" and "&nbsp;" are removed
// (any letter case): the first http:// or ftp:// address, else "http://" and the first
// dotted name; the empty text when there is none or the matcher fails.
std::string ExtractFirstUrl(std::string_view text);

// The address cut after its first path slash (not the first character, not after "/" or
// ":"), or with "/" appended when it has none.
std::string GetSiteRoot(std::string_view address);

// What follows the first "://", without one trailing "/", lower case, with "www." in front.
std::string GetHostKey(std::string_view address);

// GetHostKey of GetSiteRoot: the lower-case host with "www.", which two addresses of one
// site share.
std::string GetSiteKey(std::string_view siteNameOrLink);

// The link of one result: ExtractFirstUrl of the snippet with "http://" put in front unless
// it begins so (in any letter case), without one trailing "/".
std::string ExtractResultLink(std::string_view snippet);

// True when the site name and the link have the same site key.
bool IsSiteLink(std::string_view siteName, std::string_view link);

} // namespace quorvia
