#include "engine/TRegExpr.h"

#include <gtest/gtest.h>

#include <ctime>
#include <optional>
#include <string>
#include <vector>

using namespace quorvia;

namespace {

constexpr const char* kUnset = "<unset>";

struct MatchCase {
    std::string pattern;
    std::string text;
    // Whole match first, then the groups; empty when nothing must match.
    std::vector<std::string> expected;
};

void CheckCases(const std::vector<MatchCase>& cases) {
    for (const MatchCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.pattern + "\" on \"" + c.text + "\"");
        TRegExpr re(c.pattern);
        const bool found = re.FindFirst(c.text);
        ASSERT_EQ(found, !c.expected.empty());
        for (std::size_t n = 0; n < c.expected.size(); ++n) {
            if (c.expected[n] == kUnset) {
                EXPECT_EQ(re.MatchPos(int(n)), TRegExpr::npos) << "group " << n;
                EXPECT_EQ(re.Match(int(n)), "");
            } else {
                EXPECT_EQ(re.Match(int(n)), c.expected[n]) << "group " << n;
            }
        }
    }
}

} // namespace

TEST(TRegExpr, LiteralsEscapesAndSets) {
    CheckCases({
        {"abc", "xxabcxx", {"abc"}},
        {"abd", "abcabc", {}},
        {"\\.\\/\\?\\(\\\\", "a./?(\\b", {"./?(\\"}},
        {"\\q\\-\\0", "q-0", {"q-0"}}, // unlisted escapes are the character itself
        {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1b", {"\t\n\r\f\a\x1b"}},
        {"\\x41\\x{62}\\x{0063}", "Abc", {"Abc"}},
        {"\\xff", "a\xff", {"\xff"}},
        {"\xe9t\xe9", "\xe9t\xe9", {"\xe9t\xe9"}}, // 8-bit bytes as themselves
        {"a.c", "a\nc", {"a\nc"}},                 // s is on from the start
        {"(?-s)a.c", "a\nc a\rc abc", {"abc"}},
        {"[a-c]+", "xxbcaz", {"bca"}},
        {"[^a-c]+", "abxyc", {"xy"}},
        {"[]a]+", "x]a]", {"]a]"}},
        {"[^]a]+", "]a]xy", {"xy"}},
        {"[-a]+|[a-]+", "x-a-", {"-a-"}},
        {"[\\d\\s]+", "ab1 2\t3c", {"1 2\t3"}},
        {"[\\w.]+", "  a_b.9  ", {"a_b.9"}},
        {"[\\]\\-\\\\]+", "x]-\\y", {"]-\\"}},
        {"[\\x41-\\x43]+", "zABCD", {"ABC"}},
        {"[\\t]", "a\tb", {"\t"}},
        {"\\d+\\D", "ab12c", {"12c"}},
        {"\\w+\\W", "..ab_9!", {"ab_9!"}},
        {"\\s\\S", "ab \tc", {"\tc"}},
        {"a{b", "a{b", {"a{b"}},       // "{" that is no repetition is a literal
        {"a{,2}", "a{,2}", {"a{,2}"}}, // so is "{,m}"
        {"a{2x}", "a{2x}", {"a{2x}"}},
    });
}

TEST(TRegExpr, AnchorsAndBoundaries) {
    CheckCases({
        {"^ab", "ab", {"ab"}},
        {"^b", "a\nb", {}},
        {"(?m)^b", "a\nb", {"b"}},
        {"(?m)^b", "a\rb", {"b"}},
        {"(?m)^b", "a\r\nb", {"b"}},
        {"(?m)^\\n", "a\r\nb", {}}, // between CR and LF is inside one break
        {"a$", "a\n", {}},          // $ without m is the very end
        {"(?m)a$", "a\nb", {"a"}},
        {"(?m)a$", "a\r\nb", {"a"}},
        {"(?m)\\r$", "a\r\nb", {}},
        {"(?m)\\Aa", "b\na", {}},
        {"(?m)a\\Z", "a\nb", {}},
        {"b\\Z", "ab", {"b"}},
        {"\\bcat\\b", "concat cat!", {"cat"}},
        {"\\Bcat", "cat concat", {"cat"}},
        {"^\\b", "a", {""}},
        {"\\b$", "a ", {}},
    });
}

TEST(TRegExpr, GroupsAlternationAndBackReferences) {
    CheckCases({
        {"(a)(b(c))", "abc", {"abc", "a", "bc", "c"}},
        {"(a)|(b)", "b", {"b", kUnset, "b"}},
        {"ab|abc", "abc", {"ab"}}, // leftmost-first, not longest
        {"x(|a)y", "xy", {"xy", ""}},
        {"(a|ab)(c|bcd)", "abcd", {"abcd", "a", "bcd"}},
        {"(a)+", "aaa", {"aaa", "a"}},
        {"(\\w)\\1", "abccd", {"cc", "c"}},
        {"(a)\\1", "aA", {}},
        {"(?i)(a)\\1", "aA", {"aA", "a"}},
        {"(a)|b\\1", "b", {}}, // a back-reference to a group that took no part fails
        {"([a-z]+) \\1", "the the", {"the the", "the"}},
        {"(?#comment)a(?#)b", "ab", {"ab"}},
        {"((((((((((a))))))))))\\9",
         "aa",
         {"aa", "a", "a", "a", "a", "a", "a", "a", "a", "a", "a"}},
    });
}

// Inside a repeated group, a reference to that group reads its previous complete capture;
// it once read the new start with the old end. Expected values as PCRE2 gives them.
TEST(TRegExpr, BackReferenceInsideItsRepeatedGroupReadsThePreviousCapture) {
    CheckCases({
        {"(a|b\\1)+", "aba", {"aba", "ba"}},
        {"(x|\\1=)*", "x=", {"x", "x"}},
        {"(a|b\\1)+", "ababa", {"aba", "ba"}},
        {"(a|b\\1c)+", "abac", {"abac", "bac"}},
        {"^(a|\\1b)+$", "aabaab", {"aabaab", "ab"}},
        {"((a)|b\\2)+", "abab", {"aba", "ba", "a"}},
        {"(?i)(a|b\\1)+", "aBA", {"aBA", "BA"}},
        {"(\\1a|b)+", "bba", {"bba", "ba"}},
    });
}

TEST(TRegExpr, GreedyLazyAndCounts) {
    CheckCases({
        {"<.*>", "<a><b>", {"<a><b>"}},
        {"<.*?>", "<a><b>", {"<a>"}},
        {"<.+?>", "<><b>", {"<><b>"}},
        {"a??b", "ab", {"ab"}},
        {"a{2}", "aaaa", {"aa"}},
        {"a{2,}", "aaaa", {"aaaa"}},
        {"a{2,3}", "aaaa", {"aaa"}},
        {"a{2,3}?", "aaaa", {"aa"}},
        {"a{0}b", "ab", {"b"}},
        {"(ab){2}", "abababx", {"abab", "ab"}},
        {"(ab){1,2}?c", "ababc", {"ababc", "ab"}},
        {"(ab|a){2,}", "aabab", {"aabab", "ab"}},
        {"(?-g)a+", "aaa", {"a"}}, // g off makes every repetition lazy
        {"(?-g)a+?", "aaa", {"a"}},
        {"(?-g)(a+)(?g)(a+)", "aaaa", {"aaaa", "a", "aaa"}},
        {"\"([^\"]*)\"", "x=\"a b\" y", {"\"a b\"", "a b"}},
        {"a.*b", "a1b2b3", {"a1b2b"}}, // greedy gives back to the last b
        {"a[^x]*b", "a1b2b3", {"a1b2b"}},
        {"a.*?b.*?c", "a1b2b3c", {"a1b2b3c"}},
        {"x*", "aaa", {""}},
    });
}

TEST(TRegExpr, ModifiersScopeToTheEndOfTheirGroup) {
    CheckCases({
        {"(?i)abc", "xABC", {"ABC"}},
        {"(?I)abc", "xABC", {"ABC"}}, // letters in either case
        {"a(?i)b", "AB aB", {"aB"}},
        {"(a(?i)b)c", "aBC aBc", {"aBc", "aB"}}, // ends with the group
        {"(?i)a(?-i)b", "AB Ab", {"Ab"}},
        {"a(?i)b|c", "C", {"C"}}, // reaches the following alternatives
        {"(?i)[a-c]+", "xAbC", {"AbC"}},
        {"(?i)[^a]", "Ab", {"b"}},
        {"(?i)\xe9", "\xc9", {}}, // only A-Z fold
        {"(?x) a b # comment\n c", "abc", {"abc"}},
        {"(?x)[ ]a", " a", {" a"}}, // blanks inside a set still count
        {"(?x)a\\ b", "a b", {"a b"}},
        {"(?x)a (?-x) b", "a b", {"a b"}},
        {"(?r)a", "a", {"a"}},
        {"(?im-sx)^b.", "a\nB\nc", {}}, // s off: the dot refuses LF
        {"(?im-sx)^b.", "a\nBc", {"Bc"}},
        {"(?m)(?-m)^b", "a\nb", {}},
    });
}

TEST(TRegExpr, TextEndsAtNul) {
    CheckCases({
        {"b", std::string("a\0b", 3), {}},
        {"a$", std::string("a\0b", 3), {"a"}},
    });
}

TEST(TRegExpr, FindNextStepsThroughMatches) {
    TRegExpr re("<li>(\\d+)");
    const std::string page = "<li>1 x <li>22 <li>333";
    std::vector<std::string> seen;
    std::vector<std::size_t> positions;
    for (bool found = re.FindFirst(page); found; found = re.FindNext()) {
        seen.push_back(re.Match(1));
        positions.push_back(re.MatchPos(0));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"1", "22", "333"}));
    EXPECT_EQ(positions, (std::vector<std::size_t>{0, 8, 15}));
    EXPECT_EQ(re.MatchPos(0), TRegExpr::npos);

    // After an empty match the next search starts one character further on.
    TRegExpr empty("x*");
    std::vector<std::string> pieces;
    for (bool found = empty.FindFirst("axxb"); found; found = empty.FindNext())
        pieces.push_back(std::to_string(empty.MatchPos(0)) + ":" + empty.Match(0));
    EXPECT_EQ(pieces, (std::vector<std::string>{"0:", "1:xx", "3:", "4:"}));
}

