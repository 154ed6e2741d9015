#pragma once
// Where the program's files live. The choice between the two ways the program can be run is
// made here and nowhere else:
//
//   run from a folder of its own (the build folder, `make run`, a portable copy)
//       every file lies beside the program file, as it always did;
//   installed (the program file's folder cannot be written, or the program sits in <prefix>/bin
//   with <prefix>/share/quorvia beside it and no "SE.cds" of its own)
//       the shipped, read-only files ("SE.cds", the ".lst" files, the help, the distribution
//       texts) come from <prefix>/share/quorvia/, and the user's files ("WebSite.cds",
//       "Word.cds", "SECache.cds", "set.ini", "Cache", the "engines" folder, the history) go to
//       the user data folder, $XDG_DATA_HOME/Quorvia (default ~/.local/share/Quorvia), which
//       is created on first use.
//
// Build every path with ShippedFile or UserFile; never join ProgramFolder() with a file name.

#include <string>
#include <vector>

namespace quorvia {

// The folder of the program file, with a trailing separator.
std::string ProgramFolder();
// Makes the program behave as if its file lay in folder (tests, tools); the choice above is
// made again from that folder. A missing trailing separator is added.
void SetProgramFolder(std::string folder);

// A file or folder that ships with the program and is only read.
std::string ShippedFile(const std::string& name);
// A file or folder of the user's that the program writes.
std::string UserFile(const std::string& name);
// The folders the two come from, with a trailing separator.
std::string ShippedFolder();
std::string UserFolder();
// True when the program runs installed (user files in the user data folder).
bool RunsInstalled();

// $XDG_DATA_HOME/Quorvia/ (a relative or empty XDG_DATA_HOME counts as unset, then
// ~/.local/share/Quorvia/), whether or not the program runs installed: where a copy goes when
// the user files cannot be written in their own folder. Not created here.
std::string UserDataFolder();

// The choice itself, from the program folder and whether it can be written. Installed, the user
// data folder is created here (silently: a failure shows when the first file is written).
struct TFileFolders {
    bool Installed = false;
    std::string Shipped; // with a trailing separator
    std::string User;    // with a trailing separator
};
TFileFolders ChooseFileFolders(const std::string& programFolder, bool programFolderWritable);

// The lines of a text file in file order, split at CR, LF or CR LF, not trimmed.
// A missing or unreadable file gives an empty list, silently.
std::vector<std::string> ReadLineList(const std::string& path);

} // namespace quorvia
