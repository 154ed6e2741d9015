#include "store/UserTableFile.h"

#include "platform/Clock.h"

#include <filesystem>
#include <fstream>

namespace quorvia {

namespace fs = std::filesystem;

std::string DamagedFileName(const std::string& path) {
    const std::string base = path + ".damaged-" + Clock::Today().ToIso();
    std::string name = base;
    std::error_code ec;
    for (int n = 2; fs::exists(name, ec) || fs::is_symlink(name, ec); ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

std::string WithDetails(std::string_view plain, std::string_view details) {
    return std::string(plain) + "\n\nDetails: " + std::string(details);
}

TUserTableLoad LoadUserTableFile(TClientDataSet& table, const std::string& path,
                                 std::string_view contents) {
    std::error_code ec;
    if (!fs::exists(path, ec))
        return {};
    try {
        table.LoadFromFile(path);
        return {};
    } catch (const TableError& error) {
        const std::string file = fs::absolute(path, ec).string();
        const std::string lead = "Your " + std::string(contents) + " could not be read: ";
        const std::string notSaved =
            "The file is left as it is, and changes you make now will not be saved to it.";
        // A file the program may not read, or a folder in its place, is not damaged: it is
        // left alone, and so is the table's file at exit.
        if (!fs::is_regular_file(file, ec) || !std::ifstream(file, std::ios::binary))
            return {false, WithDetails(lead + "Quorvia may not open the file \"" + file + "\". " +
                                           notSaved,
                                       error.what())};
        const std::string kept = DamagedFileName(file);
        fs::rename(file, kept, ec);
        if (ec)
            return {false, WithDetails(lead + "the file \"" + file +
                                           "\" is damaged, and it could not be kept aside (" +
                                           ec.message() + "). " + notSaved,
                                       error.what())};
        return {true,
                WithDetails(lead + "the file \"" + file + "\" is damaged. It has been kept as \"" +
                                kept + "\", so nothing in it is lost. Quorvia starts " +
                                "afresh and saves what you enter as usual.",
                            error.what())};
    }
}

} // namespace quorvia
