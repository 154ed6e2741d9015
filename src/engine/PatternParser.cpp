// Recursive-descent parser for the pattern dialect. It keeps the current modifiers while it
// reads, saving them at each "(" and restoring them at its ")", which gives modifier switches
// their scope: from the switch to the end of the enclosing group.

#include "engine/PatternParser.h"

#include "platform/Text.h"

#include <algorithm>
#include <map>

namespace quorvia::pattern {

namespace {

constexpr std::uint32_t kMaxCount = 100000;

struct Modifiers {
    bool ignoreCase = false; // i
    bool dotAll = true;      // s
    bool greedy = true;      // g
    bool multiLine = false;  // m
    bool extended = false;   // x
    // r widens Cyrillic ranges of code page 1251; text here is UTF-8, so the letter is
    // accepted and has no effect.
};

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

ByteSet DigitSet() {
    ByteSet s{};
    for (int c = '0'; c <= '9'; ++c)
        s[c] = true;
    return s;
}

ByteSet WordSet() {
    ByteSet s = DigitSet();
    for (int c = 'a'; c <= 'z'; ++c)
        s[c] = s[c - 'a' + 'A'] = true;
    s['_'] = true;
    return s;
}

ByteSet SpaceSet() {
    ByteSet s{};
    for (unsigned char c : {' ', '\t', '\n', '\r', '\f'})
        s[c] = true;
    return s;
}

ByteSet Complement(ByteSet s) {
    for (bool& b : s)
        b = !b;
    return s;
}

void AddBothCases(ByteSet& s) {
    for (int c = 'a'; c <= 'z'; ++c) {
        const bool either = s[c] || s[c - 'a' + 'A'];
        s[c] = s[c - 'a' + 'A'] = either;
    }
}

class Parser {
public:
    explicit Parser(std::string_view pattern) : p_(pattern) {}

    SyntaxTree Parse() {
        if (p_.empty())
            Fail("empty pattern", 0);
        tree_.root = ParseAlternation();
        if (pos_ < p_.size()) // only a stray ")" stops the top level early
            Fail("unbalanced parenthesis", pos_);
        for (int ref : backRefs_)
            if (ref > tree_.groupCount)
                Fail("back-reference to a group that does not exist", 0);
        return std::move(tree_);
    }

private:
    [[noreturn]] void Fail(const std::string& what, std::size_t at) const {
        throw PatternError("Pattern error: " + what + " at position " + std::to_string(at + 1) +
                           " in \"" + std::string(p_) + "\"");
    }

    bool AtEnd() const { return pos_ >= p_.size(); }
    unsigned char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < p_.size() ? static_cast<unsigned char>(p_[pos_ + ahead]) : 0;
    }

    int Add(Node node) {
        tree_.nodes.push_back(std::move(node));
        return int(tree_.nodes.size() - 1);
    }
    int AddSet(const ByteSet& set) {
        tree_.sets.push_back(set);
        Node n;
        n.kind = NodeKind::Set;
        n.setIndex = int(tree_.sets.size() - 1);
        return Add(std::move(n));
    }
    int AddLiteral(unsigned char c) {
        Node n;
        n.kind = NodeKind::Literal;
        n.byte = mods_.ignoreCase ? static_cast<unsigned char>(LowerAscii(char(c))) : c;
        n.fold = mods_.ignoreCase;
        return Add(std::move(n));
    }
    int AddAssert(AssertKind kind) {
        Node n;
        n.kind = NodeKind::Assert;
        n.assertKind = kind;
        return Add(std::move(n));
    }

    // Under x, blanks, tabs, line breaks and "#" comments between items are ignored.
    void SkipExtendedSpace() {
        while (mods_.extended && !AtEnd()) {
            const unsigned char c = Peek();
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++pos_;
            } else if (c == '#') {
                while (!AtEnd() && Peek() != '\n' && Peek() != '\r')
                    ++pos_;
            } else {
                break;
            }
        }
    }

    int ParseAlternation() {
        std::vector<int> alternatives{ParseSequence()};
        while (!AtEnd() && Peek() == '|') {
            ++pos_;
            alternatives.push_back(ParseSequence());
        }
        if (alternatives.size() == 1)
            return alternatives[0];
        Node n;
        n.kind = NodeKind::Alternate;
        n.children = std::move(alternatives);
        return Add(std::move(n));
    }

