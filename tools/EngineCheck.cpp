// engine-check: what an engine definition makes of a result page, for repairing a definition
// after an engine changed its markup.
//   engine-check <definitions> <engine name> <saved page>
//   engine-check <definitions> <engine name> --keyword <keyword>
//                [--settings <folder>/set.ini] [--save <file>]
//   engine-check <definitions> --pages <folder of saved pages>
// <definitions> is a definition file (.txt), a folder of them (such as the "engines" folder
// beside SE.cds), or an SE.cds table. A keyword is fetched live through the program's page
// fetcher, with the connection settings of the named set.ini (the defaults without one);
// --save keeps the page for later runs. --pages checks every saved page of the folder with the
// engine whose name's first word (in lower case) begins the page's file name, one line a page,
// and exits with 1 when a definition recognises nothing on a page that is a result list.

#include "engine/EngineTable.h"
#include "engine/PageKind.h"
#include "engine/ResultPageCheck.h"
#include "net/PageFetcher.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"
#include "settings/ConnectionSettings.h"
#include "store/Tables.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

using namespace quorvia;

namespace {

const char* const kUsage = "usage: engine-check <definitions> <engine name> <saved page>\n"
                           "       engine-check <definitions> <engine name> --keyword <keyword>\n"
                           "                    [--settings <folder>/set.ini] [--save <file>]\n"
                           "       engine-check <definitions> --pages <folder of saved pages>\n"
                           "<definitions>: a definition file (.txt), a folder of them, or SE.cds\n";

struct TUsageError {};

std::vector<TEngineRecord> ReadDefinitions(const std::string& path) {
    std::vector<TEngineRecord> engines;
    TTables tables;
    TClientDataSet& table = tables.SE_ClientDataSet;
    if (std::filesystem::is_directory(path)) {
        for (const std::string& problem : ApplyEngineFolder(table, path))
            throw std::runtime_error(problem);
    } else if (LowerAscii(std::filesystem::path(path).extension().string()) == ".cds") {
        table.LoadFromFile(path);
    } else {
        return ReadEngineSource(path);
    }
    for (table.First(); !table.Eof(); table.Next())
        engines.push_back(CurrentEngineRecord(table));
    return engines;
}

TEngineRecord FindEngine(const std::string& path, const std::string& name) {
    std::string known;
    for (const TEngineRecord& engine : ReadDefinitions(path)) {
        if (EqualsIgnoreAsciiCase(engine.SENAME, name))
            return engine;
        known += (known.empty() ? "" : ", ") + engine.SENAME;
    }
    throw std::runtime_error("no engine \"" + name + "\" in " + path + " (it has: " + known + ")");
}

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The first characters of a snippet on one line, each run of blanks and line breaks shown as
// one blank.
std::string SnippetHead(const std::string& snippet) {
    std::string flat;
    for (char c : snippet) {
        const bool blank = c == ' ' || c == '\n' || c == '\r' || c == '\t';
        if (!blank || (!flat.empty() && flat.back() != ' '))
            flat += blank ? ' ' : c;
    }
    const std::string head = CutToChars(flat, 48);
    return head + (head.size() < flat.size() ? "..." : "");
}

// "Next address: <address>" for a GET, "Next request: POST <address> <body>" for a POST.
std::string NextLine(const TPageRequest& next) {
    return next.post ? "Next request: POST " + next.address + " " + next.body
                     : "Next address: " + next.address;
}

// What a page without results is, in words.
std::string EmptyPageKind(const DefinitionParts& parts, const std::string& page) {
    TRegExpr noResults(parts.noResultsPattern);
    switch (
        ClassifyResultlessPage(page, "", parts.noResultsPattern.empty() ? nullptr : &noResults)) {
    case TPageKind::NoResults:
        return "the engine's answer that it found nothing";
    case TPageKind::Captcha:
        return "a captcha page";
    case TPageKind::Consent:
        return "a consent page";
    case TPageKind::Unrecognised:
        break;
    }
    return "";
}

void Report(const TEngineRecord& engine, const DefinitionParts& parts, const std::string& page) {
    std::printf("Result pattern:    %s\nNext-page pattern: %s\n", parts.resultPattern.c_str(),
                parts.nextPagePattern.c_str());
    if (!parts.nextFormPattern.empty())
        std::printf("Next-page form:    %s\n", parts.nextFormPattern.c_str());
    if (!parts.noResultsPattern.empty())
        std::printf("No-results answer: %s\n", parts.noResultsPattern.c_str());
    if (!PageLooksComplete(page))
        std::printf("The page has no \"</html>\": the program refuses it unless \"%s\" is named "
                    "in badhtml.lst.\n",
                    engine.SENAME.c_str());
    const TPageCheck check = CheckResultPage(parts, page);
    if (check.results.empty()) {
        const std::string kind = EmptyPageKind(parts, page);
        std::printf("The result pattern matches nothing on this page%s.\n",
                    kind.empty() ? "" : (": it is " + kind).c_str());
    } else {
        std::printf("%4s %8s  %-51s  %s\n", "pos", "snippet", "snippet starts", "link");
        for (const TCheckedResult& result : check.results)
            std::printf("%4d %8zu  %-51s  %s\n", result.position, result.snippetStart,
                        result.cut ? "(cut at the next result: its element is missing)"
                                   : SnippetHead(result.snippet).c_str(),
                        result.link.empty() ? "(no link)" : result.link.c_str());
        std::printf("%zu results.\n", check.results.size());
    }
    if (check.next)
        std::printf("%s\n", NextLine(*check.next).c_str());
    else
        std::printf("No next address: neither the next-page pattern nor a next-page form matches "
                    "on this page.\n");
}

// One line per saved page of the folder; false when a definition recognised nothing on a page
// that is a result list.
bool CheckPages(const std::string& definitions, const std::string& folder) {
    const std::vector<TEngineRecord> engines = ReadDefinitions(definitions);
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            pages.push_back(entry.path());
    std::sort(pages.begin(), pages.end());
    bool allRead = true;
    for (const std::filesystem::path& file : pages) {
        const std::string name = file.filename().string();
        const TEngineRecord* engine = nullptr;
        for (const TEngineRecord& candidate : engines) {
            const std::string key =
                LowerAscii(candidate.SENAME.substr(0, candidate.SENAME.find(' ')));
            if (StartsWithIgnoreAsciiCase(name, key) &&
                (name.size() == key.size() ||
                 std::string("-_.").find(name[key.size()]) != std::string::npos))
                engine = &candidate;
        }
        if (!engine) {
            std::printf("%-40s (no definition for this page)\n", name.c_str());
            continue;
        }
        const DefinitionParts parts = SplitDefinition(*engine);
        const std::string page = ReadWhole(file.string());
        const TPageCheck check = CheckResultPage(parts, page);
        std::string note;
        if (check.results.empty()) {
            const std::string kind = EmptyPageKind(parts, page);
            note = kind.empty() ? "  NOTHING RECOGNISED" : "  (" + kind + ")";
            allRead = allRead && !kind.empty();
        }
        std::printf("%-40s %-14s %3zu results  %s%s\n", name.c_str(), engine->SENAME.c_str(),
                    check.results.size(),
                    check.next ? (check.next->post ? "next: POST form" : "next: link")
                               : "next: none",
                    note.c_str());
    }
    return allRead;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the fetcher's waits run the event loop
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        if (args[1] == "--pages") {
            if (args.size() != 3)
                throw TUsageError();
            return CheckPages(args[0], args[2]) ? 0 : 1;
        }
        std::string keyword, settings, save;
        if (args[2] == "--keyword") {
            for (std::size_t i = 2; i + 1 < args.size(); i += 2) {
                std::string& value = args[i] == "--keyword"    ? keyword
                                     : args[i] == "--settings" ? settings
                                     : args[i] == "--save"     ? save
                                                               : throw TUsageError();
                value = args[i + 1];
            }
            if (keyword.empty() || args.size() % 2 != 0)
                throw TUsageError();
        } else if (args.size() != 3) {
            throw TUsageError();
        }
        const TEngineRecord engine = FindEngine(args[0], args[1]);
        const DefinitionParts parts = SplitDefinition(engine);
        std::printf("Engine:            %s\n", engine.SENAME.c_str());
        std::string page;
        if (keyword.empty()) {
            page = ReadWhole(args[2]);
            std::printf("Page:              %s (%zu bytes)\n", args[2].c_str(), page.size());
        } else {
            if (!settings.empty()) {
                const std::filesystem::path path(settings);
                if (path.filename() != "set.ini" || !std::filesystem::exists(path))
                    throw std::runtime_error("--settings wants an existing file named set.ini");
                SetProgramFolder(path.parent_path().string());
                LoadSettings();
            }
            std::string url = FirstQueryAddress(parts.queryTemplate, EncodeKeyword(keyword));
            std::printf("Query address:     %s\n", url.c_str());
            FetchPage(url, false, engine.MainURL, page);
            std::printf("Page:              %s (%zu bytes)\n", url.c_str(), page.size());
            if (!save.empty() && !(std::ofstream(save, std::ios::binary) << page))
                throw std::runtime_error("cannot write " + save);
        }
        Report(engine, parts, page);
    } catch (const TUsageError&) {
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "engine-check: %s\n", e.what());
        return 1;
    }
    return 0;
}
