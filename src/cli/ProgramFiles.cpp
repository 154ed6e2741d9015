// The window's stored options are radio buttons and check boxes; here they are plain values
// restored by the same TFormStorage rules, so both read "set.ini" alike.

#include "cli/ProgramFiles.h"

#include "cli/CliArguments.h"
#include "engine/EngineDefinition.h"
#include "engine/EngineTable.h"
#include "engine/PageCache.h"
#include "platform/CommaText.h"
#include "platform/ProgramFolder.h"
#include "settings/ConnectionSettings.h"

#include <cstdio>
#include <filesystem>
#include <iterator>

namespace quorvia {

namespace {

void LoadTable(TClientDataSet& table, const std::string& path, bool mayBeMissing) {
    if (mayBeMissing && !std::filesystem::exists(path))
        return;
    try {
        table.LoadFromFile(path);
    } catch (const std::exception& e) {
        throw TCliError(e.what());
    }
}

} // namespace

TProgramFiles::TProgramFiles() {
    SetCacheRoot(UserFile("Cache"));
    CreateCacheFolder();

    std::vector<TStoredOption> options = {{"IntTBXCheckBox", [this] { return InternationalOnly; },
                                           [this](bool on) { InternationalOnly = on; }},
                                          {"ScanForFirstTBXCheckBox",
                                           [this] { return ScanForFirst; },
                                           [this](bool on) { ScanForFirst = on; }}};
    for (std::size_t i = 0; i < std::size(CliDepths); ++i) {
        const int depth = CliDepths[i];
        // One of a group of radio buttons: "False" cannot take the choice away from it.
        options.push_back({"TBXRadioButton" + std::to_string(i + 1),
                           [this, depth] { return Depth == depth; },
                           [this, depth](bool on) {
                               if (on)
                                   Depth = depth;
                           }});
    }
    try {
        Stored = TFormStorage(UserFile("set.ini"), std::move(options)).Restore();
    } catch (const std::exception&) {
        // An unreadable "set.ini" is a missing one, as for the window.
    }
    IntSeList = ReadLineList(ShippedFile("IntSe.lst"));
    BadHtmlList = ReadLineList(ShippedFile("badhtml.lst"));
    LoadTable(Tables.SE_ClientDataSet, ShippedFile("SE.cds"), false);
    // The user's repaired definitions, as the window takes them; a file that does not parse
    // is reported and leaves the shipped ones.
    for (const std::string& problem :
         ApplyEngineFolder(Tables.SE_ClientDataSet, UserFile("engines")))
        std::fprintf(stderr, "%s\n", problem.c_str());
    LoadTable(Tables.WebSiteClientDataSet, UserFile("WebSite.cds"), true);
    Tables.WebSiteClientDataSet.Locate("SiteName", {Value(Stored.WebSite)});
    LoadTable(Tables.WordClientDataSet, UserFile("Word.cds"), true);
    LoadTable(Tables.SECacheClientDataSet, UserFile("SECache.cds"), true);
    LoadSettings();
}

void TProgramFiles::SaveTables() {
    const std::pair<TClientDataSet*, const char*> files[] = {
        {&Tables.WebSiteClientDataSet, "WebSite.cds"},
        {&Tables.WordClientDataSet, "Word.cds"},
        {&Tables.SECacheClientDataSet, "SECache.cds"}};
    for (const auto& [table, fileName] : files) {
        try {
            SaveDataSet(*table, UserFile(fileName));
        } catch (const std::exception& e) {
            throw TCliError(e.what());
        }
    }
}

std::vector<std::string> TProgramFiles::ListedEngines() {
    std::vector<std::string> names;
    TClientDataSet& engines = Tables.SE_ClientDataSet;
    const int nameField = engines.FindFieldIndex("SENAME");
    for (int row = 0; nameField >= 0 && row < engines.RecordCount(); ++row) {
        std::string name = engines.TextAt(row, nameField);
        if (!InternationalOnly || EngineInList(IntSeList, name))
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> TProgramFiles::RememberedEngines() {
    const std::vector<std::string> listed = ListedEngines();
    std::vector<std::string> ticked;
    for (const std::string& name : SplitCommaText(Stored.SEs))
        for (const std::string& shown : listed)
            if (EngineInList({shown}, name) && !EngineInList(ticked, shown))
                ticked.push_back(shown);
    return ticked;
}

} // namespace quorvia
