// The next-page request read from a paging form's markup, and the definitions table with its
// optional fields, old tables and the user's "engines" folder.

#include "engine/FormPaging.h"
#include "engine/EngineTable.h"
#include "engine/ResultPageCheck.h"
#include "store/Tables.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

using namespace quorvia;

TEST(FormPaging, ReadsTheRequestAFormWouldSend) {
    const struct {
        const char* what;
        const char* form;
        TPageRequest request;
    } cases[] = {
        {"a POST form: the button and nameless fields stay out, an empty value goes",
         "<form action=\"/html/\" method=\"post\">\n  <input type=\"submit\" value=\"Next\" />\n"
         "  <input type=\"hidden\" name=\"q\" value=\"red shoes\" />\n"
         "  <input name=\"s\" value=\"10\" type=\"hidden\"/><input type=\"hidden\" name=\"pl\"/>"
         "<input value=\"x\"><button type=\"submit\">Next</button></form>",
         {"https://e.example/html/", true, "q=red+shoes&s=10&pl="}},
        {"attributes in any order, either quote or none, across lines, names in any case",
         "<FORM\n  METHOD=POST\n  class='pager'\n  action = '/sp/search'\n>"
         "<INPUT\n type='hidden'\n value='2'\n NAME='page'\n/></FORM>",
         {"https://e.example/sp/search", true, "page=2"}},
        {"GET: the fields follow the address; character references decoded, then encoded",
         "<form action=\"/search?src=pager&amp;x=1\"><input type=hidden name=q "
         "value=\"caf&#233; &amp; cr&#xE8;me+\"><input type=\"checkbox\" name=\"a\" value=\"1\">"
         "<input type=\"checkbox\" name=\"b\" value=\"2\" checked></form>",
         {"https://e.example/search?src=pager&x=1&q=caf%C3%A9+%26+cr%C3%A8me%2B&b=2", false, ""}},
        {"an absolute action is taken as it is; without a method the form goes by GET",
         "<form action=\"https://other.example/next\"><input type=\"hidden\" name=\"p\" "
         "value=\"2\"></form>",
         {"https://other.example/next?p=2", false, ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FormRequest("https://e.example", c.form), c.request);
    }
}

TEST(FormPaging, TheFirstFormThePatternFindsGivesTheRequest) {
    TRegExpr form("<form[^>]*>\\s*<input[^>]*value=\"Next\"[^>]*>.*?</form>");
    const std::string page =
        "<form action=\"/a\"><input name=\"state\"></form>"
        "<form action=\"/html/\" method=\"post\"><input type=\"submit\" "
        "value=\"Next\"><input type=\"hidden\" name=\"s\" value=\"30\"></form>";
    EXPECT_EQ(NextFormRequest("https://d.example", page, form),
              (TPageRequest{"https://d.example/html/", true, "s=30"}));
    EXPECT_EQ(NextFormRequest("https://d.example", "<p>last page</p>", form), std::nullopt);

    // The link is preferred; the form is asked only when the definition has one.
    DefinitionParts parts{"https://d.example", "", "<a rel=\"next\" href=\"([^\"]+)\"", "<li>"};
    TRegExpr link(parts.nextPagePattern);
    TRegExpr none("");
    EXPECT_EQ(NextPageRequest(parts, page, link, none), std::nullopt);
    parts.nextFormPattern = form.Expression();
    EXPECT_EQ(NextPageRequest(parts, page, link, form),
              (TPageRequest{"https://d.example/html/", true, "s=30"}));
    EXPECT_EQ(NextPageRequest(parts, page + "<a rel=\"next\" href=\"/p2\">", link, form),
              GetRequest("https://d.example/p2"));
}

// A result pattern that runs on to an element of the block ('.*?<cite>') must not take the
// next block's element when a block lacks it.
TEST(ResultSteps, AMatchIsBoundedByTheStartOfTheNextResult) {
    const DefinitionParts parts{"", "", "x", "<li class=\"r\">.*?<cite>"};
    const TPageCheck check = CheckResultPage(parts, "<li class=\"r\"><cite>a.example</cite>"
                                                    "<li class=\"r\"><b>no address</b>"
                                                    "<li class=\"r\"><cite>c.example</cite>"
                                                    "<li class=\"r\"><cite>d.example</cite>");
    ASSERT_EQ(check.results.size(), 4u);
    const char* const links[] = {"http://a.example", "", "http://c.example", "http://d.example"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(check.results[i].link, links[i]) << i;
        EXPECT_EQ(check.results[i].cut, i == 1) << i;
    }
}

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<TEngineRecord> AllEngines(TClientDataSet& engines) {
    std::vector<TEngineRecord> all;
    for (engines.First(); !engines.Eof(); engines.Next())
        all.push_back(CurrentEngineRecord(engines));
    return all;
}

} // namespace

