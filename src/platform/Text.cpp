#include "platform/Text.h"

#include <QChar>

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

// The well-formed UTF-8 sequence at text[pos] (no overlong forms, no surrogates, nothing
// above U+10FFFF): its length and code point. An invalid byte gives length 1 and no code point.
struct Sequence {
    std::size_t length = 1;
    char32_t codePoint = 0;
    bool valid = false;
};

Sequence SequenceAt(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {1, lead, true};
    std::size_t len = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3, value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4, value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {};
    }
    if (pos + len > text.size() || byte(1) < low || byte(1) > high)
        return {};
    for (std::size_t i = 1; i < len; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {};
        value = (value << 6) | (byte(i) & 0x3F);
    }
    return {len, value, true};
}

std::size_t SequenceLength(std::string_view text, std::size_t pos) {
    return SequenceAt(text, pos).length;
}

} // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const Sequence x = SequenceAt(a, i), y = SequenceAt(b, j);
        if (x.valid != y.valid)
            return false;
        if (x.valid ? QChar::toCaseFolded(x.codePoint) != QChar::toCaseFolded(y.codePoint)
                    : a[i] != b[j])
            return false;
        i += x.length;
        j += y.length;
    }
    return i == a.size() && j == b.size();
}

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
