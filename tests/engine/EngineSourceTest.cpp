#include "engine/EngineSource.h"
#include "engine/ResultPageCheck.h"

#include <gtest/gtest.h>

using namespace quorvia;

TEST(EngineSource, ReadsBlocksWithValuesAsWritten) {
    const auto engines =
        ParseEngineSource("# comment\r\n"
                          "SENAME: One\r\n"
                          "searchurl: http://a\",\"/s?q=@@@\",\"<a href=\"(x)\": \n"
                          "\n\n"
                          "SearchMask: <li># not a comment\n"
                          "SENAME: Two",
                          "t.txt");
    ASSERT_EQ(engines.size(), 2u);
    EXPECT_EQ(engines[0].SENAME, "One");
    EXPECT_EQ(engines[0].SearchURL, "http://a\",\"/s?q=@@@\",\"<a href=\"(x)\": ");
    EXPECT_EQ(engines[0].SearchMask, "");
    EXPECT_EQ(engines[1].SENAME, "Two");
    EXPECT_EQ(engines[1].SearchMask, "<li># not a comment");
}

TEST(EngineSource, RejectsWhatWouldShipABrokenEngine) {
    const std::pair<const char*, const char*> cases[] = {
        {"SENAME: A\nSearchMsk: <li>\n", "t.txt:2: unknown field \"SearchMsk\""},
        {"SENAME: A\nSearchMask:<li>\n", "t.txt:2: expected \"Field: value\""},
        {"SENAME: A\nSENAME: B\n",
         "t.txt:2: field SENAME given twice (a blank line ends an engine)"},
        {"SENAME: A\n\nMainURL: http://b/\n", "t.txt:3: engine without SENAME"},
    };
    for (const auto& [text, message] : cases) {
        try {
            ParseEngineSource(text, "t.txt");
            ADD_FAILURE() << text;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
    EXPECT_THROW(ReadEngineSource("/nonexistent/engine.txt"), std::runtime_error);
}

TEST(ResultPageCheck, CutsEachSnippetAtTheNextResult) {
    const DefinitionParts parts{"http://e", "", "<a class=\"n\" href=\"([^\"]+)\"", "<li>"};
    const TPageCheck check = CheckResultPage(
        parts, "<li>a.example/x <li>no address here<li>b.example <a class=\"n\" href=\"/p2\">");
    ASSERT_EQ(check.results.size(), 3u);
    EXPECT_EQ(check.results[0].snippet, "a.example/x ");
    EXPECT_EQ(check.results[0].link, "http://a.example/x");
    EXPECT_EQ(check.results[1].snippetStart, 20u);
    EXPECT_EQ(check.results[1].link, ""); // counted all the same
    EXPECT_EQ(check.results[2].position, 3);
    EXPECT_EQ(check.results[2].link, "http://b.example");
    EXPECT_EQ(check.next, GetRequest("http://e/p2"));

    EXPECT_TRUE(CheckResultPage(parts, "<p>nothing</p>").results.empty());
    EXPECT_THROW(CheckResultPage({"", "", "x", ""}, "page"), std::exception); // empty pattern
}
