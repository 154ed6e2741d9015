// Emits the backtracking program for a syntax tree. Repetitions of a single-byte item become
// one Repeat step (no instruction per byte); other counted repetitions are unrolled, which the
// size limit keeps in bounds. Afterwards a pass works out first-byte and follow sets, and a
// walk over the tree finds a literal that every match must contain.

#include "engine/PatternProgram.h"

#include "platform/Text.h"

#include <optional>

namespace quorvia::pattern {

namespace {

constexpr std::size_t kMaxInstructions = 200000;

// A run of bytes a match must contain; folded runs are kept in lower case.
struct Literal {
    std::string bytes;
    bool fold = false;

    void Append(const Literal& more) {
        if (more.fold && !fold)
            bytes = LowerAscii(bytes);
        fold = fold || more.fold;
        bytes += fold ? LowerAscii(more.bytes) : more.bytes;
    }
};

// What a node tells about the literals of its matches.
struct LiteralFacts {
    std::optional<Literal> exact;   // the node matches these bytes and nothing else
    std::optional<Literal> leading; // every match of the node begins with these bytes
    std::optional<Literal> inside;  // every match contains these bytes after its beginning
};

// Keeps the longer literal; on a tie the later one, which tends to be the rarer in a page
// (a next-page pattern ends in its link text, and many anchors share its beginning).
void Offer(std::optional<Literal>& best, const std::optional<Literal>& candidate) {
    if (candidate && !candidate->bytes.empty() &&
        (!best || candidate->bytes.size() >= best->bytes.size()))
        best = candidate;
}

class RequiredLiteralFinder {
public:
    explicit RequiredLiteralFinder(const SyntaxTree& tree) : tree_(tree) {}

    // The literal every match contains beyond its leading bytes (the search finds those by
    // other means), or nothing.
    std::optional<Literal> Find() const { return FactsOf(tree_.root).inside; }

private:
    static constexpr std::size_t kMaxExact = 256;

    LiteralFacts FactsOf(int index) const {
        const Node& n = tree_.nodes[index];
        switch (n.kind) {
        case NodeKind::Empty:
        case NodeKind::Assert:
            return {Literal{}, {}, {}};
        case NodeKind::Literal:
            return {Literal{std::string(1, char(n.byte)), n.fold}, {}, {}};
        case NodeKind::Set:
            return {SingleByte(tree_.sets[n.setIndex]), {}, {}};
        case NodeKind::Concat:
            return FactsOfConcat(n);
        case NodeKind::Alternate:
            return FactsOfAlternate(n);
        case NodeKind::Repeat:
            return FactsOfRepeat(n);
        case NodeKind::Group:
            return FactsOf(n.children[0]);
        case NodeKind::BackRef:
            return {};
        }
        return {};
    }

    // A set of one byte, or of one letter in both cases, is a literal.
    static std::optional<Literal> SingleByte(const ByteSet& set) {
        std::string members;
        for (int b = 0; b < 256 && members.size() <= 2; ++b)
            if (set[b])
                members += char(b);
        if (members.size() == 1)
            return Literal{members, false};
        if (members.size() == 2 && members[0] >= 'A' && members[0] <= 'Z' &&
            members[1] == LowerAscii(members[0]))
            return Literal{members.substr(1), true};
        return std::nullopt;
    }

    LiteralFacts FactsOfConcat(const Node& n) const {
        LiteralFacts out;
        Literal run;              // exact children next to each other
        bool atMatchStart = true; // every child so far was exact
        for (int child : n.children) {
            const LiteralFacts f = FactsOf(child);
            if (f.exact) {
                run.Append(*f.exact);
                continue;
            }
            if (f.leading)
                run.Append(*f.leading);
            if (atMatchStart && !run.bytes.empty())
                out.leading = run;
            else
                Offer(out.inside, run);
            Offer(out.inside, f.inside);
            atMatchStart = false;
            run = {};
        }
        if (atMatchStart)
            out.exact = run;
        else
            Offer(out.inside, run);
        return out;
    }

    LiteralFacts FactsOfAlternate(const Node& n) const {
        std::optional<Literal> same;
        for (int child : n.children) {
            const LiteralFacts f = FactsOf(child);
            if (!f.exact ||
                (same && (f.exact->bytes != same->bytes || f.exact->fold != same->fold)))
                return {};
            same = f.exact;
        }
        return {same, {}, {}};
    }

    LiteralFacts FactsOfRepeat(const Node& n) const {
        if (n.min == 0)
            return {};
        const LiteralFacts body = FactsOf(n.children[0]);
        if (body.exact && n.min == n.max && body.exact->bytes.size() * n.min <= kMaxExact) {
            Literal all{"", body.exact->fold};
            for (std::uint32_t i = 0; i < n.min; ++i)
                all.Append(*body.exact);
            return {all, {}, {}};
        }
        return {{}, body.exact ? body.exact : body.leading, body.inside};
    }

