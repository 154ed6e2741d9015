#pragma once
// The program's regular-expression matcher: a backtracking matcher with leftmost-first
// semantics over 8-bit text (a NUL byte ends the text). Stages: PatternParser (text -> tree,
// modifiers resolved) -> PatternProgram (tree -> program, search helpers) -> PatternMatcher.
//
//   x                   any other character: itself
//   \c                  c, for any character not listed here ("\." "\/" "\(" "\\" ...)
//   \t \n \r \f \a \e   tab, LF, CR, FF, bell (7), escape (27)
//   \xHH  \x{H...}      the character with that code (at most FF)
//   .                   any character; with s off, any but CR and LF
//   [set]  [^set]       one character from / not from the set: characters, ranges a-z, the
//                       escapes above, \d \s \w; "]" first and "-" first or last are literal
//   \d \D \w \W \s \S   digit, word character [0-9A-Za-z_], space [ \t\n\r\f], and negations
//   \b \B               word boundary (the text's edges count as non-word), anywhere else
//   ^  $                text start / end; with m also after / before each CR, LF or CR LF
//   \A \Z               text start / end, whatever the modifiers
//   ( )                 capturing group, numbered by "(" from 1, at most 49
//   \1 .. \9            the text of that group (case-blind under i); fails if it took no part
//   a|b                 alternation, lowest precedence; an empty alternative matches empty
//   * + ? {n} {n,} {n,m}  greedy repetition; a "{" not in these forms is a literal
//   repetition then ?   the same repetition, lazy
//   (?imsgxr-imsgxr)    modifiers on (after "-": off) up to the end of the enclosing group
//   (?#text)            comment
//
// Modifiers, with their starting values: i ignore case (A-Z only) off; s dot matches CR/LF
// on; g greedy (off: every repetition lazy) on; m multi-line anchors off; x ignore blanks,
// tabs, line breaks and "#" comments outside sets off; r on (it widens Cyrillic ranges in
// code page 1251; text here is UTF-8, so the letter is accepted and changes nothing).
//
// Pattern errors (PatternError, message with the 1-based position): the empty pattern, a
// repetition after a repetition, a repetition of something that can match the empty text or
// of nothing, unbalanced ( ) [ ], a modifier letter outside the six, "(?i:" forms, a bad
// "\x" escape, a range out of order, more than 49 groups, a back-reference beyond the last
// group. A search that spends its step budget (pattern::kStepBudget) also raises one.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/PatternMatcher.h"
#include "engine/PatternParser.h"
#include "engine/PatternProgram.h"

namespace quorvia {

class TRegExpr {
public:
    static constexpr std::size_t npos = pattern::PatternMatcher::npos;

    TRegExpr() = default;
    explicit TRegExpr(std::string expression) : expression_(std::move(expression)) {}
    TRegExpr(const TRegExpr&) = delete;
    TRegExpr& operator=(const TRegExpr&) = delete;

    const std::string& Expression() const { return expression_; }
    void SetExpression(std::string expression);

    // Lowers the work one search may do (pattern::kStepBudget by default).
    void SetStepBudget(std::uint64_t steps);

    // Compiles now; FindFirst does it on first use otherwise. Throws PatternError.
    void Compile();

    // The leftmost match in text (which must outlive the following calls).
    bool FindFirst(std::string_view text);
    // The leftmost match from where the last one ended, one further when it was empty.
    bool FindNext();
    // The leftmost match starting at or after from in the text of the last FindFirst.
    bool FindFrom(std::size_t from);

    // Number of capturing groups of the pattern.
    int GroupCount();
    // Whole match for n = 0, group n for 1..GroupCount(). A group that took no part, and any
    // n out of range, gives npos, 0 and the empty text.
    std::size_t MatchPos(int n) const;
    std::size_t MatchLen(int n) const;
    std::string Match(int n) const;

private:
    bool Run(std::size_t from);

    std::string expression_;
    std::unique_ptr<pattern::Program> program_;
    std::unique_ptr<pattern::PatternMatcher> matcher_;
    std::string_view text_;
    bool matched_ = false;
    std::uint64_t stepBudget_ = pattern::kStepBudget;
};

} // namespace quorvia
