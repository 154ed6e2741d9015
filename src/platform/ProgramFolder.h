#pragma once
// The folder that holds the program file, with a trailing separator. Every data file of
// the program lives directly in it. Tests point it at a temporary folder.

#include <string>
#include <vector>

namespace quorvia {

std::string ProgramFolder();
// Replaces the folder for the rest of the run; a missing trailing separator is added.
void SetProgramFolder(std::string folder);

// The lines of a text file in file order, split at CR, LF or CR LF, not trimmed.
// A missing or unreadable file gives an empty list, silently.
std::vector<std::string> ReadLineList(const std::string& path);

} // namespace quorvia
