#pragma once
// A list of names as one line of comma text, the form in which "set.ini" keeps the ticked
// engines. Joining: names separated by ","; a name holding a blank, a control character, a comma
// or a double quote, and an empty name, is written in double quotes with inner quotes doubled.
// Splitting is the reverse, and an unquoted blank also ends a name:
//
//   Alpha,"Big Engine","Say ""hi""",""   <->   {Alpha, Big Engine, Say "hi", ""}
//   Alpha Beta                           -->   {Alpha, Beta}
//   Alpha,                               -->   {Alpha, ""}

#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

std::string JoinCommaText(const std::vector<std::string>& names);
std::vector<std::string> SplitCommaText(std::string_view text);

} // namespace quorvia
