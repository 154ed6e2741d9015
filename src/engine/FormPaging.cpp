// A small tag reader, enough for the fields of a paging form: it never builds a tree and reads
// only <form> and <input> tags.

#include "engine/FormPaging.h"

#include "platform/Text.h"

#include <cstdint>
#include <map>

namespace quorvia {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool IsNameChar(char c) {
    return !IsBlank(c) && c != '=' && c != '>' && c != '/' && c != '<';
}

struct TTag {
    std::string name;                         // lower case
    std::map<std::string, std::string> attrs; // names lower case, values decoded
};

// Reads the tag that starts at markup[at] == '<'; at moves past its '>'.
TTag ReadTag(std::string_view markup, std::size_t& at) {
    TTag tag;
    ++at;
    while (at < markup.size() && IsNameChar(markup[at]))
        tag.name += LowerAscii(markup[at++]);
    for (;;) {
        while (at < markup.size() && (IsBlank(markup[at]) || markup[at] == '/'))
            ++at;
        if (at >= markup.size() || markup[at] == '>' || markup[at] == '<')
            break;
        std::string name;
        while (at < markup.size() && IsNameChar(markup[at]))
            name += LowerAscii(markup[at++]);
        if (name.empty()) { // a stray "=": skip it
            ++at;
            continue;
        }
        std::size_t look = at;
        while (look < markup.size() && IsBlank(markup[look]))
            ++look;
        std::string value;
        if (look < markup.size() && markup[look] == '=') {
            at = look + 1;
            while (at < markup.size() && IsBlank(markup[at]))
                ++at;
            if (at < markup.size() && (markup[at] == '"' || markup[at] == '\'')) {
                const char quote = markup[at++];
                const std::size_t end = markup.find(quote, at);
                const std::size_t stop = end == std::string_view::npos ? markup.size() : end;
                value = markup.substr(at, stop - at);
                at = stop == markup.size() ? stop : stop + 1;
            } else {
                const std::size_t from = at;
                while (at < markup.size() && !IsBlank(markup[at]) && markup[at] != '>')
                    ++at;
                value = markup.substr(from, at - from);
            }
        }
        tag.attrs.try_emplace(name, DecodeCharacterReferences(value)); // the first one counts
    }
    if (at < markup.size() && markup[at] == '>')
        ++at;
    return tag;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// The numeric reference's code point (text after "&#" up to ";"), or 0 when it is not one.
std::uint32_t NumericReference(std::string_view digits) {
    const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hex)
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 7)
        return 0;
    std::uint32_t code = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && LowerAscii(c) >= 'a' && LowerAscii(c) <= 'f')
            digit = LowerAscii(c) - 'a' + 10;
        if (digit < 0)
            return 0;
        code = code * (hex ? 16 : 10) + std::uint32_t(digit);
    }
    return code <= 0x10FFFF ? code : 0;
}

bool SentField(const TTag& input) {
    const auto type = input.attrs.find("type");
    const std::string kind = type == input.attrs.end() ? "text" : LowerAscii(type->second);
    if (kind == "submit" || kind == "button" || kind == "image" || kind == "reset" ||
        kind == "file")
        return false;
    if ((kind == "checkbox" || kind == "radio") && !input.attrs.contains("checked"))
        return false;
    const auto name = input.attrs.find("name");
    return name != input.attrs.end() && !name->second.empty();
}

} // namespace

std::string DecodeCharacterReferences(std::string_view text) {
    static const std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text[at] == '&' ? text.find(';', at) : std::string_view::npos;
        if (end != std::string_view::npos && end - at <= 10) {
            const std::string_view name = text.substr(at + 1, end - at - 1);
            if (!name.empty() && name[0] == '#') {
                if (const std::uint32_t code = NumericReference(name.substr(1)); code != 0) {
                    AppendUtf8(out, code);
                    at = end + 1;
                    continue;
                }
            }
            bool named = false;
            for (const auto& [entity, c] : kNamed)
                if (EqualsIgnoreAsciiCase(name, entity)) {
                    out += c;
                    named = true;
                }
            if (named) {
                at = end + 1;
                continue;
            }
        }
        out += text[at++];
    }
    return out;
}

std::string FormEncode(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : value) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '*' || c == '-' || c == '.' || c == '_') {
            out += ch;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

TPageRequest FormRequest(std::string_view addressPrefix, std::string_view formMarkup) {
    TPageRequest request;
    std::string action;
    bool formSeen = false;
    for (std::size_t at = formMarkup.find('<'); at != std::string_view::npos;
         at = formMarkup.find('<', at)) {
        const TTag tag = ReadTag(formMarkup, at);
        if (tag.name == "form" && !formSeen) {
            formSeen = true;
            if (const auto a = tag.attrs.find("action"); a != tag.attrs.end())
                action = Trim(a->second);
            if (const auto m = tag.attrs.find("method"); m != tag.attrs.end())
                request.post = EqualsIgnoreAsciiCase(Trim(m->second), "post");
        } else if (tag.name == "input" && SentField(tag)) {
            const auto value = tag.attrs.find("value");
            if (!request.body.empty())
                request.body += '&';
            request.body += FormEncode(tag.attrs.at("name")) + "=" +
                            FormEncode(value == tag.attrs.end() ? "" : value->second);
        }
    }
    const bool absolute = StartsWithIgnoreAsciiCase(action, "http://") ||
                          StartsWithIgnoreAsciiCase(action, "https://");
    request.address = absolute ? action : std::string(addressPrefix) + action;
    if (!request.post) {
        if (!request.body.empty())
            request.address += (action.find('?') == std::string::npos ? "?" : "&") + request.body;
        request.body.clear();
    }
    return request;
}

std::optional<TPageRequest> NextFormRequest(std::string_view addressPrefix,
                                            std::string_view pageText, TRegExpr& formPattern) {
    if (!formPattern.FindFirst(pageText))
        return std::nullopt;
    return FormRequest(addressPrefix,
                       pageText.substr(formPattern.MatchPos(0), formPattern.MatchLen(0)));
}

} // namespace quorvia
