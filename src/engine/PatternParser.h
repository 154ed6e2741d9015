#pragma once
// First stage of the matcher: pattern text -> syntax tree. The modifiers are resolved here and
// baked into the nodes (case folding on literals, sets and back-references, the dot's set, the
// anchors' line mode, each repetition's greediness), so the later stages never see a modifier.

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

// A fault in a pattern, or a search that ran out of steps. The message names the fault and,
// for syntax faults, its 1-based position in the pattern.
class PatternError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace pattern {

constexpr int kMaxGroups = 49;
constexpr std::uint32_t kUnbounded = UINT32_MAX;

using ByteSet = std::array<bool, 256>;

enum class NodeKind : std::uint8_t {
    Empty,     // matches the empty text
    Literal,   // one byte; fold = compare ignoring A-Z/a-z case
    Set,       // one byte out of sets[setIndex]
    Concat,    // children in order
    Alternate, // children tried from the left
    Repeat,    // children[0], min..max times
    Group,     // capturing group number `number` around children[0]
    BackRef,   // the text of group `number`
    Assert,    // a zero-width test
};

enum class AssertKind : std::uint8_t {
    TextStart,
    TextEnd,
    LineStart,
    LineEnd,
    WordBoundary,
    NotWordBoundary,
};

struct Node {
    NodeKind kind = NodeKind::Empty;
    unsigned char byte = 0;         // Literal (lower case when folded)
    bool fold = false;              // Literal, BackRef
    int setIndex = 0;               // Set
    int number = 0;                 // Group, BackRef
    AssertKind assertKind{};        // Assert
    std::uint32_t min = 0, max = 0; // Repeat
    bool greedy = true;             // Repeat
    std::vector<int> children;      // indexes into SyntaxTree::nodes
};

struct SyntaxTree {
    std::vector<Node> nodes;
    std::vector<ByteSet> sets;
    int root = 0;
    int groupCount = 0;
};

// Parses a pattern of the dialect documented in TRegExpr.h; throws PatternError.
SyntaxTree ParsePattern(std::string_view pattern);

// A readable dump of a tree, for tests: e.g. "cat(lit(a) rep{0,inf,greedy}(set) grp1(lit(b)))".
std::string DumpTree(const SyntaxTree& tree);

} // namespace pattern
} // namespace quorvia
