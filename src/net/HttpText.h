#pragma once
// Address splitting and socket error texts, shared by the HTTP exchange, the timed client and
// the page fetcher.

#include <string>
#include <string_view>

namespace quorvia {

// The parts of an address text; each is empty when the text does not have it.
struct TUrlParts {
    std::string Proto;
    std::string User;
    std::string Pass;
    std::string Host;
    std::string Port; // as written; callers use "80" when it is empty
    std::string Path; // from the first "/" or "?" of what follows the scheme
};

TUrlParts SplitUrl(std::string_view url);

// The English text of a Windows Sockets error code; "Not a WinSock error" for unknown codes.
std::string SocketErrorDesc(int code);

} // namespace quorvia
