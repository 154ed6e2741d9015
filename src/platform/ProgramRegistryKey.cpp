#include "platform/ProgramRegistryKey.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quorvia {

namespace {

constexpr std::string_view KeySection = "Software\\Quorvia";

std::filesystem::path ConfigFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return config;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "") / ".config";
}

} // namespace

std::optional<ProgramRegistryKey> ProgramRegistryKey::Open() {
    const std::filesystem::path folder = ConfigFolder() / "Quorvia";
    const std::filesystem::path path = folder / "registry.ini";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::exists(path, ec)) {
        std::ofstream out(path, std::ios::binary);
        out << '[' << KeySection << "]\n";
        if (!out.flush())
            return std::nullopt;
    } else if (!std::ifstream(path)) {
        return std::nullopt;
    }
    return ProgramRegistryKey(path.string());
}

std::string ProgramRegistryKey::ReadString(std::string_view name) const {
    return file_.ReadString(KeySection, name, "");
}

} // namespace quorvia
