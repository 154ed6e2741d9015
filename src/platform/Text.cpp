#include "platform/Text.h"

#include <charconv>

namespace quorvia {

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = LowerAscii(c);
    return out;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = UpperAscii(c);
    return out;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoreAsciiCase(text.substr(0, prefix.size()), prefix);
}

namespace {

// Length in bytes of the well-formed UTF-8 sequence at text[pos], or 1 for an invalid byte.
std::size_t SequenceLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t len = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        len = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        len = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        len = 4;
    if (len == 1 || pos + len > text.size())
        return 1;
    for (std::size_t i = 1; i < len; ++i)
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80)
            return 1;
    return len;
}

} // namespace

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += SequenceLength(text, pos))
        ++count;
    return count;
}

std::string CutToChars(std::string_view text, std::size_t maxChars) {
    std::size_t pos = 0;
    for (std::size_t n = 0; n < maxChars && pos < text.size(); ++n)
        pos += SequenceLength(text, pos);
    return std::string(text.substr(0, pos));
}

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 0x20)
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
    // from_chars takes a leading minus but not a plus.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace quorvia