    const SyntaxTree& tree_;
};

class Compiler {
public:
    explicit Compiler(const SyntaxTree& tree) : tree_(tree) {
        prog_.sets = tree.sets;
        prog_.groupCount = tree.groupCount;
    }

    Program Compile() {
        Emit({Op::Save, 0});
        EmitNode(tree_.root);
        Emit({Op::Save, 1});
        Emit({Op::Match});
        WorkOutFollowSets();
        WorkOutSearchHelpers();
        return std::move(prog_);
    }

private:
    std::uint32_t Here() const { return std::uint32_t(prog_.code.size()); }

    std::uint32_t Emit(Instruction in) {
        if (prog_.code.size() >= kMaxInstructions)
            throw PatternError("Pattern error: the pattern is too large once its counted "
                               "repetitions are written out");
        prog_.code.push_back(in);
        return Here() - 1;
    }

    int SetOf(const Node& n) {
        if (n.kind == NodeKind::Set)
            return n.setIndex;
        ByteSet s{};
        s[n.byte] = true;
        if (n.fold)
            s[static_cast<unsigned char>(UpperAscii(char(n.byte)))] = true;
        prog_.sets.push_back(s);
        return int(prog_.sets.size() - 1);
    }

    void EmitNode(int index) {
        const Node& n = tree_.nodes[index];
        switch (n.kind) {
        case NodeKind::Empty:
            break;
        case NodeKind::Literal:
            Emit({n.fold ? Op::ByteFold : Op::Byte, n.byte});
            break;
        case NodeKind::Set:
            Emit({Op::Set, std::uint32_t(n.setIndex)});
            break;
        case NodeKind::Concat:
            EmitConcat(n);
            break;
        case NodeKind::Alternate:
            EmitAlternate(n);
            break;
        case NodeKind::Repeat:
            EmitRepeat(n);
            break;
        case NodeKind::Group:
            Emit({Op::Save, std::uint32_t(prog_.OpenSlot(n.number))});
            EmitNode(n.children[0]);
            Emit({Op::CloseGroup, std::uint32_t(n.number)});
            break;
        case NodeKind::BackRef:
            Emit({n.fold ? Op::BackRefFold : Op::BackRef, std::uint32_t(n.number)});
            break;
        case NodeKind::Assert:
            Emit({Op::Assert, std::uint32_t(n.assertKind)});
            break;
        }
    }

    // Runs of literals with the same folding become one String step.
    void EmitConcat(const Node& n) {
        for (std::size_t i = 0; i < n.children.size();) {
            const Node& c = tree_.nodes[n.children[i]];
            std::size_t j = i;
            std::string run;
            while (j < n.children.size() && tree_.nodes[n.children[j]].kind == NodeKind::Literal &&
                   tree_.nodes[n.children[j]].fold == (c.kind == NodeKind::Literal && c.fold)) {
                run += char(tree_.nodes[n.children[j]].byte);
                ++j;
            }
            if (run.size() >= 2) {
                Emit({c.fold ? Op::StringFold : Op::String, std::uint32_t(prog_.literals.size()),
                      std::uint32_t(run.size())});
                prog_.literals += run;
                i = j;
            } else {
                EmitNode(n.children[i]);
                ++i;
            }
        }
    }

    void EmitAlternate(const Node& n) {
        std::vector<std::uint32_t> exits;
        for (std::size_t i = 0; i < n.children.size(); ++i) {
            if (i + 1 < n.children.size()) {
                const std::uint32_t split = Emit({Op::Split, Here() + 1, 0});
                EmitNode(n.children[i]);
                exits.push_back(Emit({Op::Jump}));
                prog_.code[split].b = Here();
            } else {
                EmitNode(n.children[i]);
            }
        }
        for (std::uint32_t e : exits)
            prog_.code[e].a = Here();
    }

    void EmitRepeat(const Node& n) {
        const Node& body = tree_.nodes[n.children[0]];
        if (body.kind == NodeKind::Literal || body.kind == NodeKind::Set) {
            RepeatStep step;
            step.set = SetOf(body);
            step.min = n.min;
            step.max = n.max;
            step.greedy = n.greedy;
            prog_.repeats.push_back(step);
            Emit({Op::Repeat, std::uint32_t(prog_.repeats.size() - 1)});
            return;
        }
        for (std::uint32_t i = 0; i < n.min; ++i)
            EmitNode(n.children[0]);
        if (n.max == kUnbounded) {
            // The body cannot match the empty text (the parser refuses that), so the loop
            // always advances.
            const std::uint32_t loop = Emit({Op::Split});
            EmitNode(n.children[0]);
            Emit({Op::Jump, loop});
            SetSplit(loop, loop + 1, Here(), n.greedy);
            return;
        }
        std::vector<std::uint32_t> splits;
        for (std::uint32_t i = n.min; i < n.max; ++i) {
            splits.push_back(Emit({Op::Split}));
            EmitNode(n.children[0]);
        }
        for (std::uint32_t s : splits)
            SetSplit(s, s + 1, Here(), n.greedy);
    }

