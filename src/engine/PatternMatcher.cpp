// The backtracking machine. Candidate start positions come from memmem on the literal prefix,
// from memchr or a table scan over the first-byte set, or from every position when a match
// can begin with anything; each candidate runs the program until Match or an empty stack.
// No candidate is tried once the rest of the text lacks the program's required literal.

#include "engine/PatternMatcher.h"

#include <cstring>

#include "platform/Text.h"

namespace quorvia::pattern {

namespace {

bool IsWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

unsigned char Lower(unsigned char c) {
    return static_cast<unsigned char>(LowerAscii(char(c)));
}

} // namespace

void PatternMatcher::ThrowBudgetSpent() {
    throw PatternError("Pattern error: the search needs too many steps on this text (the "
                       "pattern backtracks without end)");
}

PatternMatcher::PatternMatcher(const Program& program)
    : prog_(program), slots_(program.SlotCount(), npos) {}

void PatternMatcher::SetText(std::string_view text) {
    text_ = reinterpret_cast<const unsigned char*>(text.data());
    size_ = text.size();
    requiredFrom_ = npos;
    requiredAt_ = npos;
}

void PatternMatcher::Spend(std::uint64_t steps) {
    steps_ += steps;
    if (steps_ > budget_)
        ThrowBudgetSpent();
}

// Whether the required literal occurs at `pos` or later. Searches move forward through one
// text, so the last place it was found answers most questions without a new look.
bool PatternMatcher::RequiredLiteralFrom(std::size_t pos) {
    if (prog_.required.empty())
        return true;
    if (requiredFrom_ != npos && pos >= requiredFrom_) {
        if (requiredAt_ == npos)
            return false;
        if (requiredAt_ >= pos)
            return true;
    }
    requiredFrom_ = pos;
    requiredAt_ = FindRequired(pos);
    return requiredAt_ != npos;
}

std::size_t PatternMatcher::FindRequired(std::size_t from) const {
    const std::string& lit = prog_.required;
    if (size_ - from < lit.size())
        return npos;
    if (!prog_.requiredFold) {
        const void* hit = memmem(text_ + from, size_ - from, lit.data(), lit.size());
        return hit ? std::size_t(static_cast<const unsigned char*>(hit) - text_) : npos;
    }
    const auto first = static_cast<unsigned char>(lit[0]);
    for (std::size_t p = from; p + lit.size() <= size_; ++p) {
        if (Lower(text_[p]) != first)
            continue;
        std::size_t i = 1;
        while (i < lit.size() && Lower(text_[p + i]) == static_cast<unsigned char>(lit[i]))
            ++i;
        if (i == lit.size())
            return p;
    }
    return npos;
}

bool PatternMatcher::Search(std::size_t from) {
    steps_ = 0;
    budget_ = fixedBudget_.value_or(StepBudgetFor(size_));
    std::fill(slots_.begin(), slots_.end(), npos);
    if (from > size_ || !RequiredLiteralFrom(from))
        return false;
    if (prog_.anchored)
        return from == 0 && Attempt(0);

    const std::string& prefix = prog_.prefix;
    if (!prefix.empty()) {
        for (std::size_t p = from; p + prefix.size() <= size_; ++p) {
            const void* hit = memmem(text_ + p, size_ - p, prefix.data(), prefix.size());
            if (!hit)
                return false;
            p = std::size_t(static_cast<const unsigned char*>(hit) - text_);
            if (!RequiredLiteralFrom(p))
                return false;
            if (Attempt(p))
                return true;
        }
        return false;
    }
    if (prog_.firstBytesKnown) {
        const ByteSet& first = prog_.firstBytes;
        for (std::size_t p = from; p < size_; ++p) {
            if (!first[text_[p]])
                continue;
            if (!RequiredLiteralFrom(p))
                return false;
            if (Attempt(p))
                return true;
        }
        Spend(1 + (size_ - from) / 8);
        return false;
    }
    for (std::size_t p = from; p <= size_; ++p) {
        if (!RequiredLiteralFrom(p))
            return false;
        if (Attempt(p))
            return true;
    }
    return false;
}

bool PatternMatcher::Attempt(std::size_t start) {
    stack_.clear();
    std::uint32_t pc = 0;
    std::size_t pos = start;
    const Instruction* code = prog_.code.data();
    for (;;) {
        if (++steps_ > budget_)
            ThrowBudgetSpent();
        const Instruction& in = code[pc];
        bool ok = false;
        switch (in.op) {
        case Op::Byte:
            ok = pos < size_ && text_[pos] == in.a;
            pos += ok;
            break;
        case Op::ByteFold:
            ok = pos < size_ && Lower(text_[pos]) == in.a;
            pos += ok;
            break;
        case Op::String:
            ok = size_ - pos >= in.b && std::memcmp(text_ + pos, &prog_.literals[in.a], in.b) == 0;
            if (ok)
                pos += in.b;
            break;
        case Op::StringFold:
            ok = size_ - pos >= in.b;
            for (std::uint32_t i = 0; ok && i < in.b; ++i)
                ok = Lower(text_[pos + i]) == static_cast<unsigned char>(prog_.literals[in.a + i]);
            if (ok)
                pos += in.b;
            break;
        case Op::Set:
            ok = pos < size_ && prog_.sets[in.a][text_[pos]];
            pos += ok;
            break;
        case Op::Repeat:
            ok = EnterRepeat(pc, pos);
            break;
        case Op::Split:
            Push(in.b, FrameKind::Alternative, pos, 0);
            pc = in.a;
            continue;
        case Op::Jump:
            pc = in.a;
            continue;
        case Op::Save:
            Push(in.a, FrameKind::RestoreSlot, slots_[in.a], 0);
            slots_[in.a] = pos;
            ok = true;
            break;
        case Op::CloseGroup: {
            std::size_t* bounds = &slots_[2 * std::size_t(in.a)];
            Push(in.a, FrameKind::RestoreGroup, bounds[0], bounds[1]);
            bounds[0] = slots_[prog_.OpenSlot(int(in.a))];
            bounds[1] = pos;
            ok = true;
            break;
        }
        case Op::Assert:
            ok = TestAssert(AssertKind(in.a), pos);
            break;
        case Op::BackRef:
        case Op::BackRefFold:
            ok = MatchBackRef(in.a, in.op == Op::BackRefFold, pos);
            break;
        case Op::Match:
            return true;
        }
        if (ok) {
            ++pc;
            continue;
        }
        if (!Backtrack(pc, pos))
            return false;
    }
}

// Pops frames until one gives a way to go on; false when none is left.
bool PatternMatcher::Backtrack(std::uint32_t& pc, std::size_t& pos) {
    while (!stack_.empty()) {
        const Frame f = stack_.back();
        stack_.pop_back();
        switch (f.kind) {
        case FrameKind::RestoreSlot:
            slots_[f.pc] = f.pos;
            break;
        case FrameKind::RestoreGroup:
            slots_[2 * std::size_t(f.pc)] = f.pos;
            slots_[2 * std::size_t(f.pc) + 1] = f.aux;
            break;
        case FrameKind::Alternative:
            pc = f.pc;
            pos = f.pos;
            return true;
        case FrameKind::GiveBack: {
            // f.pos: where the last try went on; f.aux: the shortest allowed end.
            const RepeatStep& r = prog_.repeats[prog_.code[f.pc].a];
            const ByteSet* follow = r.follow >= 0 ? &prog_.sets[r.follow] : nullptr;
            std::size_t p = f.pos;
            while (p > f.aux) {
                --p;
                if (!follow || (*follow)[text_[p]]) {
                    Spend(1 + (f.pos - p) / 8);
                    if (p > f.aux)
                        Push(f.pc, FrameKind::GiveBack, p, f.aux);
                    pc = f.pc + 1;
                    pos = p;
                    return true;
                }
            }
            Spend(1 + (f.pos - p) / 8);
            break;
        }
        case FrameKind::TakeMore: {
            // f.pos: where the last try went on; f.aux: where the repetition began.
            std::size_t p = f.pos + 1; // that byte is in the set: ContinueLazy checked it
            if (ContinueLazy(f.pc, p, f.aux)) {
                pc = f.pc + 1;
                pos = p;
                return true;
            }
            break;
        }
        }
    }
    return false;
}

bool PatternMatcher::EnterRepeat(std::uint32_t pc, std::size_t& pos) {
    const RepeatStep& r = prog_.repeats[prog_.code[pc].a];
    const ByteSet& set = prog_.sets[r.set];
    const std::size_t available = size_ - pos;
    const std::size_t limit =
        r.max == kUnbounded ? available : std::min<std::size_t>(available, r.max);
    if (!r.greedy) {
        if (limit < r.min)
            return false;
        for (std::size_t i = 0; i < r.min; ++i)
            if (!set[text_[pos + i]])
                return false;
        Spend(1 + r.min / 8);
        const std::size_t base = pos;
        pos += r.min;
        return ContinueLazy(pc, pos, base);
    }
    std::size_t k = 0;
    if (r.stopByte >= 0) {
        const void* hit = std::memchr(text_ + pos, r.stopByte, limit);
        k = hit ? std::size_t(static_cast<const unsigned char*>(hit) - (text_ + pos)) : limit;
    } else {
        while (k < limit && set[text_[pos + k]])
            ++k;
    }
    Spend(1 + k / 8);
    if (k < r.min)
        return false;
    if (!r.possessive && k > r.min)
        Push(pc, FrameKind::GiveBack, pos + k, pos + r.min);
    pos += k;
    return true;
}

// A lazy repetition at `pos` (begun at `base`) goes on with what follows at the first position
// whose byte fits the follow set, taking bytes of its own set until then.
bool PatternMatcher::ContinueLazy(std::uint32_t pc, std::size_t& pos, std::size_t base) {
    const RepeatStep& r = prog_.repeats[prog_.code[pc].a];
    const ByteSet& set = prog_.sets[r.set];
    const ByteSet* follow = r.follow >= 0 ? &prog_.sets[r.follow] : nullptr;
    const std::size_t start = pos;
    for (;;) {
        const bool more = pos < size_ && pos - base < r.max && set[text_[pos]];
        if (!follow || (pos < size_ && (*follow)[text_[pos]])) {
            Spend(1 + (pos - start) / 8);
            if (more)
                Push(pc, FrameKind::TakeMore, pos, base);
            return true;
        }
        if (!more) {
            Spend(1 + (pos - start) / 8);
            return false;
        }
        ++pos;
    }
}

bool PatternMatcher::TestAssert(AssertKind kind, std::size_t pos) const {
    switch (kind) {
    case AssertKind::TextStart:
        return pos == 0;
    case AssertKind::TextEnd:
        return pos == size_;
    case AssertKind::LineStart: // just after LF, or after a CR that no LF follows
        return pos == 0 || text_[pos - 1] == '\n' ||
               (text_[pos - 1] == '\r' && (pos == size_ || text_[pos] != '\n'));
    case AssertKind::LineEnd: // just before CR, or before an LF that no CR precedes
        return pos == size_ || text_[pos] == '\r' ||
               (text_[pos] == '\n' && (pos == 0 || text_[pos - 1] != '\r'));
    case AssertKind::WordBoundary:
    case AssertKind::NotWordBoundary: {
        const bool before = pos > 0 && IsWordByte(text_[pos - 1]);
        const bool after = pos < size_ && IsWordByte(text_[pos]);
        return (before != after) == (kind == AssertKind::WordBoundary);
    }
    }
    return false;
}

bool PatternMatcher::MatchBackRef(std::uint32_t group, bool fold, std::size_t& pos) const {
    const std::size_t from = slots_[2 * group];
    const std::size_t to = slots_[2 * group + 1];
    if (from == npos) // the group has taken no part (yet)
        return false;
    const std::size_t len = to - from;
    if (size_ - pos < len)
        return false;
    for (std::size_t i = 0; i < len; ++i) {
        const unsigned char a = text_[from + i], b = text_[pos + i];
        if (a != b && !(fold && Lower(a) == Lower(b)))
            return false;
    }
    pos += len;
    return true;
}

} // namespace quorvia::pattern