    int ParseSequence() {
        Node seq;
        seq.kind = NodeKind::Concat;
        for (;;) {
            SkipExtendedSpace();
            if (AtEnd() || Peek() == '|' || Peek() == ')')
                break;
            int atom = ParseAtom();
            SkipExtendedSpace();
            std::uint32_t min = 0, max = 0;
            const std::size_t repeatAt = pos_;
            if (ReadRepetition(min, max)) {
                if (atom < 0)
                    Fail("nothing to repeat", repeatAt);
                if (Nullable(atom))
                    Fail("repetition of an expression that can match the empty text", repeatAt);
                bool greedy = mods_.greedy;
                if (!AtEnd() && Peek() == '?') {
                    ++pos_;
                    greedy = false;
                }
                SkipExtendedSpace();
                std::uint32_t ignoredMin = 0, ignoredMax = 0;
                const std::size_t secondAt = pos_;
                if (ReadRepetition(ignoredMin, ignoredMax))
                    Fail("repetition after repetition", secondAt);
                Node rep;
                rep.kind = NodeKind::Repeat;
                rep.min = min;
                rep.max = max;
                rep.greedy = greedy;
                rep.children = {atom};
                atom = Add(std::move(rep));
            }
            if (atom >= 0)
                seq.children.push_back(atom);
        }
        if (seq.children.size() == 1)
            return seq.children[0];
        if (seq.children.empty())
            return Add(Node{});
        return Add(std::move(seq));
    }

    // Reads "*", "+", "?" or a "{n}", "{n,}", "{n,m}" form; anything else is left unread.
    bool ReadRepetition(std::uint32_t& min, std::uint32_t& max) {
        if (AtEnd())
            return false;
        switch (Peek()) {
        case '*':
            ++pos_;
            min = 0, max = kUnbounded;
            return true;
        case '+':
            ++pos_;
            min = 1, max = kUnbounded;
            return true;
        case '?':
            ++pos_;
            min = 0, max = 1;
            return true;
        case '{':
            return ReadCounted(min, max);
        default:
            return false;
        }
    }

    bool ReadCounted(std::uint32_t& min, std::uint32_t& max) {
        std::size_t i = pos_ + 1;
        auto readNumber = [&](std::uint32_t& value) {
            const std::size_t from = i;
            std::uint64_t v = 0;
            while (i < p_.size() && p_[i] >= '0' && p_[i] <= '9') {
                v = std::min<std::uint64_t>(v * 10 + std::uint64_t(p_[i] - '0'), kMaxCount + 1);
                ++i;
            }
            value = std::uint32_t(v);
            return i > from;
        };
        std::uint32_t n = 0, m = 0;
        if (!readNumber(n))
            return false;
        if (i < p_.size() && p_[i] == '}') {
            m = n;
        } else if (i < p_.size() && p_[i] == ',') {
            ++i;
            if (i < p_.size() && p_[i] == '}')
                m = kUnbounded;
            else if (!readNumber(m) || i >= p_.size() || p_[i] != '}')
                return false;
        } else {
            return false;
        }
        if (n > kMaxCount || (m != kUnbounded && m > kMaxCount))
            Fail("repetition count too large", pos_);
        if (m < n)
            Fail("repetition bounds out of order", pos_);
        pos_ = i + 1;
        min = n;
        max = m;
        return true;
    }

    bool Nullable(int index) const {
        const Node& n = tree_.nodes[index];
        switch (n.kind) {
        case NodeKind::Empty:
        case NodeKind::Assert:
            return true;
        case NodeKind::Literal:
        case NodeKind::Set:
            return false;
        case NodeKind::Concat:
            for (int c : n.children)
                if (!Nullable(c))
                    return false;
            return true;
        case NodeKind::Alternate:
            for (int c : n.children)
                if (Nullable(c))
                    return true;
            return false;
        case NodeKind::Repeat:
            return n.min == 0 || Nullable(n.children[0]);
        case NodeKind::Group:
            return Nullable(n.children[0]);
        case NodeKind::BackRef: {
            // A group not closed yet may still capture the empty text.
            const auto it = closedGroups_.find(n.number);
            return it == closedGroups_.end() || it->second;
        }
        }
        return true;
    }

    // One item; -1 for an item that matches nothing at all (a comment or a modifier switch).
    int ParseAtom() {
        const std::size_t at = pos_;
        const unsigned char c = Peek();
        ++pos_;
        switch (c) {
        case '(':
            return ParseGroup(at);
        case '[':
            return ParseClass(at);
        case ']':
            Fail("unbalanced bracket", at);
        case '*':
        case '+':
        case '?':
            Fail("nothing to repeat", at);
        case '{': {
            --pos_;
            std::uint32_t min = 0, max = 0;
            if (ReadCounted(min, max))
                Fail("nothing to repeat", at);
            ++pos_;
            return AddLiteral('{');
        }
        case '.':
            return AddSet(mods_.dotAll ? Complement(ByteSet{}) : [] {
                ByteSet s = Complement(ByteSet{});
                s['\n'] = s['\r'] = false;
                return s;
            }());
        case '^':
            return AddAssert(mods_.multiLine ? AssertKind::LineStart : AssertKind::TextStart);
        case '$':
            return AddAssert(mods_.multiLine ? AssertKind::LineEnd : AssertKind::TextEnd);
        case '\\':
            return ParseEscape(at);
        default:
            return AddLiteral(c);
        }
    }

