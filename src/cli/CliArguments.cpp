#include "cli/CliArguments.h"

#include "platform/Text.h"

#include <algorithm>
#include <iterator>

namespace quorvia {

namespace {

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h" || argument == "help";
}

// Walks the options of one command: "--name value" or "--name=value".
class TOptionReader {
public:
    TOptionReader(const std::vector<std::string>& arguments, std::size_t first)
        : arguments_(arguments), next_(first) {}

    bool AtEnd() const { return next_ >= arguments_.size() && !pendingValue_; }

    // The next option's name ("--site"), with any "=value" kept for Value().
    std::string Name() {
        const std::string& argument = arguments_[next_++];
        const std::size_t equals = argument.find('=');
        if (argument.rfind("--", 0) != 0 || equals == std::string::npos) {
            pendingValue_.reset();
            return argument;
        }
        pendingValue_ = argument.substr(equals + 1);
        return argument.substr(0, equals);
    }

    std::string Value(const std::string& name) {
        if (pendingValue_) {
            std::string value = std::move(*pendingValue_);
            pendingValue_.reset();
            if (value.empty())
                throw TCliError(name + " needs a value");
            return value;
        }
        if (next_ >= arguments_.size() || arguments_[next_].empty())
            throw TCliError(name + " needs a value");
        return arguments_[next_++];
    }

    // A flag given as "--flag=value" is an error, not a silent yes.
    void NoValue(const std::string& name) {
        if (pendingValue_)
            throw TCliError(name + " takes no value");
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_;
    std::optional<std::string> pendingValue_;
};

int ParseDepth(const std::string& text) {
    const std::optional<std::int32_t> depth = ParseWholeNumber(text);
    if (!depth ||
        std::find(std::begin(CliDepths), std::end(CliDepths), *depth) == std::end(CliDepths))
        throw TCliError("--depth '" + text + "' is not one of 10, 20, 30, 40, 50, 100, 150, 200");
    return *depth;
}

TCliCommand ParseCheck(TOptionReader& options) {
    TCliCommand command;
    command.Kind = TCliCommandKind::Check;
    while (!options.AtEnd()) {
        const std::string name = options.Name();
        if (name == "--site") {
            command.Sites.push_back(options.Value(name));
        } else if (name == "--engine") {
            command.Engines.push_back(options.Value(name));
        } else if (name == "--depth") {
            command.Depth = ParseDepth(options.Value(name));
        } else if (name == "--all") {
            options.NoValue(name);
            command.AllSites = true;
        } else if (name == "--first-only") {
            options.NoValue(name);
            command.FirstOnly = true;
        } else {
            throw TCliError("check: unknown option '" + name + "'");
        }
    }
    if (command.AllSites && !command.Sites.empty())
        throw TCliError("--all and --site cannot be used together");
    return command;
}

} // namespace

TCliCommand ParseCliArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        throw TCliError("a command is missing (check or list)");
    if (std::any_of(arguments.begin(), arguments.end(), IsHelp))
        return {};
    const std::string& name = arguments.front();
    TOptionReader options(arguments, 1);
    if (name == "check")
        return ParseCheck(options);
    if (name == "list") {
        if (!options.AtEnd())
            throw TCliError("list: unexpected argument '" + arguments[1] + "'");
        TCliCommand command;
        command.Kind = TCliCommandKind::List;
        return command;
    }
    throw TCliError("unknown command '" + name + "'");
}

std::string CliHelpText() {
    return R"(Usage: quorvia-cli COMMAND [OPTIONS]

Checks the rankings of your sites without the window, with the same program folder,
files and settings as Quorvia. Only one of Quorvia and quorvia-cli runs at a time.

Commands:
  check    Asks the search engines for the keywords of a site and keeps the rankings.
  list     Shows the sites, their keywords, the engines and the latest rankings.

Options of check (without them, the site, engines, depth and "Scan until first entry
found" last chosen in Quorvia apply):
  --site NAME     Checks this site; repeat it for more sites.
  --all           Checks every site.
  --engine NAME   Asks this search engine; repeat it for more engines.
  --depth N       Scans N results per keyword: 10, 20, 30, 40, 50, 100, 150 or 200.
  --first-only    Stops at the first result of the site for each keyword.

  -h, --help      Shows this text.

Progress goes to standard error, a line per engine and keyword, with any error messages.
Ctrl+C (or SIGTERM) stops the check at once; the rankings checked so far are kept.

Exit codes:
  0  every engine and keyword was checked (list: the table was shown)
  1  some engine and keyword could not be checked, or the check was stopped
  2  bad usage, files that cannot be read or written, or Quorvia is running
)";
}

} // namespace quorvia
