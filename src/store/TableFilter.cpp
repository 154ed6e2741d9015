// Hand-written scanner for the small filter language; it never reads past the text.
#include "store/TableFilter.h"

#include "platform/Text.h"
#include "store/Table.h"

namespace quorvia {

namespace {

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::vector<FilterTerm> Terms() {
        std::vector<FilterTerm> terms;
        SkipBlanks();
        if (AtEnd())
            return terms;
        for (;;) {
            FilterTerm term;
            term.field = Name("a field name");
            SkipBlanks();
            Expect('=');
            SkipBlanks();
            term.value = QuotedValue();
            terms.push_back(std::move(term));
            SkipBlanks();
            if (AtEnd())
                return terms;
            if (!EqualsIgnoreAsciiCase(Name("\"and\""), "and"))
                Fail("\"and\" expected", pos_);
            SkipBlanks();
        }
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipBlanks() {
        while (!AtEnd() && IsBlank(text_[pos_]))
            ++pos_;
    }
    [[noreturn]] void Fail(const std::string& what, std::size_t at) const {
        throw TableError("Invalid filter expression \"" + std::string(text_) + "\": " + what +
                         " at position " + std::to_string(at + 1));
    }
    std::string Name(const char* what) {
        const std::size_t start = pos_;
        while (!AtEnd() && IsNameChar(text_[pos_]))
            ++pos_;
        if (pos_ == start)
            Fail(std::string(what) + " expected", start);
        return std::string(text_.substr(start, pos_ - start));
    }
    void Expect(char c) {
        if (AtEnd() || text_[pos_] != c)
            Fail(std::string("'") + c + "' expected", pos_);
        ++pos_;
    }
    std::string QuotedValue() {
        const std::size_t start = pos_;
        Expect('\'');
        std::string value;
        for (;;) {
            if (AtEnd())
                Fail("unterminated value", start);
            const char c = text_[pos_++];
            if (c != '\'') {
                value += c;
            } else if (!AtEnd() && text_[pos_] == '\'') {
                value += '\'';
                ++pos_;
            } else {
                return value;
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<FilterTerm> ParseFilter(std::string_view expression) {
    return Parser(expression).Terms();
}

std::string QuoteFilterValue(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out;
}

std::string PairFilter(std::string_view engineName, std::string_view keyword) {
    return "SEName='" + QuoteFilterValue(engineName) + "' and keyword='" +
           QuoteFilterValue(keyword) + "'";
}

} // namespace quorvia
