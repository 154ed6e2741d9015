#pragma once
// Byte-text helpers shared by every subsystem. Text is UTF-8 bytes in std::string;
// "lower case" means the letters A-Z only, never the C locale's idea of it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvia {

constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
constexpr char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix);

// Names compared without regard to letter case: each well-formed UTF-8 character by its
// Unicode case folding, each byte that is not part of one only with the same byte.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Number of characters of a text: UTF-8 code points, an invalid byte counting as one.
std::size_t CharCount(std::string_view text);
// The first maxChars characters of a text; never splits a multi-byte character.
std::string CutToChars(std::string_view text, std::size_t maxChars);

// Blanks and control characters (bytes <= 0x20) removed from both ends.
std::string Trim(std::string_view text);

// A decimal whole number with an optional sign that fits 32 bits, or nothing for any other
// text (empty, blanks, a fraction, trailing letters, out of range).
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

} // namespace quorvia
