#pragma once
// The shell's "open": hands a file path or an address to the desktop, which starts the user's
// help viewer, mail program or web browser. Its outcome is not looked at, so a target that
// cannot be opened fails in silence.

#include <functional>
#include <string>

namespace quorvia {

using ShellOpenHandler = std::function<void(const std::string& target)>;

// An absolute path opens as a local file; anything else is taken as an address.
void ShellOpen(const std::string& target);

// Puts another handler in place of the desktop's (tests record the calls with it) and gives back
// the one it replaced. An empty handler brings back the desktop's.
ShellOpenHandler SetShellOpenHandler(ShellOpenHandler handler);

} // namespace quorvia
