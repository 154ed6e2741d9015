// quorvia-cli: Quorvia's checks without the window.

#include "cli/CliMain.h"

#include <iostream>

int main(int argc, char** argv) {
    return quorvia::RunCli(argc, argv, std::cout, std::cerr);
}
