#include "cli/ListCommand.h"

#include "cli/CliArguments.h"
#include "engine/EngineDefinition.h"
#include "platform/Text.h"
#include "store/Sites.h"

#include <algorithm>

namespace quorvia {

namespace {

std::string Joined(const std::vector<std::string>& texts, const std::string& separator) {
    std::string joined;
    for (const std::string& text : texts)
        joined += (joined.empty() ? "" : separator) + text;
    return joined;
}

// A change as an arrow would show it: "+2" up, "-3" down, empty when there is none.
std::string SignedChange(const std::string& change) {
    if (change.empty() || change == "0")
        return "";
    return change[0] == '-' ? change : "+" + change;
}

} // namespace

std::string PlainTable(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths.resize(std::max(widths.size(), row.size()));
            widths[i] = std::max(widths[i], CharCount(row[i]));
        }
    std::string table;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            line += row[i];
            if (i + 1 < row.size())
                line += std::string(widths[i] - CharCount(row[i]) + 2, ' ');
        }
        table += line.erase(line.find_last_not_of(' ') + 1) + "\n";
    }
    return table;
}

int RunList(TProgramFiles& files, std::ostream& out) {
    TClientDataSet& sites = files.Tables.WebSiteClientDataSet;
    TClientDataSet& rankings = files.Tables.SECacheClientDataSet;
    std::vector<std::vector<std::string>> siteRows = {{"SITE", "KEYWORDS"}};
    std::vector<std::vector<std::string>> rankingRows = {
        {"SITE", "ENGINE", "KEYWORD", "POSITION", "PAGE", "CHANGE", "BEST", "CHECKED", "ADDRESS"}};
    const char* const rankingFields[] = {"SENAME",         "Keyword",      "Position", "Page",
                                         "ChangePosition", "BestPosition", "DT",       "url"};
    for (int site = 0; site < sites.RecordCount(); ++site) {
        sites.MoveTo(site); // the keywords and rankings follow their site
        const std::string name = CurrentSiteName(sites);
        siteRows.push_back({name, Joined(RecordKeywords(files.Tables.WordClientDataSet), ", ")});
        for (int row = 0; row < rankings.RecordCount(); ++row) {
            std::vector<std::string> cells = {name};
            for (const char* field : rankingFields)
                cells.push_back(rankings.TextAt(row, rankings.FindFieldIndex(field)));
            cells[5] = SignedChange(cells[5]);
            rankingRows.push_back(std::move(cells));
        }
    }
    std::vector<std::vector<std::string>> engineRows = {{"ENGINE", "TICKED"}};
    const std::vector<std::string> ticked = files.RememberedEngines();
    for (const std::string& engine : files.ListedEngines())
        engineRows.push_back({engine, EngineInList(ticked, engine) ? "yes" : ""});

    out << PlainTable(siteRows) << "\n" << PlainTable(engineRows) << "\n";
    if (rankingRows.size() == 1)
        out << "No rankings yet: run 'quorvia-cli check'.\n";
    else
        out << PlainTable(rankingRows);
    return ExitAllChecked;
}

} // namespace quorvia