TEST(TRegExpr, PatternErrorsNameTheFaultAndPosition) {
    struct ErrorCase {
        std::string pattern;
        std::string fault;
        int position; // 1-based; 0 when the message carries none worth checking
    };
    const ErrorCase cases[] = {
        {"", "empty pattern", 0},
        {"a**", "repetition after repetition", 3},
        {"a*{2}", "repetition after repetition", 3},
        {"a+?+", "repetition after repetition", 4},
        {"(a", "unbalanced parenthesis", 1},
        {"a)", "unbalanced parenthesis", 2},
        {"[ab", "unbalanced bracket", 1},
        {"a]", "unbalanced bracket", 2},
        {"[]", "unbalanced bracket", 1},
        {"(?#open", "unbalanced parenthesis", 1},
        {"(?q)", "unknown modifier", 3},
        {"(?=a)", "unknown modifier", 3},
        {"(?:a)", "groups that switch modifiers", 3},
        {"(?i:a)", "groups that switch modifiers", 4},
        {"(a*)*", "can match the empty text", 5},
        {"(a|)+", "can match the empty text", 5},
        {"(^)*", "can match the empty text", 4},
        {"\\b+", "can match the empty text", 3},
        {"*a", "nothing to repeat", 1},
        {"(?i)+", "nothing to repeat", 5},
        {"{2}", "nothing to repeat", 1},
        {"a{3,2}", "out of order", 2},
        {"[z-a]", "range out of order", 2},
        {"\\xg1", "hexadecimal", 1},
        {"\\x{100}", "above FF", 1},
        {"a\\", "backslash at the end", 2},
        {"(a)\\2", "group that does not exist", 0},
        {"a{100001}", "too large", 2},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.pattern);
        TRegExpr re(c.pattern);
        try {
            re.FindFirst("some text");
            ADD_FAILURE() << "no error";
        } catch (const PatternError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(c.fault), std::string::npos) << message;
            if (c.position > 0) {
                EXPECT_NE(message.find("position " + std::to_string(c.position) + " "),
                          std::string::npos)
                    << message;
            }
        }
    }
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += "(a)";
    EXPECT_THROW(TRegExpr(fifty).Compile(), PatternError);
    EXPECT_NO_THROW(TRegExpr(fifty.substr(3)).Compile());
}

