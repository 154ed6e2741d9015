// The tool plays the window for the scan driver: the choices it reads come from the command
// line or from what the window remembered, and what it shows becomes lines of text.

#include "cli/CheckCommand.h"

#include "engine/EngineDefinition.h"
#include "engine/ScanDriver.h"
#include "net/PageFetcher.h"
#include "store/Sites.h"

#include <QCoreApplication>

#include <algorithm>
#include <csignal>
#include <optional>

namespace quorvia {

namespace {

volatile std::sig_atomic_t stopSignalled = 0;

// Passes a stop asked for from outside (a signal) to the scan's own flag.
void TakeStopSignal() {
    if (stopSignalled)
        StopRequested = true;
}

class TToolScanWindow : public IScanWindow {
public:
    TToolScanWindow(TClientDataSet& rankings, std::ostream& progress)
        : rankings_(rankings), progress_(progress) {}

    // What the window's controls would hold for this site's scan.
    std::string Site;
    bool FirstOnly = false;
    std::vector<std::string> Engines;
    int Depth = 10;

    int PairsChecked = 0;
    int PairsNotChecked = 0;

    void SetStatusText(const std::string&) override {}
    void SetGaugeEnabled(bool) override {}
    void SetGaugePosition(int) override {}
    void LogError(const std::string& message) override {
        if (!message.empty())
            messages_.push_back(message);
    }
    void ClearLog() override { messages_.clear(); }
    void ProcessMessages() override {
        QCoreApplication::processEvents();
        TakeStopSignal();
    }
    std::string SelectedSiteName() const override { return Site; }
    bool ScanForFirst() const override { return FirstOnly; }
    std::vector<std::string> CheckedEngineNames() const override { return Engines; }
    std::vector<bool> DepthButtonsChosen() const override {
        std::vector<bool> chosen;
        for (const int depth : CliDepths)
            chosen.push_back(depth == Depth);
        return chosen;
    }
    void RefreshResults() override {}

    void PairEnded(const std::string& engine, const std::string& keyword,
                   const std::string& failure) override {
        ended_ = {engine, keyword, failure};
    }

    void AfterPair(const std::string& engine, const std::string& keyword, int number,
                   int count) override {
        // A pair cut short by a stop is not reported as ended: it was not checked.
        const bool checked = ended_ && ended_->engine == engine && ended_->keyword == keyword &&
                             ended_->failure.empty();
        ++(checked ? PairsChecked : PairsNotChecked);
        progress_ << "[" << number << "/" << count << "] " << Site << " | " << engine << " | "
                  << keyword << " | " << (checked ? Outcome(engine, keyword) : "not checked")
                  << "\n";
        for (const std::string& message : messages_)
            progress_ << "    " << message << "\n";
        progress_.flush();
        messages_.clear();
        ended_.reset();
    }

private:
    // The pair's records of the current site: "4 (page 1) <link>" per link, or the not-found
    // text.
    std::string Outcome(const std::string& engine, const std::string& keyword) const {
        const int engineField = rankings_.FindFieldIndex("SENAME");
        const int keywordField = rankings_.FindFieldIndex("Keyword");
        const int urlField = rankings_.FindFieldIndex("url");
        const int positionField = rankings_.FindFieldIndex("Position");
        const int pageField = rankings_.FindFieldIndex("Page");
        std::string outcome;
        for (int row = 0; row < rankings_.RecordCount(); ++row) {
            if (rankings_.TextAt(row, engineField) != engine ||
                rankings_.TextAt(row, keywordField) != keyword)
                continue;
            if (!outcome.empty())
                outcome += "; ";
            const std::string position = rankings_.TextAt(row, positionField);
            if (!position.empty())
                outcome += position + " (page " + rankings_.TextAt(row, pageField) + ") ";
            outcome += rankings_.TextAt(row, urlField);
        }
        return outcome.empty() ? "checked" : outcome;
    }