    int ParseEscape(std::size_t at) {
        if (AtEnd())
            Fail("backslash at the end of the pattern", at);
        const unsigned char c = Peek();
        switch (c) {
        case 'd':
            ++pos_;
            return AddSet(DigitSet());
        case 'D':
            ++pos_;
            return AddSet(Complement(DigitSet()));
        case 'w':
            ++pos_;
            return AddSet(WordSet());
        case 'W':
            ++pos_;
            return AddSet(Complement(WordSet()));
        case 's':
            ++pos_;
            return AddSet(SpaceSet());
        case 'S':
            ++pos_;
            return AddSet(Complement(SpaceSet()));
        case 'b':
            ++pos_;
            return AddAssert(AssertKind::WordBoundary);
        case 'B':
            ++pos_;
            return AddAssert(AssertKind::NotWordBoundary);
        case 'A':
            ++pos_;
            return AddAssert(AssertKind::TextStart);
        case 'Z':
            ++pos_;
            return AddAssert(AssertKind::TextEnd);
        default:
            break;
        }
        if (c >= '1' && c <= '9') {
            ++pos_;
            Node n;
            n.kind = NodeKind::BackRef;
            n.number = c - '0';
            n.fold = mods_.ignoreCase;
            backRefs_.push_back(n.number);
            return Add(std::move(n));
        }
        return AddLiteral(ReadCharEscape(at));
    }

    // The escapes that stand for one character, valid in and outside classes. pos_ is on the
    // character after the backslash.
    unsigned char ReadCharEscape(std::size_t at) {
        const unsigned char c = Peek();
        ++pos_;
        switch (c) {
        case 't':
            return '\t';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 'f':
            return '\f';
        case 'a':
            return 7;
        case 'e':
            return 27;
        case 'x':
            return ReadHex(at);
        default:
            return c;
        }
    }

    unsigned char ReadHex(std::size_t at) {
        if (Peek() == '{') {
            ++pos_;
            unsigned value = 0;
            std::size_t digits = 0;
            while (!AtEnd() && HexValue(char(Peek())) >= 0) {
                value = std::min(value * 16 + unsigned(HexValue(char(Peek()))), 0x100u);
                ++pos_;
                ++digits;
            }
            if (digits == 0 || AtEnd() || Peek() != '}')
                Fail("malformed hexadecimal escape", at);
            if (value > 0xFF)
                Fail("character code above FF", at);
            ++pos_;
            return static_cast<unsigned char>(value);
        }
        const int high = HexValue(char(Peek()));
        const int low = HexValue(char(Peek(1)));
        if (pos_ + 1 >= p_.size() || high < 0 || low < 0)
            Fail("malformed hexadecimal escape", at);
        pos_ += 2;
        return static_cast<unsigned char>(high * 16 + low);
    }

    int ParseGroup(std::size_t at) {
        if (Peek() == '?') {
            ++pos_;
            if (Peek() == '#') {
                while (!AtEnd() && Peek() != ')')
                    ++pos_;
                if (AtEnd())
                    Fail("unbalanced parenthesis", at);
                ++pos_;
                return -1;
            }
            ParseModifiers(at);
            return -1;
        }
        if (tree_.groupCount == kMaxGroups)
            Fail("more than 49 groups", at);
        const int number = ++tree_.groupCount;
        const Modifiers saved = mods_;
        const int body = ParseAlternation();
        if (AtEnd())
            Fail("unbalanced parenthesis", at);
        ++pos_; // ")"
        mods_ = saved;
        closedGroups_[number] = Nullable(body);
        Node n;
        n.kind = NodeKind::Group;
        n.number = number;
        n.children = {body};
        return Add(std::move(n));
    }

    // "(?" letters ["-" letters] ")": switches modifiers until the end of the enclosing group.
    void ParseModifiers(std::size_t at) {
        bool on = true;
        for (;;) {
            if (AtEnd())
                Fail("unbalanced parenthesis", at);
            const unsigned char c = Peek();
            const std::size_t letterAt = pos_;
            ++pos_;
            if (c == ')')
                return;
            if (c == '-') {
                on = false;
                continue;
            }
            switch (LowerAscii(char(c))) {
            case 'i':
                mods_.ignoreCase = on;
                break;
            case 's':
                mods_.dotAll = on;
                break;
            case 'g':
                mods_.greedy = on;
                break;
            case 'm':
                mods_.multiLine = on;
                break;
            case 'x':
                mods_.extended = on;
                break;
            case 'r':
                break;
            case ':':
                Fail("groups that switch modifiers for their own content are not supported",
                     letterAt);
            default:
                Fail("unknown modifier", letterAt);
            }
        }
    }

