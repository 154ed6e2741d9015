#pragma once
// An initialisation ("profile") file such as "set.ini": "[Section]" lines open sections,
// "key=value" lines hold settings. Lines starting with ";" are comments.
//
//   Reading   sections and keys are found without regard to ASCII letter case; the first
//             matching section and, inside it, the first matching key count. A value is the
//             text after the first "=", with blanks trimmed from both ends. A missing file,
//             section or key gives the caller's default; reading never fails.
//   Writing   one key at a time: its line is replaced in place, or the key is added after the
//             last key of its section, or the section is added at the end of the file. Every
//             other byte stays as it was, including comments and CR LF or LF line endings;
//             new lines take the ending the file already uses. A missing file is created.
//             The new content goes to a temporary file beside the old one, which is renamed
//             over it only when complete, so a failed write leaves the old file as it was.
//
// Every call reads the file afresh, so several ProfileFile objects on one path agree.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

// The file could not be written; the message is "Unable to write to <path>".
class ProfileWriteError : public std::runtime_error {
public:
    explicit ProfileWriteError(const std::string& path);
};

class ProfileFile {
public:
    explicit ProfileFile(std::string path);

    const std::string& Path() const { return path_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // A value that is missing, empty or not a decimal whole number gives the default.
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // The key names of a section in file order, spelled as in the file, each name once.
    std::vector<std::string> ReadSection(std::string_view section) const;

    // Throws ProfileWriteError when the file cannot be written, and std::invalid_argument for
    // a section, key or value that cannot be held on one line (line breaks, "]" in a section
    // name, "=" in a key, an empty key).
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    // Stored as 1 or 0.
    void WriteBool(std::string_view section, std::string_view key, bool value);

private:
    std::string path_;
};

// "set.ini" in the program folder, where every part of the program keeps its settings.
ProfileFile ProgramSettingsFile();

} // namespace quorvia