// The literal that every match must contain past its beginning; a search stops as soon as
// the rest of the text lacks it.
TEST(TRegExpr, RequiredLiteralHonoursCaseAndModifiers) {
    struct Case {
        const char* pattern;
        const char* required; // "" when none is known
        bool fold;
    };
    const Case cases[] = {
        {"href=\"(.*?)\">Next", "\">Next", false}, // a tie goes to the later literal
        {"(?i)href=\"(.*?)\">Next", "\">next", true},
        {"href=\"(.*?)\">(?i)Next", "\">next", true},    // one folded byte folds the run
        {"(href=\"(.*?)(?i))\">Next", "\">Next", false}, // the switch ended with its group
        {"<a.*?[Nn]ext", "next", true},
        {"<a.*?[N]ext", "Next", false},
        {"<a.*?N\\x65xt", "Next", false},
        {"(?x) <a .*? N e x t", "Next", false},
        {"<a.*?N(?#c)ext\\b", "Next", false},
        {"<a.*?(Ne)(xt)", "Next", false},
        {"<a.*(bc){2}", "bcbc", false},
        {"<a.*(ab)+c", "ab", false},
        {"<a.*(Ne|Ne)xt", "Next", false},
        {"<a.*(Ne|ne)xt", "xt", false},
        {"<a.*ab?c", "c", false},
        {"<a.*(ab)?c", "c", false},
        {"(x).*\\1yz", "yz", false},
        {"Next", "", false},      // all literal: found by the prefix search
        {"Ne.*|xt", "", false},   // alternatives share nothing
        {"[Nn]ext.*", "", false}, // only at its beginning
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern);
        const pattern::Program program = pattern::CompileTree(pattern::ParsePattern(c.pattern));
        EXPECT_EQ(program.required, c.required);
        EXPECT_EQ(program.requiredFold, c.fold);
    }
    // Matching still finds what the literal allows, in either case where folded.
    CheckCases({
        {"(?i)href=\"(.*?)\">next", "<A HREF=\"/b\">NEXT</A>", {"HREF=\"/b\">NEXT", "/b"}},
        {"href=\"(.*?)\">(?i)next", "href=\"/b\">NeXt", {"href=\"/b\">NeXt", "/b"}},
        {"href=\"(.*?)\">Next", "href=\"/b\">NEXT", {}},
        {"<a.*?[Nn]ext", "<a NEXT <a next", {"<a NEXT <a next"}},
        {"<a.*?[Nn]ext", "<a nEXT", {}},
        {"<a.*(bc){2}", "<a bcb bc", {}},
        {"<a.*(ab)+c", "<a ab abab c abc", {"<a ab abab c abc", "ab"}},
    });
    // Stepping on: the literal is gone after the second item.
    TRegExpr items("<li>(.*?)</li>");
    std::vector<std::string> seen;
    for (bool found = items.FindFirst("<li>a</li><li>b</li><li>c"); found; found = items.FindNext())
        seen.push_back(items.Match(1));
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b"}));
}

