#include "cli/CliMain.h"

#include "cli/CheckCommand.h"
#include "cli/CliArguments.h"
#include "cli/ListCommand.h"
#include "cli/ProgramFiles.h"
#include "platform/InstanceLock.h"

#include <QCoreApplication>

#include <csignal>

namespace quorvia {

namespace {

void StopOnSignal(int) {
    RequestCheckStop();
}

} // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    TCliCommand command;
    try {
        command = ParseCliArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const TCliError& e) {
        err << "quorvia-cli: " << e.what() << "\nTry 'quorvia-cli --help'.\n";
        return ExitBadUsage;
    }
    if (command.Kind == TCliCommandKind::Help) {
        out << CliHelpText();
        return ExitAllChecked;
    }
    const InstanceLock lock(ProgramLockName, ToolLockHolder);
    if (lock.AnotherInstanceRuns()) {
        err << "quorvia-cli: "
            << (lock.OtherHolder() == ToolLockHolder
                    ? "another quorvia-cli is running; try again when it has finished.\n"
                    : "Quorvia is running; close its window first, so that the two do not "
                      "write the same files.\n");
        return ExitBadUsage;
    }
    QCoreApplication app(argc, argv); // sockets and name look-ups need it
    try {
        TProgramFiles files;
        if (command.Kind == TCliCommandKind::List)
            return RunList(files, out);
        std::signal(SIGINT, StopOnSignal);
        std::signal(SIGTERM, StopOnSignal);
        return RunCheck(command, files, err);
    } catch (const TCliError& e) {
        err << "quorvia-cli: " << e.what() << "\n";
        return ExitBadUsage;
    }
}

} // namespace quorvia
