// engine-check: what an engine definition makes of a result page, for repairing a definition
// after an engine changed its markup.
//   engine-check <definitions.txt | SE.cds> <engine name> <saved page>
//   engine-check <definitions.txt | SE.cds> <engine name> --keyword <keyword>
//                [--settings <folder>/set.ini] [--save <file>]
// A keyword is fetched live through the program's page fetcher, with the connection settings of
// the named set.ini (the defaults without one); --save keeps the page for later runs.

#include "engine/EngineSource.h"
#include "engine/ResultPageCheck.h"
#include "net/PageFetcher.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"
#include "settings/ConnectionSettings.h"
#include "store/Tables.h"

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

using namespace quorvia;

namespace {

const char* const kUsage =
    "usage: engine-check <definitions.txt | SE.cds> <engine name> <saved page>\n"
    "       engine-check <definitions.txt | SE.cds> <engine name> --keyword <keyword>\n"
    "                    [--settings <folder>/set.ini] [--save <file>]\n";

struct TUsageError {};

TEngineRecord FindEngine(const std::string& path, const std::string& name) {
    std::vector<TEngineRecord> engines;
    if (LowerAscii(std::filesystem::path(path).extension().string()) == ".cds") {
        TTables tables;
        TClientDataSet& table = tables.SE_ClientDataSet;
        table.LoadFromFile(path);
        for (table.First(); !table.Eof(); table.Next())
            engines.push_back({table.FieldByName("SENAME").AsString(),
                               table.FieldByName("MainURL").AsString(),
                               table.FieldByName("SearchURL").AsString(),
                               table.FieldByName("SearchMask").AsString()});
    } else {
        engines = ReadEngineSource(path);
    }
    std::string known;
    for (const TEngineRecord& engine : engines) {
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

void Report(const TEngineRecord& engine, const DefinitionParts& parts, const std::string& page) {
    std::printf("Result pattern:    %s\nNext-page pattern: %s\n", parts.resultPattern.c_str(),
                parts.nextPagePattern.c_str());
    if (!PageLooksComplete(page))
        std::printf("The page has no \"</html>\": the program refuses it unless \"%s\" is named "
                    "in badhtml.lst.\n",
                    engine.SENAME.c_str());
    const TPageCheck check = CheckResultPage(parts, page);
    if (check.results.empty()) {
        std::printf("The result pattern matches nothing on this page.\n");
    } else {
        std::printf("%4s %8s  %-51s  %s\n", "pos", "snippet", "snippet starts", "link");
        for (const TCheckedResult& result : check.results)
            std::printf("%4d %8zu  %-51s  %s\n", result.position, result.snippetStart,
                        SnippetHead(result.snippet).c_str(),
                        result.link.empty() ? "(no link)" : result.link.c_str());
        std::printf("%zu results.\n", check.results.size());
    }
    if (check.nextAddress)
        std::printf("Next address: %s\n", check.nextAddress->c_str());
    else
        std::printf("No next address: the next-page pattern matches nothing on this page.\n");
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
        const DefinitionParts parts = SplitDefinition(engine.SearchURL, engine.SearchMask);
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
