#pragma once
// The user's files written at exit ("set.ini", the tables, later ones too), so that a folder
// that cannot be written costs one message and no work. Each file is written by its own writer
// into its folder; when that fails, the writer runs again on a copy in the first fallback folder
// that takes it (the copy starts from the file as it was, so sections and tables the program
// did not change survive). At the end one message names what could not be saved, why, and
// where the copies are.

#include <functional>
#include <string>
#include <vector>

namespace quorvia {

class TUserFilesSave {
public:
    // Writes a whole file at the path given; raises with a message on failure.
    using Writer = std::function<void(const std::string& path)>;

    // folder: where the files belong (with a trailing separator); fallbacks: where copies may
    // go, in order of preference (created when missing).
    TUserFilesSave(std::string folder, std::vector<std::string> fallbacks);

    // Writes fileName (what it holds, in the user's words, names it in the message).
    void Write(const std::string& fileName, const std::string& what, const Writer& writer);

    bool AllSaved() const { return failed_.empty(); }
    // The files that could not be written in their folder, in order.
    std::vector<std::string> FailedFiles() const;
    // Where the copies went; empty when none could be written anywhere.
    const std::string& CopyFolder() const { return copyFolder_; }
    // The one message to show; empty when everything was saved.
    std::string Message() const;

    // The folders a copy may go to when the user's own folder cannot be written: the user data
    // folder (when it is another one) and a dated folder in the temporary folder.
    static std::vector<std::string> FallbackFolders(const std::string& userFolder);

private:
    struct TFailure {
        std::string fileName;
        std::string what;
        std::string error;
        bool copied = false;
    };
    bool WriteCopy(TFailure& failure, const Writer& writer);

    std::string folder_;
    std::vector<std::string> fallbacks_;
    std::vector<TFailure> failed_;
    std::string copyFolder_;
    std::string copyError_;
};

} // namespace quorvia
