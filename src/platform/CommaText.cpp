#include "platform/CommaText.h"

#include <algorithm>

namespace quorvia {

namespace {

constexpr char Quote = '"';
constexpr char Delimiter = ',';

// Blanks and control characters; bytes of multi-byte characters are above the blank.
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

bool NeedsQuotes(std::string_view name) {
    return name.empty() || std::any_of(name.begin(), name.end(), [](char c) {
               return IsBlank(c) || c == Delimiter || c == Quote;
           });
}

} // namespace

std::string JoinCommaText(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            text += Delimiter;
        const std::string& name = names[i];
        if (!NeedsQuotes(name)) {
            text += name;
            continue;
        }
        text += Quote;
        for (char c : name) {
            if (c == Quote)
                text += Quote;
            text += c;
        }
        text += Quote;
    }
    return text;
}

std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> names;
    std::size_t p = 0;
    const auto skipBlanks = [&] {
        while (p < text.size() && IsBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < text.size()) {
        std::string name;
        if (text[p] == Quote) {
            // Up to the closing quote; a doubled quote stands for one. An open quote runs to
            // the end of the text.
            ++p;
            while (p < text.size()) {
                if (text[p] == Quote) {
                    if (p + 1 < text.size() && text[p + 1] == Quote) {
                        name += Quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                name += text[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < text.size() && !IsBlank(text[p]) && text[p] != Delimiter)
                ++p;
            name.assign(text.substr(start, p - start));
        }
        names.push_back(std::move(name));
        skipBlanks();
        if (p < text.size() && text[p] == Delimiter) {
            if (p + 1 == text.size())
                names.emplace_back(); // a trailing comma ends with an empty name
            ++p;
            skipBlanks();
        }
    }
    return names;
}

} // namespace quorvia
