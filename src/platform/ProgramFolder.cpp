#include "platform/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace quorvia {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> overrideFolder;
// The choice, made once per program folder.
std::optional<TFileFolders> chosen;

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != fs::path::preferred_separator)
        folder += fs::path::preferred_separator;
    return folder;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return fs::temp_directory_path().string();
}

bool IsDirectory(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

const TFileFolders& Folders() {
    if (!chosen) {
        const std::string folder = ProgramFolder();
        chosen = ChooseFileFolders(folder, ::access(folder.c_str(), W_OK) == 0);
    }
    return *chosen;
}

} // namespace

std::string ProgramFolder() {
    if (overrideFolder)
        return *overrideFolder;
    std::error_code ec;
    const auto exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec)
        return WithSeparator(fs::current_path(ec).string());
    return WithSeparator(exe.parent_path().string());
}

void SetProgramFolder(std::string folder) {
    overrideFolder = WithSeparator(std::move(folder));
    chosen.reset();
}

std::string UserDataFolder() {
    // Only an absolute XDG_DATA_HOME counts; a relative one is to be ignored.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const fs::path base = xdg && fs::path(xdg).is_absolute()
                              ? fs::path(xdg)
                              : fs::path(HomeFolder()) / ".local" / "share";
    return WithSeparator((base / "Quorvia").string());
}

TFileFolders ChooseFileFolders(const std::string& programFolder, bool programFolderWritable) {
    const std::string folder = WithSeparator(programFolder);
    const fs::path share = fs::path(folder).parent_path().parent_path() / "share" / "quorvia";
    std::error_code ec;
    // The install layout: <prefix>/bin/quorvia and <prefix>/share/quorvia. It decides even when
    // bin/ can be written (a prefix in the user's home, or root), so that nothing is ever
    // written beside the other programs in bin/.
    const bool installLayout = IsDirectory(share) && !fs::exists(fs::path(folder) / "SE.cds", ec);
    TFileFolders result;
    result.Installed = installLayout || !programFolderWritable;
    result.Shipped = installLayout ? WithSeparator(share.string()) : folder;
    result.User = result.Installed ? UserDataFolder() : folder;
    if (result.Installed)
        fs::create_directories(result.User, ec);
    return result;
}

std::string ShippedFolder() {
    return Folders().Shipped;
}

std::string UserFolder() {
    return Folders().User;
}

bool RunsInstalled() {
    return Folders().Installed;
}

std::string ShippedFile(const std::string& name) {
    return ShippedFolder() + name;
}

std::string UserFile(const std::string& name) {
    return UserFolder() + name;
}

std::vector<std::string> ReadLineList(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return lines;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return {};
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start =
            end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

} // namespace quorvia
