#pragma once
// Second stage of the matcher: syntax tree -> a flat program for the backtracking machine,
// plus what the search loop needs to skip ahead: a literal prefix (found with memmem), the set
// of bytes a match can start with, whether a match can only start at the text's start, and a
// literal that every match contains (a search whose rest of text lacks it cannot succeed).

#include <cstdint>
#include <string>
#include <vector>

#include "engine/PatternParser.h"

namespace quorvia::pattern {

enum class Op : std::uint8_t {
    Byte,       // a = byte
    ByteFold,   // a = lower-case letter; matches either case
    String,     // a = offset in literals, b = length
    StringFold, // the same, ignoring A-Z/a-z case; literals stored lower case
    Set,        // a = set index
    Repeat,     // a = index into repeats: a single-byte item repeated
    Split,      // go on at a, on failure at b
    Jump,       // go on at a
    Save,       // slot a := position
    CloseGroup, // group a := (its open slot, position); see Program::OpenSlot
    Assert,     // a = AssertKind
    BackRef,    // a = group number
    BackRefFold,
    Match,
};

struct Instruction {
    Op op;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
};

// A repetition of one byte out of a set. The follow set holds the bytes that whatever comes
// after can begin with; giving back or taking more stops only where the next byte fits it.
struct RepeatStep {
    int set = 0;
    std::uint32_t min = 0, max = 0;
    bool greedy = true;
    bool possessive = false; // follow set and own set are disjoint: never give back
    int follow = -1;         // set index, -1 when anything (or the end) may follow
    int stopByte = -1;       // the one byte outside `set`, so a scan can use memchr
};

struct Program {
    std::vector<Instruction> code;
    std::vector<ByteSet> sets;
    std::vector<RepeatStep> repeats;
    std::string literals;
    int groupCount = 0;

    // Slots 2n and 2n+1 bound group n (n = 0: the whole match). A group's start goes first to
    // its open slot and reaches slot 2n only when the group closes, so a back-reference inside
    // a repeated group reads the group's previous complete capture.
    std::size_t OpenSlot(int group) const { return 2 * std::size_t(groupCount + 1) + group; }
    std::size_t SlotCount() const { return 3 * std::size_t(groupCount + 1); }

    // Search helpers.
    std::string prefix;    // every match begins with these bytes (case as written)
    bool anchored = false; // a match can only begin at position 0
    bool firstBytesKnown = false;
    ByteSet firstBytes{}; // when known: the bytes a match can begin with
    // Bytes every match contains somewhere after its leading literal (lower case and compared
    // ignoring A-Z/a-z case when requiredFold); empty when no such literal is known.
    std::string required;
    bool requiredFold = false;
};

// Throws PatternError when the expanded program would be unreasonably large.
Program CompileTree(const SyntaxTree& tree);

} // namespace quorvia::pattern