    // One class item: a character (plain or escaped), or one of \d \s \w (isSet).
    struct ClassItem {
        unsigned char c = 0;
        bool isSet = false;
        ByteSet set{};
    };

    ClassItem ReadClassItem(std::size_t classAt) {
        if (AtEnd())
            Fail("unbalanced bracket", classAt);
        ClassItem item;
        const std::size_t at = pos_;
        const unsigned char c = Peek();
        ++pos_;
        if (c != '\\') {
            item.c = c;
            return item;
        }
        if (AtEnd())
            Fail("unbalanced bracket", classAt);
        switch (Peek()) {
        case 'd':
            item.set = DigitSet();
            break;
        case 's':
            item.set = SpaceSet();
            break;
        case 'w':
            item.set = WordSet();
            break;
        default:
            item.c = ReadCharEscape(at);
            return item;
        }
        ++pos_;
        item.isSet = true;
        return item;
    }

    int ParseClass(std::size_t at) {
        ByteSet set{};
        bool negate = false;
        if (Peek() == '^' && pos_ < p_.size()) {
            negate = true;
            ++pos_;
        }
        bool first = true;
        for (;;) {
            if (AtEnd())
                Fail("unbalanced bracket", at);
            if (Peek() == ']' && !first) {
                ++pos_;
                break;
            }
            first = false;
            const std::size_t itemAt = pos_;
            const ClassItem lo = ReadClassItem(at);
            if (lo.isSet) {
                for (int b = 0; b < 256; ++b)
                    set[b] = set[b] || lo.set[b];
                continue;
            }
            if (Peek() == '-' && pos_ + 1 < p_.size() && p_[pos_ + 1] != ']') {
                ++pos_;
                const ClassItem hi = ReadClassItem(at);
                if (hi.isSet) { // "a-\d": the dash is a character of its own
                    set[lo.c] = set['-'] = true;
                    for (int b = 0; b < 256; ++b)
                        set[b] = set[b] || hi.set[b];
                    continue;
                }
                if (hi.c < lo.c)
                    Fail("range out of order", itemAt);
                for (int b = lo.c; b <= hi.c; ++b)
                    set[b] = true;
            } else {
                set[lo.c] = true;
            }
        }
        if (mods_.ignoreCase)
            AddBothCases(set);
        return AddSet(negate ? Complement(set) : set);
    }

    std::string_view p_;
    std::size_t pos_ = 0;
    Modifiers mods_;
    SyntaxTree tree_;
    std::vector<int> backRefs_;
    std::map<int, bool> closedGroups_; // group number -> can match the empty text
};

void Dump(const SyntaxTree& tree, int index, std::string& out) {
    const Node& n = tree.nodes[index];
    auto children = [&] {
        out += '(';
        for (std::size_t i = 0; i < n.children.size(); ++i) {
            if (i)
                out += ' ';
            Dump(tree, n.children[i], out);
        }
        out += ')';
    };
    switch (n.kind) {
    case NodeKind::Empty:
        out += "empty";
        break;
    case NodeKind::Literal:
        out += n.fold ? "ilit(" : "lit(";
        out += char(n.byte);
        out += ')';
        break;
    case NodeKind::Set: {
        int count = 0;
        for (bool b : tree.sets[n.setIndex])
            count += b;
        out += "set" + std::to_string(count);
        break;
    }
    case NodeKind::Concat:
        out += "cat";
        children();
        break;
    case NodeKind::Alternate:
        out += "alt";
        children();
        break;
    case NodeKind::Repeat:
        out += "rep{" + std::to_string(n.min) + "," +
               (n.max == kUnbounded ? std::string("inf") : std::to_string(n.max)) +
               (n.greedy ? ",greedy}" : ",lazy}");
        children();
        break;
    case NodeKind::Group:
        out += "grp" + std::to_string(n.number);
        children();
        break;
    case NodeKind::BackRef:
        out += (n.fold ? "iref" : "ref") + std::to_string(n.number);
        break;
    case NodeKind::Assert: {
        static const char* const names[] = {"\\A", "\\Z", "^m", "$m", "\\b", "\\B"};
        out += names[int(n.assertKind)];
        break;
    }
    }
}

} // namespace

SyntaxTree ParsePattern(std::string_view pattern) {
    return Parser(pattern).Parse();
}

std::string DumpTree(const SyntaxTree& tree) {
    std::string out;
    Dump(tree, tree.root, out);
    return out;
}

} // namespace quorvia::pattern
