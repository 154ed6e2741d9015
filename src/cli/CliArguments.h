#pragma once
// The command line of quorvia-cli: a command and its options, read without side effects.
//
//   quorvia-cli check [--site NAME]... [--all] [--engine NAME]... [--depth N] [--first-only]
//   quorvia-cli list
//   quorvia-cli --help
//
// An option's value follows it as the next argument or after "=" ("--site=example.com").

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvia {

// Bad usage or files that cannot be read: the tool ends with exit code 2 and this message.
class TCliError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The tool's exit codes.
enum TExitCode : int {
    ExitAllChecked = 0,     // every pair was checked (and for list, the table was shown)
    ExitSomeNotChecked = 1, // a pair failed, or the check was stopped before its end
    ExitBadUsage = 2,       // bad arguments, files that cannot be read or written, the lock taken
};

enum class TCliCommandKind { Help, Check, List };

struct TCliCommand {
    TCliCommandKind Kind = TCliCommandKind::Help;
    std::vector<std::string> Sites; // --site, in the order given
    bool AllSites = false;          // --all
    std::vector<std::string> Engines;
    std::optional<int> Depth;
    bool FirstOnly = false;
};

// The depths the window offers; --depth takes one of them.
inline constexpr int CliDepths[] = {10, 20, 30, 40, 50, 100, 150, 200};

// Reads the arguments after the program name. Throws TCliError naming the argument at fault.
TCliCommand ParseCliArguments(const std::vector<std::string>& arguments);

// The text of --help.
std::string CliHelpText();

} // namespace quorvia
