#pragma once
// A temporary program folder with an engine table, and message boxes recorded instead of shown.

#include "app/MessageBoxes.h"

#include "support/ScopedEnvironment.h"

#include <QTemporaryDir>

#include <string>
#include <vector>

namespace quorvia::testing {

struct TShownBox {
    TBoxKind kind;
    std::string caption;
    std::string text;
};

class TProgramFolderFixture {
public:
    // Points the program at a fresh folder, with a fresh user data folder beside it, and records
    // message boxes.
    TProgramFolderFixture();
    ~TProgramFolderFixture();

    std::string Path(const std::string& fileName) const;
    // A path in the user data folder ($XDG_DATA_HOME/Quorvia), where copies go that the
    // program folder would not take.
    std::string UserDataPath(const std::string& fileName) const;
    // Writes "SE.cds" with these engine names and, for each, a definition of ResultPage pages
    // served at origin + "/search".
    void WriteEngines(const std::vector<std::string>& names,
                      const std::string& origin = "http://127.0.0.1") const;
    // Writes "WebSite.cds" with one site and "Word.cds" with its keywords (up to four).
    void WriteSite(const std::string& site, const std::vector<std::string>& keywords) const;
    void WriteFile(const std::string& fileName, const std::string& bytes) const;
    std::string ReadFile(const std::string& fileName) const;
    bool Exists(const std::string& fileName) const;

    std::vector<TShownBox> boxes;

private:
    QTemporaryDir dir_;
    QTemporaryDir data_;
    ScopedEnvironment xdgData_{"XDG_DATA_HOME", data_.path().toStdString()};
};

} // namespace quorvia::testing
