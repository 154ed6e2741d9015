#pragma once
// The readable source of engine definitions, from which "SE.cds" is written at build time and
// which engine-check reads directly. One or more blocks of "Field: value" lines, blocks apart
// by a blank line; a line starting with "#" is a comment. The value runs unchanged from after
// ": " to the end of the line (a CR before the line feed is dropped), so patterns need no
// quoting. Fields: SENAME, MainURL, SearchURL, SearchMask (letter case of the names ignored),
// and two that a definition may leave out:
//   NextForm   a pattern whose first match is the form that asks for the next page, for
//              engines that page by a form (engine/FormPaging.h); used when the next-page
//              pattern of SearchURL finds no link.
//   NoResults  a pattern that matches the engine's own answer that nothing was found, so that
//              a page without results is told apart from one the definition cannot read.
//
//     # Results are <li class="hit"> items; the next page is a rel="next" link.
//     SENAME: Example Web
//     MainURL: https://search.example/
//     SearchURL: https://search.example","/find?q=@@@","<a rel="next" href="([^"]+)"
//     SearchMask: <li class="hit"><a href="(https?://)?
//     NoResults: <p class="none">No pages found

#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

struct TEngineRecord {
    std::string SENAME;
    std::string MainURL;
    std::string SearchURL;
    std::string SearchMask;
    std::string NextForm = {};  // empty: the engine pages by links only
    std::string NoResults = {}; // empty: the engine's "nothing found" answer is not known

    bool operator==(const TEngineRecord&) const = default;
};

// Parses source text; origin names it in messages. Throws std::runtime_error
// ("<origin>:<line>: <what>") for a line that is not "Field: value", an unknown or repeated
// field, or a block without SENAME.
std::vector<TEngineRecord> ParseEngineSource(std::string_view text, const std::string& origin);

// The same for a file; an unreadable file throws "cannot read <path>".
std::vector<TEngineRecord> ReadEngineSource(const std::string& path);

} // namespace quorvia
