#include "platform/ProgramFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>

namespace quorvia {

namespace {

std::optional<std::string> overrideFolder;

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != std::filesystem::path::preferred_separator)
        folder += std::filesystem::path::preferred_separator;
    return folder;
}

} // namespace

std::string ProgramFolder() {
    if (overrideFolder)
        return *overrideFolder;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return WithSeparator(std::filesystem::current_path(ec).string());
    return WithSeparator(exe.parent_path().string());
}

void SetProgramFolder(std::string folder) {
    overrideFolder = WithSeparator(std::move(folder));
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
