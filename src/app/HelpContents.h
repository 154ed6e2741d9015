#pragma once
// The contents list of the help pages, read from the same "toc.hhc" that help.chm is compiled
// with: nested <ul> lists whose <li> items each hold a sitemap object,
//   <li><object type="text/sitemap"><param name="Name" value="Keywords">
//                                   <param name="Local" value="keywords.html"></object>
// A <ul> inside an item's list opens the children of the item before it. Tags and attribute
// names are read without regard to letter case; anything else in the file is passed over.

#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

struct THelpTopic {
    std::string Name;  // the caption in the contents list
    std::string Local; // the page, relative to the contents file; may be empty (a heading)
    std::vector<THelpTopic> Children;

    bool operator==(const THelpTopic&) const = default;
};

std::vector<THelpTopic> ParseHelpContents(std::string_view text);

// Reads and parses a contents file; raises with a message naming the file when it cannot be
// read or holds no topic.
std::vector<THelpTopic> ReadHelpContents(const std::string& path);

} // namespace quorvia
