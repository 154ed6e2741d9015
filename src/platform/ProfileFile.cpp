// The profile file is kept as a list of lines, each with its own line ending, so that an
// edit touches exactly one line and writing the list back reproduces every other byte.
// Saving uses POSIX calls directly: every step of the write must be checked, and a
// buffered stream may report a write cut short (a full disk, a size limit) as success.

#include "platform/ProfileFile.h"

#include "platform/ProgramFolder.h"
#include "platform/Text.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quorvia {

namespace {

constexpr std::string_view utf8Bom = "\xEF\xBB\xBF";

struct Line {
    std::string text;
    std::string ending; // "\r\n", "\n", "\r", or empty for a last line without one
};

struct Contents {
    bool exists = false;
    std::string bom; // kept in front of the first line when the file had one
    std::vector<Line> lines;
};

Contents Parse(std::string_view bytes) {
    Contents contents;
    contents.exists = true;
    if (bytes.starts_with(utf8Bom)) {
        contents.bom = utf8Bom;
        bytes.remove_prefix(utf8Bom.size());
    }
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            contents.lines.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        const std::size_t endingSize =
            (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        contents.lines.push_back({std::string(bytes.substr(start, end - start)),
                                  std::string(bytes.substr(end, endingSize))});
        start = end + endingSize;
    }
    return contents;
}

// A missing or unreadable file reads as absent; `readable` tells the two apart for writing.
Contents Load(const std::string& path, bool* readable = nullptr) {
    std::ifstream in(path, std::ios::binary);
    if (readable)
        *readable = true;
    if (!in) {
        std::error_code error;
        if (readable && std::filesystem::exists(path, error))
            *readable = false;
        return {};
    }
    std::string bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) { // the stream library throws for a folder
        in.setstate(std::ios::badbit);
    }
    if (in.bad()) {
        if (readable)
            *readable = false;
        return {};
    }
    return Parse(bytes);
}

std::string Serialize(const Contents& contents) {
    std::string bytes = contents.bom;
    for (const Line& line : contents.lines)
        bytes += line.text + line.ending;
    return bytes;
}

// The name of a "[name]" line, trimmed, or nothing for any other line.
std::optional<std::string> SectionName(std::string_view line) {
    const std::string trimmed = Trim(line);
    if (!trimmed.starts_with('['))
        return std::nullopt;
    const std::size_t close = trimmed.find(']');
    if (close == std::string::npos)
        return std::nullopt;
    return Trim(std::string_view(trimmed).substr(1, close - 1));
}

struct Entry {
    std::string key;
    std::string value;
};

// The key and value of a "key=value" line, trimmed; nothing for comments and other lines.
std::optional<Entry> EntryOf(std::string_view line) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[')
        return std::nullopt;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string::npos || equals == 0)
        return std::nullopt;
    std::string_view view(trimmed);
    return Entry{Trim(view.substr(0, equals)), Trim(view.substr(equals + 1))};
}

// Where a section and one of its keys lie in the line list.
struct Location {
    std::optional<std::size_t> header;  // the section's "[name]" line
    std::optional<std::size_t> keyLine; // the key's line inside it
    std::size_t lastInSection = 0;      // its last key line, or the header when it has none
};

Location Locate(const Contents& contents, std::string_view section, std::string_view key) {
    Location where;
    for (std::size_t i = 0; i < contents.lines.size(); ++i) {
        const std::string& text = contents.lines[i].text;
        if (const auto name = SectionName(text)) {
            if (where.header) // only the first section of a name counts
                break;
            if (EqualsIgnoreAsciiCase(*name, section))
                where.header = where.lastInSection = i;
            continue;
        }
        if (!where.header)
            continue;
        if (const auto entry = EntryOf(text)) {
            where.lastInSection = i;
            if (!where.keyLine && EqualsIgnoreAsciiCase(entry->key, key))
                where.keyLine = i;
        }
    }
    return where;
}

