#pragma once
// Third stage of the matcher: runs a compiled program over a text with an explicit
// backtracking stack that is kept between searches, so a search allocates nothing per step.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/PatternProgram.h"

namespace quorvia::pattern {

// Work allowed for one search, in machine steps (an instruction, a backtrack, or eight bytes
// scanned by a repetition): some 60 steps per byte of a 5 MB page, far above what a sane
// pattern needs, and about a second and a half of work. A pattern that backtracks without
// end meets it and fails with a PatternError instead of freezing the program.
constexpr std::uint64_t kStepBudget = 300'000'000;
// Backtracking entries one search may hold (24 bytes each).
constexpr std::size_t kStackBudget = 16'000'000;

class PatternMatcher {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit PatternMatcher(const Program& program);

    // Leftmost match starting at `from` or later. The caller has already cut the text at its
    // first NUL. On success Slot(2n), Slot(2n+1) bound group n (npos when it took no part).
    bool Search(std::string_view text, std::size_t from);
    std::size_t Slot(std::size_t i) const { return slots_[i]; }

    // A smaller budget, for the fuzz target and tests that provoke runaway patterns.
    void SetStepBudget(std::uint64_t steps) { budget_ = steps; }

private:
    enum class FrameKind : std::uint32_t { Alternative, RestoreSlot, GiveBack, TakeMore };
    struct Frame {
        std::uint32_t pc;
        FrameKind kind;
        std::size_t pos;
        std::size_t aux;
    };

    bool Attempt(std::size_t start);
    bool Backtrack(std::uint32_t& pc, std::size_t& pos);
    bool EnterRepeat(std::uint32_t pc, std::size_t& pos);
    bool ContinueLazy(std::uint32_t pc, std::size_t& pos, std::size_t base);
    bool TestAssert(AssertKind kind, std::size_t pos) const;
    bool MatchBackRef(std::uint32_t group, bool fold, std::size_t& pos) const;
    void Push(std::uint32_t pc, FrameKind kind, std::size_t pos, std::size_t aux = 0) {
        if (stack_.size() >= kStackBudget) [[unlikely]]
            ThrowBudgetSpent();
        stack_.push_back(Frame{pc, kind, pos, aux});
    }
    [[noreturn]] static void ThrowBudgetSpent();
    void Spend(std::uint64_t steps);

    const Program& prog_;
    const unsigned char* text_ = nullptr;
    std::size_t size_ = 0;
    std::vector<std::size_t> slots_;
    std::vector<Frame> stack_;
    std::uint64_t steps_ = 0;
    std::uint64_t budget_ = kStepBudget;
};

} // namespace quorvia::pattern
