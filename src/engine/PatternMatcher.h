#pragma once
// Third stage of the matcher: runs a compiled program over a text with an explicit
// backtracking stack that is kept between searches, so a search allocates nothing per step.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/PatternProgram.h"

namespace quorvia::pattern {

// Work allowed for one search, in machine steps (an instruction, a backtrack, or eight bytes
// scanned by a repetition). It grows with the text, since sane patterns need work in
// proportion to it, and is capped so that a pattern that backtracks without end fails with a
// PatternError within about two seconds instead of freezing the program.
constexpr std::uint64_t kBaseStepBudget = 20'000'000;
constexpr std::uint64_t kStepsPerByte = 100;
constexpr std::uint64_t kMaxStepBudget = 300'000'000;
constexpr std::uint64_t StepBudgetFor(std::size_t textSize) {
    return std::min<std::uint64_t>(kBaseStepBudget + kStepsPerByte * textSize, kMaxStepBudget);
}
// Backtracking entries one search may hold (24 bytes each).
constexpr std::size_t kStackBudget = 16'000'000;

class PatternMatcher {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit PatternMatcher(const Program& program);

    // The text the following searches run over; the caller has already cut it at its first
    // NUL, and it must outlive them.
    void SetText(std::string_view text);
    // Leftmost match starting at `from` or later. On success Slot(2n), Slot(2n+1) bound
    // group n (npos when it took no part).
    bool Search(std::size_t from);
    std::size_t Slot(std::size_t i) const { return slots_[i]; }

    // A fixed budget instead of StepBudgetFor, for the fuzz target and tests that provoke
    // runaway patterns.
    void SetStepBudget(std::uint64_t steps) { fixedBudget_ = steps; }

private:
    // RestoreGroup: pc = group, pos and aux = its former bounds.
    enum class FrameKind : std::uint32_t {
        Alternative,
        RestoreSlot,
        RestoreGroup,
        GiveBack,
        TakeMore
    };
    struct Frame {
        std::uint32_t pc;
        FrameKind kind;
        std::size_t pos;
        std::size_t aux;
    };

    bool RequiredLiteralFrom(std::size_t pos);
    std::size_t FindRequired(std::size_t from) const;
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
    std::uint64_t budget_ = 0;
    std::optional<std::uint64_t> fixedBudget_;
    // The last look for the program's required literal in this text: from where, and where it
    // was found (npos: nowhere from there on).
    std::size_t requiredFrom_ = npos;
    std::size_t requiredAt_ = npos;
};

} // namespace quorvia::pattern