// New lines follow the file's own convention: the ending of its first ended line.
std::string FileEnding(const Contents& contents) {
    for (const Line& line : contents.lines)
        if (!line.ending.empty())
            return line.ending;
    return "\n";
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The message names section and key but never the value, which may be a password.
void CheckWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreak(section) || section.find(']') != std::string_view::npos)
        throw std::invalid_argument("Unusable profile section \"" + std::string(section) + "\"");
    const std::string trimmedKey = Trim(key);
    if (trimmedKey.empty() || HasLineBreak(key) || key.find('=') != std::string_view::npos ||
        trimmedKey.front() == ';' || trimmedKey.front() == '[')
        throw std::invalid_argument("Unusable profile key \"" + std::string(key) + "\"");
    if (HasLineBreak(value))
        throw std::invalid_argument("Line break in the value of profile key \"" + std::string(key) +
                                    "\"");
}

// Owns a file descriptor; closing it is checked by hand where it matters.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }
    bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Writes a sibling temporary file completely, flushes it to disk and renames it over the
// target, so that readers see either the old file or the new one.
void Save(const std::string& path, std::string_view bytes) {
    static unsigned counter = 0;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw ProfileWriteError(path);
    FileDescriptor file(fd);
    struct stat old {};
    const bool keepMode = ::stat(path.c_str(), &old) == 0;
    const bool written = (!keepMode || ::fchmod(file.Get(), old.st_mode & 07777) == 0) &&
                         WriteAll(file.Get(), bytes) && ::fsync(file.Get()) == 0 && file.Close() &&
                         ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        throw ProfileWriteError(path);
    }
}

} // namespace

ProfileWriteError::ProfileWriteError(const std::string& path)
    : std::runtime_error("Unable to write to " + path) {}

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

ProfileFile ProgramSettingsFile() {
    return ProfileFile(UserFile("set.ini"));
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
    const Contents contents = Load(path_);
    const Location where = Locate(contents, section, key);
    if (!where.keyLine)
        return std::string(defaultValue);
    return EntryOf(contents.lines[*where.keyLine].text)->value;
}

std::int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                      std::int32_t defaultValue) const {
    return ParseWholeNumber(ReadString(section, key, "")).value_or(defaultValue);
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> ProfileFile::ReadSection(std::string_view section) const {
    const Contents contents = Load(path_);
    const Location where = Locate(contents, section, "");
    std::vector<std::string> keys;
    if (!where.header)
        return keys;
    for (std::size_t i = *where.header + 1; i <= where.lastInSection; ++i) {
        const auto entry = EntryOf(contents.lines[i].text);
        if (!entry)
            continue;
        bool seen = false;
        for (const std::string& known : keys)
            seen = seen || EqualsIgnoreAsciiCase(known, entry->key);
        if (!seen)
            keys.push_back(entry->key);
    }
    return keys;
}

void ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    CheckWritable(section, key, value);
    bool readable = true;
    Contents contents = Load(path_, &readable);
    if (!readable) // rewriting an unreadable file would lose what it holds
        throw ProfileWriteError(path_);
    const std::string before = Serialize(contents);
    const std::string ending = FileEnding(contents);
    std::string newLine = std::string(key) + "=" + std::string(value);

    const Location where = Locate(contents, section, key);
    auto& lines = contents.lines;
    // A line that gets a successor may be the file's last one and lack an ending.
    const auto endLineBefore = [&](std::size_t position) {
        if (position > 0 && lines[position - 1].ending.empty())
            lines[position - 1].ending = ending;
    };
    if (where.keyLine) {
        lines[*where.keyLine].text = std::move(newLine);
    } else if (where.header) {
        const std::size_t position = where.lastInSection + 1;
        endLineBefore(position);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(position),
                     Line{std::move(newLine), ending});
    } else {
        endLineBefore(lines.size());
        lines.push_back({"[" + std::string(section) + "]", ending});
        lines.push_back({std::move(newLine), ending});
    }

    const std::string after = Serialize(contents);
    if (contents.exists && after == before)
        return; // nothing changes: spare the disk a rewrite
    Save(path_, after);
}

void ProfileFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

} // namespace quorvia
