#include "platform/CommaText.h"

#include <gtest/gtest.h>

using namespace quorvia;
using Names = std::vector<std::string>;

TEST(CommaText, RoundTripsNamesThatNeedQuotes) {
    const std::vector<Names> lists = {
        {},
        {"Alpha"},
        {""},
        {"Alpha", "Big Engine"},
        {"Say \"hi\"", "a,b", "tab\there", "Zeta"},
        {"Ünïcode", "", "x"},
    };
    for (const Names& names : lists)
        EXPECT_EQ(SplitCommaText(JoinCommaText(names)), names) << JoinCommaText(names);
}

TEST(CommaText, JoinsWithTheQuotingRules) {
    EXPECT_EQ(JoinCommaText({}), "");
    EXPECT_EQ(JoinCommaText({""}), "\"\"");
    EXPECT_EQ(JoinCommaText({"Alpha", "Big Engine", "Say \"hi\"", "Ünïcode"}),
              "Alpha,\"Big Engine\",\"Say \"\"hi\"\"\",Ünïcode");
}

TEST(CommaText, SplitsTheWaysTheFileMayHoldIt) {
    const std::vector<std::pair<std::string, Names>> cases = {
        {"", {}},
        {"   ", {}},
        {"Alpha Beta", {"Alpha", "Beta"}},        // an unquoted blank separates
        {" Alpha , Beta ", {"Alpha", "Beta"}},    // blanks around names are dropped
        {"Alpha,", {"Alpha", ""}},                // trailing comma: one empty name
        {"Alpha,,Beta", {"Alpha", "", "Beta"}},   // empty name in the middle
        {",Alpha", {"", "Alpha"}},                // leading comma
        {"\"Big Engine\"x", {"Big Engine", "x"}}, // text after a closing quote starts a name
        {"\"open quote", {"open quote"}},         // an unterminated quote runs to the end
        {"\"a\"\"\"", {"a\""}},                   // doubled quote at the very end
    };
    for (const auto& [text, names] : cases)
        EXPECT_EQ(SplitCommaText(text), names) << text;
}