    void SetSplit(std::uint32_t at, std::uint32_t body, std::uint32_t out, bool greedy) {
        prog_.code[at].a = greedy ? body : out;
        prog_.code[at].b = greedy ? out : body;
    }

    // The bytes that can come first from instruction pc on. False when the end of the match
    // can be reached without a byte (or a back-reference makes it unknowable).
    // Each walk looks at no more than kWalkLimit instructions and gives up (false) past it,
    // so working out the sets stays linear in the size of the program.
    struct Walk {
        std::vector<std::uint32_t> seen; // stamp per instruction
        std::uint32_t stamp = 0;
        std::size_t visits = 0;
    };
    static constexpr std::size_t kWalkLimit = 512;

    bool FirstBytesFrom(std::uint32_t pc, ByteSet& out, Walk& walk) const {
        ++walk.stamp;
        walk.visits = 0;
        return FirstBytes(pc, out, walk);
    }

    bool FirstBytes(std::uint32_t pc, ByteSet& out, Walk& walk) const {
        while (true) {
            if (walk.seen[pc] == walk.stamp)
                return true;
            if (++walk.visits > kWalkLimit)
                return false;
            walk.seen[pc] = walk.stamp;
            const Instruction& in = prog_.code[pc];
            switch (in.op) {
            case Op::Byte:
                out[in.a] = true;
                return true;
            case Op::ByteFold:
                out[in.a] = true;
                out[static_cast<unsigned char>(UpperAscii(char(in.a)))] = true;
                return true;
            case Op::String:
            case Op::StringFold: {
                const auto c = static_cast<unsigned char>(prog_.literals[in.a]);
                out[c] = true;
                if (in.op == Op::StringFold)
                    out[static_cast<unsigned char>(UpperAscii(char(c)))] = true;
                return true;
            }
            case Op::Set:
                Merge(out, prog_.sets[in.a]);
                return true;
            case Op::Repeat: {
                const RepeatStep& r = prog_.repeats[in.a];
                Merge(out, prog_.sets[r.set]);
                if (r.min > 0)
                    return true;
                ++pc;
                break;
            }
            case Op::Split:
                if (!FirstBytes(in.a, out, walk))
                    return false;
                pc = in.b;
                break;
            case Op::Jump:
                pc = in.a;
                break;
            case Op::Save:
            case Op::CloseGroup:
            case Op::Assert: // zero width: what follows still has to match a byte here
                ++pc;
                break;
            case Op::BackRef:
            case Op::BackRefFold:
            case Op::Match:
                return false;
            }
        }
    }

    static void Merge(ByteSet& into, const ByteSet& from) {
        for (int b = 0; b < 256; ++b)
            into[b] = into[b] || from[b];
    }

    void WorkOutFollowSets() {
        Walk walk;
        walk.seen.assign(prog_.code.size(), 0);
        for (std::uint32_t pc = 0; pc < prog_.code.size(); ++pc) {
            if (prog_.code[pc].op != Op::Repeat)
                continue;
            RepeatStep& r = prog_.repeats[prog_.code[pc].a];
            ByteSet follow{};
            if (FirstBytesFrom(pc + 1, follow, walk)) {
                prog_.sets.push_back(follow);
                r.follow = int(prog_.sets.size() - 1);
                bool overlap = false;
                for (int b = 0; b < 256; ++b)
                    overlap = overlap || (follow[b] && prog_.sets[r.set][b]);
                r.possessive = !overlap;
            }
            int outside = 0;
            for (int b = 0; b < 256; ++b)
                if (!prog_.sets[r.set][b]) {
                    ++outside;
                    r.stopByte = b;
                }
            if (outside != 1)
                r.stopByte = -1;
        }
    }

    void WorkOutSearchHelpers() {
        std::uint32_t pc = 0;
        while (prog_.code[pc].op == Op::Save)
            ++pc;
        const Instruction& first = prog_.code[pc];
        prog_.anchored = first.op == Op::Assert && AssertKind(first.a) == AssertKind::TextStart;
        for (; pc < prog_.code.size(); ++pc) {
            const Instruction& in = prog_.code[pc];
            if (in.op == Op::Byte)
                prog_.prefix += char(in.a);
            else if (in.op == Op::String)
                prog_.prefix.append(prog_.literals, in.a, in.b);
            else if (in.op != Op::Save && in.op != Op::CloseGroup)
                break;
        }
        Walk walk;
        walk.seen.assign(prog_.code.size(), 0);
        prog_.firstBytesKnown = FirstBytesFrom(0, prog_.firstBytes, walk);
        if (const auto required = RequiredLiteralFinder(tree_).Find()) {
            prog_.required = required->bytes;
            prog_.requiredFold = required->fold;
        }
    }

    const SyntaxTree& tree_;
    Program prog_;
};

} // namespace

Program CompileTree(const SyntaxTree& tree) {
    return Compiler(tree).Compile();
}

} // namespace quorvia::pattern