// "SE.cds" files written before NextForm and NoResults keep working: they load, their
// definitions read with both empty, and a repaired definition can still add them.
TEST(EngineTable, AnOlderTableLoadsAndTakesRepairsWithTheNewFields) {
    QTemporaryDir folder;
    const std::string file = folder.path().toStdString() + "/SE.cds";
    TClientDataSet old("SE_ClientDataSet",
                       {TextField("SENAME", 30), TextField("MainURL", 1000),
                        TextField("SearchURL", 1000), TextField("SearchMask", 1000)});
    for (const char* name : {"Beta", "Alpha"}) {
        old.Append();
        old.FieldByName("SENAME").SetAsString(name);
        old.FieldByName("SearchMask").SetAsString(std::string("<li>") + name);
        old.Post();
    }
    SaveDataSet(old, file);

    TTables tables;
    TClientDataSet& engines = tables.SE_ClientDataSet;
    engines.LoadFromFile(file);
    ASSERT_TRUE(engines.Locate("SENAME", {Value(std::string("Alpha"))}));
    EXPECT_EQ(CurrentEngineRecord(engines), (TEngineRecord{"Alpha", "", "", "<li>Alpha", "", ""}));

    PutEngineRecord(engines, {"beta", "https://b/", "u", "<p>", "<form>", "none"});
    PutEngineRecord(engines, {"Gamma", "https://g/", "u", "<li>", "", ""});
    // A replaced definition keeps the name's letter case, which its ranking records carry.
    EXPECT_EQ(AllEngines(engines),
              (std::vector<TEngineRecord>{{"Alpha", "", "", "<li>Alpha", "", ""},
                                          {"Beta", "https://b/", "u", "<p>", "<form>", "none"},
                                          {"Gamma", "https://g/", "u", "<li>", "", ""}}));
}

TEST(EngineTable, TheEnginesFolderAddsAndReplacesAndReportsAFileThatDoesNotParse) {
    QTemporaryDir dir;
    const std::filesystem::path folder =
        std::filesystem::path(dir.path().toStdString()) / "engines";
    TTables tables;
    TClientDataSet& engines = tables.SE_ClientDataSet;
    PutEngineRecord(engines, {"Alpha", "https://a/", "shipped", "<li>", "", ""});
    PutEngineRecord(engines, {"Beta", "https://b/", "shipped", "<li>", "", ""});
    EXPECT_TRUE(ApplyEngineFolder(engines, folder).empty()); // no folder: nothing to say

    std::filesystem::create_directory(folder);
    WriteFile(folder / "alpha.txt", "# repaired\nSENAME: alpha\nMainURL: https://a/\n"
                                    "SearchURL: repaired\nSearchMask: <div>\nNextForm: <form>\n");
    WriteFile(folder / "beta.txt", "SENAME: Beta\nSearchURL: broken\nSearchMsk: <li>\n");
    WriteFile(folder / "delta.txt", "SENAME: Delta\nSearchURL: new\nSearchMask: <p>\n");
    WriteFile(folder / "notes.md", "not a definition");
    const std::vector<std::string> problems = ApplyEngineFolder(engines, folder);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "The engine definitions in " + (folder / "beta.txt").string() +
                               " were not used: " + (folder / "beta.txt").string() +
                               ":3: unknown field \"SearchMsk\"");
    EXPECT_EQ(AllEngines(engines), (std::vector<TEngineRecord>{
                                       {"Alpha", "https://a/", "repaired", "<div>", "<form>", ""},
                                       {"Beta", "https://b/", "shipped", "<li>", "", ""},
                                       {"Delta", "", "new", "<p>", "", ""}}));
}
