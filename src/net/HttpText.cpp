#include "net/HttpText.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quorvia {

namespace {

bool IsSchemeChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

void SplitAuthority(std::string_view authority, TUrlParts& parts) {
    const auto colon = authority.rfind(':');
    const auto at = authority.rfind('@');
    std::string_view userInfo;
    if (colon == std::string_view::npos && at == std::string_view::npos) {
        parts.Host = authority;
    } else if (colon != std::string_view::npos && (at == std::string_view::npos || colon > at)) {
        const std::size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
        parts.Port = authority.substr(colon + 1);
        parts.Host = authority.substr(hostStart, colon - hostStart);
        if (at != std::string_view::npos)
            userInfo = authority.substr(0, at);
    } else {
        parts.Host = authority.substr(at + 1);
        userInfo = authority.substr(0, at);
    }
    const auto userColon = userInfo.find(':');
    parts.User = userInfo.substr(0, userColon);
    if (userColon != std::string_view::npos)
        parts.Pass = userInfo.substr(userColon + 1);
}

} // namespace

TUrlParts SplitUrl(std::string_view url) {
    TUrlParts parts;
    std::string_view rest;
    const auto separator = url.find("://");
    if (separator != std::string_view::npos &&
        std::all_of(url.begin(), url.begin() + separator, IsSchemeChar)) {
        parts.Proto = url.substr(0, separator);
        rest = url.substr(separator + 3);
    } else if (url.starts_with('/')) {
        parts.Proto = "http";
        if (url.size() > 1 && url[1] != '/') {
            parts.Path = url;
            return parts;
        }
        rest = url.substr(1);
    } else if (StartsWithIgnoreAsciiCase(url, "http:")) {
        parts.Proto = "http";
        if (url.size() > 6 && url[6] != '/') {
            parts.Path = url.substr(5);
            return parts;
        }
        rest = url.substr(std::min<std::size_t>(6, url.size()));
    } else if (StartsWithIgnoreAsciiCase(url, "mailto:")) {
        parts.Proto = "mailto";
        rest = url.substr(url.find(':') + 1);
    } else {
        rest = url;
        if (separator != std::string_view::npos)
            parts.Proto = "http";
    }

    const auto pathStart = rest.find_first_of("/?");
    if (pathStart != std::string_view::npos)
        parts.Path = rest.substr(pathStart);
    SplitAuthority(rest.substr(0, pathStart), parts);
    return parts;
}

std::string SocketErrorDesc(int code) {
    static constexpr std::array<std::pair<int, const char*>, 51> texts{{
        {0, "No Error"},
        {10004, "Interrupted system call"},
        {10009, "Bad file number"},
        {10013, "Permission denied"},
        {10014, "Bad address"},
        {10022, "Invalid argument"},
        {10024, "Too many open files"},
        {10035, "Operation would block"},
        {10036, "Operation now in progress"},
        {10037, "Operation already in progress"},
        {10038, "Socket operation on non-socket"},
        {10039, "Destination address required"},
        {10040, "Message too long"},
        {10041, "Protocol wrong type for socket"},
        {10042, "Protocol not available"},
        {10043, "Protocol not supported"},
        {10044, "Socket type not supported"},
        {10045, "Operation not supported on socket"},
        {10046, "Protocol family not supported"},
        {10047, "Address family not supported by protocol family"},
        {10048, "Address already in use"},
        {10049, "Address not available"},
        {10050, "Network is down"},
        {10051, "Network is unreachable"},
        {10052, "Network dropped connection on reset"},
        {10053, "Connection aborted"},
        {10054, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {10056, "Socket is already connected"},
        {10057, "Socket is not connected"},
        {10058, "Can't send after socket shutdown"},
        {10059, "Too many references: can't splice"},
        {10060, "Connection timed out"},
        {10061, "Connection refused"},
        {10062, "Too many levels of symbolic links"},
        {10063, "File name too long"},
        {10064, "Host is down"},
        {10065, "No route to host"},
        {10066, "Directory not empty"},
        {10067, "Too many processes"},
        {10068, "Too many users"},
        {10069, "Disc quota exceeded"},
        {10070, "Stale NFS file handle"},
        {10071, "Too many levels of remote in path"},
        {10091, "Network sub-system is unusable"},
        {10092, "WinSock DLL cannot support this application"},
        {10093, "WinSock not initialized"},
        {11001, "Host not found"},
        {11002, "Non-authoritative host not found"},
        {11003, "Non-recoverable error"},
        {11004, "No Data"},
    }};
    for (const auto& [known, text] : texts)
        if (known == code)
            return text;
    return "Not a WinSock error";
}

} // namespace quorvia
