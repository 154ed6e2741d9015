#pragma once
// The whole of quorvia-cli behind its main(): arguments, the lock shared with the window,
// the program's files, the command, the exit code.

#include <ostream>

namespace quorvia {

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace quorvia
