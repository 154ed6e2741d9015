// Fuzz target: compile an arbitrary pattern and step through an arbitrary text with it.
// Input: first byte = pattern length (mod what is left), then the pattern, then the text.
// Checks that errors are only PatternError, that every match lies inside the text, and that
// every match holds the literal the search relies on finding (the program's required literal).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/TRegExpr.h"
#include "platform/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t patternLength = data[0] % size;
    const std::string pattern(reinterpret_cast<const char*>(data + 1), patternLength);
    const std::string text(reinterpret_cast<const char*>(data + 1 + patternLength),
                           size - 1 - patternLength);
    quorvia::TRegExpr re(pattern);
    re.SetStepBudget(200'000); // keeps runaway patterns cheap for the fuzzer
    try {
        const quorvia::pattern::Program program =
            quorvia::pattern::CompileTree(quorvia::pattern::ParsePattern(pattern));
        const auto holdsRequired = [&](std::string match) {
            if (program.requiredFold)
                match = quorvia::LowerAscii(match);
            return match.find(program.required) != std::string::npos;
        };
        std::size_t lastEnd = 0;
        int matches = 0;
        for (bool found = re.FindFirst(text); found && matches < 64; found = re.FindNext()) {
            const std::size_t pos = re.MatchPos(0), len = re.MatchLen(0);
            if (pos == quorvia::TRegExpr::npos || pos + len > text.size() || pos < lastEnd ||
                !holdsRequired(re.Match(0)))
                std::abort();
            for (int g = 1; g <= re.GroupCount(); ++g) {
                const std::size_t gp = re.MatchPos(g);
                if (gp != quorvia::TRegExpr::npos &&
                    (gp < pos || gp + re.MatchLen(g) > pos + len ||
                     re.Match(g) != text.substr(gp, re.MatchLen(g))))
                    std::abort();
            }
            lastEnd = pos + len;
            ++matches;
        }
    } catch (const quorvia::PatternError&) {
    }
    return 0;
}
