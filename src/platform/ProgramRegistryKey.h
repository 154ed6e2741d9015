#pragma once
// Stand-in for the current user's registry key "Software\Quorvia": the section of that name in
// $XDG_CONFIG_HOME/Quorvia/registry.ini ($HOME/.config when the variable is unset or empty).
// The program only reads values from it; opening it creates the file and the empty section.

#include "platform/ProfileFile.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvia {

class ProgramRegistryKey {
public:
    // Opens the key, creating its folder, file and section when missing; nothing when they
    // cannot be created.
    static std::optional<ProgramRegistryKey> Open();

    const std::string& Path() const { return file_.Path(); }
    // The text of a value; a missing value reads as empty.
    std::string ReadString(std::string_view name) const;

private:
    explicit ProgramRegistryKey(std::string path) : file_(std::move(path)) {}

    ProfileFile file_;
};

} // namespace quorvia
