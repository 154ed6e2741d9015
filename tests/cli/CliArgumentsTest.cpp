// What the command line of quorvia-cli reads, and the messages that name a bad argument.

#include "cli/CliArguments.h"
#include "cli/ListCommand.h"

#include <gtest/gtest.h>

using namespace quorvia;

namespace {

TCliCommand Parse(std::vector<std::string> arguments) {
    return ParseCliArguments(arguments);
}

} // namespace

TEST(CliArguments, ReadsCheckOptionsInBothForms) {
    const TCliCommand command =
        Parse({"check", "--site", "a.example", "--site=b.example", "--engine", "Alpha",
               "--engine=Beta", "--depth=20", "--first-only"});
    EXPECT_EQ(command.Kind, TCliCommandKind::Check);
    EXPECT_EQ(command.Sites, (std::vector<std::string>{"a.example", "b.example"}));
    EXPECT_EQ(command.Engines, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(command.Depth, 20);
    EXPECT_TRUE(command.FirstOnly);
    EXPECT_FALSE(command.AllSites);

    const TCliCommand plain = Parse({"check"});
    EXPECT_TRUE(plain.Sites.empty());
    EXPECT_FALSE(plain.Depth.has_value());
    EXPECT_FALSE(plain.FirstOnly);
    EXPECT_TRUE(Parse({"check", "--all"}).AllSites);
    EXPECT_EQ(Parse({"list"}).Kind, TCliCommandKind::List);
    for (const auto& help : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"help"}, {"check", "--bogus", "--help"}})
        EXPECT_EQ(Parse(help).Kind, TCliCommandKind::Help) << help.back();
}

TEST(CliArguments, ABadArgumentIsNamedInTheMessage) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "a command is missing (check or list)"},
        {{"chek"}, "unknown command 'chek'"},
        {{"check", "--sites", "x"}, "check: unknown option '--sites'"},
        {{"check", "--site"}, "--site needs a value"},
        {{"check", "--site="}, "--site needs a value"},
        {{"check", "--engine"}, "--engine needs a value"},
        {{"check", "--depth", "25"},
         "--depth '25' is not one of 10, 20, 30, 40, 50, 100, 150, 200"},
        {{"check", "--depth", "ten"},
         "--depth 'ten' is not one of 10, 20, 30, 40, 50, 100, 150, 200"},
        {{"check", "--all=yes"}, "--all takes no value"},
        {{"check", "--all", "--site", "a"}, "--all and --site cannot be used together"},
        {{"list", "extra"}, "list: unexpected argument 'extra'"},
    };
    for (const auto& [arguments, message] : cases) {
        try {
            Parse(arguments);
            ADD_FAILURE() << "accepted: " << message;
        } catch (const TCliError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST(CliList, PlainTableAlignsColumnsByCharacters) {
    EXPECT_EQ(PlainTable({{"SITE", "KEYWORDS"}, {"müller.example", "rot, blau"}, {"a", ""}}),
              "SITE            KEYWORDS\n"
              "müller.example  rot, blau\n"
              "a\n");
}
