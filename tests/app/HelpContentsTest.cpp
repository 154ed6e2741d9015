#include "app/HelpContents.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <stdexcept>

using namespace quorvia;

namespace {

THelpTopic Topic(std::string name, std::string local, std::vector<THelpTopic> children = {}) {
    return {std::move(name), std::move(local), std::move(children)};
}

} // namespace

TEST(HelpContents, TheShippedContentsListNamesPagesThatExist) {
    const std::string folder = std::string(QUORVIA_TEST_HELP_SOURCES);
    const std::vector<THelpTopic> topics = ReadHelpContents(folder + "/toc.hhc");
    ASSERT_EQ(topics.size(), 6u);
    EXPECT_EQ(topics[0], Topic("Welcome to Quorvia", "index.html"));
    for (const THelpTopic& topic : topics) {
        EXPECT_TRUE(topic.Children.empty()) << topic.Name;
        EXPECT_TRUE(std::filesystem::exists(folder + "/" + topic.Local)) << topic.Local;
    }
}

TEST(HelpContents, ReadsNestedListsInAnyLetterCaseAndQuoting) {
    const struct {
        const char* name;
        const char* text;
        std::vector<THelpTopic> expected;
    } cases[] = {
        {"nested list opens the children of the item before it",
         R"(<UL><LI><OBJECT type="text/sitemap"><PARAM name="Name" value="Start">
              <PARAM name="Local" value="start.html"></OBJECT>
              <UL><LI><object type="text/sitemap"><param name="Name" value="Deeper">
                  <param name="Local" value="deep.html#part"></object></UL>
            <LI><object type="text/sitemap"><param name="Name" value="Next"></object></UL>)",
         {Topic("Start", "start.html", {Topic("Deeper", "deep.html#part")}), Topic("Next", "")}},
        {"single quotes, bare values, entities",
         R"(<ul><li><object type='text/sitemap'><param name='Name' value='Sites &amp; keywords'>
              <param NAME=Local VALUE=sites.html></object></ul>)",
         {Topic("Sites & keywords", "sites.html")}},
        {"objects of other types and commented-out items are passed over",
         R"(<object type="text/site properties"><param name="Name" value="Props"></object>
            <!-- <li><object type="text/sitemap"><param name="Name" value="Old"></object> -->
            <ul><li><object type="text/sitemap"><param name="Name" value="Kept"></object></ul>)",
         {Topic("Kept", "")}},
        {"a file cut short keeps what came before",
         R"(<ul><li><object type="text/sitemap">
              <param name="Name" value="Whole"></object><li><object type="text/sitemap"><param)",
         {Topic("Whole", "")}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseHelpContents(c.text), c.expected) << c.name;
}

TEST(HelpContents, AMissingOrEmptyFileRaisesNamingIt) {
    QTemporaryDir dir;
    const std::string empty = dir.filePath(QStringLiteral("toc.hhc")).toStdString();
    std::ofstream(empty) << "<html><body></body></html>";
    for (const std::string& path :
         {dir.filePath(QStringLiteral("none.hhc")).toStdString(), empty}) {
        try {
            ReadHelpContents(path);
            ADD_FAILURE() << path << " was read";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
}
