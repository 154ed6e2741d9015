#include "app/UserFilesSave.h"

#include "platform/Clock.h"
#include "platform/ProgramFolder.h"

#include <exception>
#include <filesystem>
#include <system_error>

namespace quorvia {

namespace fs = std::filesystem;

TUserFilesSave::TUserFilesSave(std::string folder, std::vector<std::string> fallbacks)
    : folder_(std::move(folder)), fallbacks_(std::move(fallbacks)) {}

void TUserFilesSave::Write(const std::string& fileName, const std::string& what,
                           const Writer& writer) {
    try {
        writer(folder_ + fileName);
        return;
    } catch (const std::exception& e) {
        failed_.push_back({fileName, what, e.what()});
    }
    WriteCopy(failed_.back(), writer);
}

bool TUserFilesSave::WriteCopy(TFailure& failure, const Writer& writer) {
    // All copies together: the folder that took the first one is tried first.
    std::vector<std::string> folders = fallbacks_;
    if (!copyFolder_.empty())
        folders.insert(folders.begin(), copyFolder_);
    for (const std::string& folder : folders) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        const std::string copy = folder + failure.fileName;
        // The copy starts from the file as it was, when it can be read.
        fs::copy_file(folder_ + failure.fileName, copy, fs::copy_options::overwrite_existing, ec);
        try {
            writer(copy);
            failure.copied = true;
            if (copyFolder_.empty())
                copyFolder_ = folder;
            return true;
        } catch (const std::exception& e) {
            copyError_ = e.what();
        }
    }
    return false;
}

std::vector<std::string> TUserFilesSave::FailedFiles() const {
    std::vector<std::string> files;
    for (const TFailure& failure : failed_)
        files.push_back(failure.fileName);
    return files;
}

std::string TUserFilesSave::Message() const {
    if (failed_.empty())
        return {};
    const auto list = [this](bool copied) {
        std::string text;
        for (const TFailure& failure : failed_)
            if (failure.copied == copied)
                text += "\n    " + failure.what + " (" + failure.fileName + ")";
        return text;
    };
    std::string message = "Quorvia could not save everything in " + folder_ + ".\n";
    const std::string copied = list(true);
    const std::string lost = list(false);
    if (!copied.empty())
        message += "\nA copy of these was saved in " + copyFolder_ + " instead:" + copied +
                   "\n\nTo go on with them, copy them into " + folder_ +
                   " once it can be written again.\n";
    if (!lost.empty())
        message +=
            "\nThese could not be saved anywhere, and today's changes to them are lost:" + lost +
            "\n";
    message += "\nWhat went wrong: " + failed_.front().error;
    if (!lost.empty() && !copyError_.empty())
        message += "\n" + copyError_;
    return message;
}

std::vector<std::string> TUserFilesSave::FallbackFolders(const std::string& userFolder) {
    std::vector<std::string> folders;
    if (UserDataFolder() != userFolder)
        folders.push_back(UserDataFolder());
    std::error_code ec;
    const fs::path temporary = fs::temp_directory_path(ec);
    if (!ec)
        folders.push_back((temporary / ("Quorvia-" + Clock::Today().ToIso())).string() +
                          std::string(1, fs::path::preferred_separator));
    return folders;
}

} // namespace quorvia