    TClientDataSet& rankings_;
    std::ostream& progress_;
    std::vector<std::string> messages_;
    struct TEnded {
        std::string engine, keyword, failure;
    };
    std::optional<TEnded> ended_;
};

// The SiteName values of the sites to check, each once, in the order asked.
std::vector<std::string> SitesToCheck(const TCliCommand& command, TProgramFiles& files) {
    TClientDataSet& sites = files.Tables.WebSiteClientDataSet;
    if (sites.IsEmpty())
        throw TCliError("there is no site to check: add one in Quorvia first");
    if (command.AllSites)
        return SiteNames(sites);
    if (command.Sites.empty()) // the remembered site, or the first as the window shows it
        return {CurrentSiteName(sites)};
    std::vector<std::string> names;
    for (const std::string& wanted : command.Sites) {
        if (!SelectSite(sites, wanted))
            throw TCliError("--site '" + wanted + "': there is no such site");
        std::string name = CurrentSiteName(sites);
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    }
    return names;
}

std::vector<std::string> EnginesToAsk(const TCliCommand& command, TProgramFiles& files) {
    if (command.Engines.empty()) {
        std::vector<std::string> remembered = files.RememberedEngines();
        if (remembered.empty())
            throw TCliError("no search engine is ticked in Quorvia: tick some there or name "
                            "them with --engine");
        return remembered;
    }
    TClientDataSet& definitions = files.Tables.SE_ClientDataSet;
    const int nameField = definitions.FindFieldIndex("SENAME");
    std::vector<std::string> engines;
    for (const std::string& wanted : command.Engines) {
        std::string found;
        for (int row = 0; found.empty() && nameField >= 0 && row < definitions.RecordCount(); ++row)
            if (EngineInList({definitions.TextAt(row, nameField)}, wanted))
                found = definitions.TextAt(row, nameField);
        if (found.empty())
            throw TCliError("--engine '" + wanted + "': there is no such search engine");
        engines.push_back(std::move(found));
    }
    return engines;
}

} // namespace

void RequestCheckStop() {
    stopSignalled = 1;
}

int RunCheck(const TCliCommand& command, TProgramFiles& files, std::ostream& progress) {
    const std::vector<std::string> sites = SitesToCheck(command, files);
    TToolScanWindow window(files.Tables.SECacheClientDataSet, progress);
    window.Engines = EnginesToAsk(command, files);
    window.Depth = command.Depth.value_or(files.Depth);
    window.FirstOnly = command.FirstOnly || files.ScanForFirst;

    TClientDataSet& siteTable = files.Tables.WebSiteClientDataSet;
    TClientDataSet& words = files.Tables.WordClientDataSet;
    WaitHandler = [](QObject*, bool& canAbort) {
        TakeStopSignal();
        canAbort = StopRequested;
    };
    bool anyKeyword = false;
    int exitCode = ExitAllChecked;
    for (const std::string& site : sites) {
        if (stopSignalled)
            break;
        siteTable.Locate("SiteName", {Value(site)});
        if (RecordKeywords(words).empty()) {
            progress << site << ": no keywords to check\n";
            continue;
        }
        anyKeyword = true;
        window.Site = site;
        StopRequested = false;
        TScanContext scan{window, files.Tables, files.BadHtmlList};
        try {
            StartScan(scan);
        } catch (const std::exception& e) {
            // As in the window: an error outside the pairs ends the whole scan.
            progress << "Error: " << e.what() << "\n";
            exitCode = ExitSomeNotChecked;
            break;
        }
    }
    WaitHandler = nullptr;
    if (!anyKeyword && exitCode == ExitAllChecked && !stopSignalled)
        throw TCliError("no keywords to check: enter some for the site in Quorvia");
    files.SaveTables();
    progress << window.PairsChecked << " checked, " << window.PairsNotChecked << " not checked"
             << (stopSignalled ? ", stopped" : "") << ".\n";
    if (window.PairsNotChecked > 0 || stopSignalled)
        exitCode = ExitSomeNotChecked;
    return exitCode;
}

} // namespace quorvia