// A result page of some 5 MB: many anchors, none of them a next-page link.
std::string LargePageWithoutNextLink() {
    std::string page = "<html><body>\n";
    for (int i = 0; page.size() < 5'000'000; ++i)
        page += "<div class=\"r\"><a href=\"https://www.site" + std::to_string(i) +
                ".example/page\">Result " + std::to_string(i) + "</a> text about it</div>\n";
    return page + "<a href=\"/s?page=1\">Previous</a></body></html>\n";
}

// Processor time of this process: the work done, whatever else the machine is busy with.
double CpuSecondsSince(std::clock_t start) {
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

TEST(TRegExpr, NextPageSearchOnALargePageWithoutNextLinkAnswersAtOnce) {
    const std::string page = LargePageWithoutNextLink();
    TRegExpr next("href=\"(.*?)\">Next");
    const std::clock_t start = std::clock();
    EXPECT_FALSE(next.FindFirst(page));
    // Without the required literal each anchor scans on to the page's end, and the search
    // runs out of steps after seconds; with it the answer takes milliseconds.
    EXPECT_LT(CpuSecondsSince(start), 1.0);

    // The same page with the link at its end.
    TRegExpr withLink("<a href=\"([^\"]*)\">Next");
    const std::string linked = page + "<a href=\"/s?page=3\">Next</a>";
    ASSERT_TRUE(withLink.FindFirst(linked));
    EXPECT_EQ(withLink.Match(1), "/s?page=3");
}

TEST(TRegExpr, RunawayBacktrackingRaisesInsteadOfFreezing) {
    // Nested alternations over the same letters: exponential without a budget.
    TRegExpr re("((a|aa)(a|aa))+b");
    // With no "b" anywhere the search cannot succeed and ends without trying.
    EXPECT_FALSE(re.FindFirst(std::string(200, 'a')));
    for (const std::size_t size : {std::size_t(200), std::size_t(5'000'000)}) {
        SCOPED_TRACE(size);
        const std::string text = std::string(size, 'a') + "cb";
        const std::clock_t start = std::clock();
        try {
            re.FindFirst(text);
            ADD_FAILURE() << "no error";
        } catch (const PatternError& e) {
            EXPECT_NE(std::string(e.what()).find("too many steps"), std::string::npos);
        }
        // The budget ends it in about two seconds of work; loose for an instrumented build.
        EXPECT_LT(CpuSecondsSince(start), 20.0);
    }
    // The same matcher still works on a sane text afterwards.
    EXPECT_TRUE(re.FindFirst("aab"));
}

TEST(TRegExpr, AddressPatternsOfResultLinks) {
    const char* absolute = "(?i)(FTP|HTTP)://([_a-z\\d\\-]+(\\.[_a-z\\d\\-]+)+)((/"
                           "[_a-z\\?\\=\\%\\&\\d\\-\\\\\\./~]+)+)*";
    CheckCases({
        {absolute,
         "see <a href=\"HTTP://Www.Example.com/Dir/p.html?a=1&b=2\">",
         {"HTTP://Www.Example.com/Dir/p.html?a=1&b=2", "HTTP", "Www.Example.com", ".com",
          "/Dir/p.html?a=1&b=2", "/Dir/p.html?a=1&b=2"}},
        {absolute, "http://host.example:8080/x", {"http://host.example"}},
        {absolute, "http://host.example/\"", {"http://host.example"}},
        {absolute, "http://host.example/dir/\"", {"http://host.example/dir/"}},
        {absolute, "https://a.example/ only", {}},
        {absolute, "http://nodot/", {}},
    });
}
