// Facade over the three matcher stages: compiles on first use, keeps the text being stepped
// through and answers for the last match.

#include "engine/TRegExpr.h"

#include <cstring>

namespace quorvia {

void TRegExpr::SetExpression(std::string expression) {
    expression_ = std::move(expression);
    matcher_.reset();
    program_.reset();
    matched_ = false;
}

void TRegExpr::SetStepBudget(std::uint64_t steps) {
    stepBudget_ = steps;
    if (matcher_)
        matcher_->SetStepBudget(steps);
}

void TRegExpr::Compile() {
    if (program_)
        return;
    auto program = std::make_unique<pattern::Program>(
        pattern::CompileTree(pattern::ParsePattern(expression_)));
    matcher_ = std::make_unique<pattern::PatternMatcher>(*program);
    matcher_->SetStepBudget(stepBudget_);
    program_ = std::move(program);
}

int TRegExpr::GroupCount() {
    Compile();
    return program_->groupCount;
}

bool TRegExpr::FindFirst(std::string_view text) {
    Compile();
    // The text ends at its first NUL.
    if (const void* nul = std::memchr(text.data(), 0, text.size()))
        text = text.substr(0, std::size_t(static_cast<const char*>(nul) - text.data()));
    text_ = text;
    return Run(0);
}

bool TRegExpr::FindNext() {
    if (!matched_)
        return false;
    const std::size_t end = matcher_->Slot(1);
    return Run(end == matcher_->Slot(0) ? end + 1 : end);
}

bool TRegExpr::FindFrom(std::size_t from) {
    if (!matcher_ || from > text_.size())
        return matched_ = false;
    return Run(from);
}

bool TRegExpr::Run(std::size_t from) {
    matched_ = false;
    matched_ = matcher_->Search(text_, from);
    return matched_;
}

std::size_t TRegExpr::MatchPos(int n) const {
    if (!matched_ || n < 0 || n > program_->groupCount)
        return npos;
    const std::size_t from = matcher_->Slot(2 * std::size_t(n));
    const std::size_t to = matcher_->Slot(2 * std::size_t(n) + 1);
    return from == npos || to == npos || to < from ? npos : from;
}

std::size_t TRegExpr::MatchLen(int n) const {
    const std::size_t from = MatchPos(n);
    return from == npos ? 0 : matcher_->Slot(2 * std::size_t(n) + 1) - from;
}

std::string TRegExpr::Match(int n) const {
    const std::size_t from = MatchPos(n);
    return from == npos ? std::string() : std::string(text_.substr(from, MatchLen(n)));
}

} // namespace quorvia
