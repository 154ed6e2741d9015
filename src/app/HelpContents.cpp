#include "app/HelpContents.h"

#include "platform/Text.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <utility>

namespace quorvia {

namespace {

// The five entities a contents file uses in its values; any other '&' stays as it is.
std::string DecodeEntities(const std::string& text) {
    static constexpr std::pair<std::string_view, char> entities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#39;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        bool decoded = false;
        for (const auto& [entity, c] : entities)
            if (std::string_view(text).substr(i, entity.size()) == entity) {
                out += c;
                i += entity.size();
                decoded = true;
                break;
            }
        if (!decoded)
            out += text[i++];
    }
    return out;
}

// The value of an attribute of a tag's text, quoted or bare, entities decoded.
std::optional<std::string> Attribute(const std::string& text, std::string_view name) {
    const std::string lower = LowerAscii(text);
    std::size_t at = 0;
    while ((at = lower.find(name, at)) != std::string::npos) {
        const bool startsWord = at == 0 || lower[at - 1] == ' ' || lower[at - 1] == '\t' ||
                                lower[at - 1] == '\n' || lower[at - 1] == '\r';
        std::size_t p = at + name.size();
        while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
            ++p;
        if (!startsWord || p >= text.size() || text[p] != '=') {
            at += name.size();
            continue;
        }
        ++p;
        while (p < text.size() && (text[p] == ' ' || text[p] == '\t'))
            ++p;
        std::string value;
        if (p < text.size() && (text[p] == '"' || text[p] == '\'')) {
            const std::size_t end = text.find(text[p], p + 1);
            value = text.substr(p + 1, end == std::string::npos ? std::string::npos : end - p - 1);
        } else {
            const std::size_t end = text.find_first_of(" \t\r\n", p);
            value = text.substr(p, end == std::string::npos ? std::string::npos : end - p);
        }
        return DecodeEntities(value);
    }
    return std::nullopt;
}

} // namespace

std::vector<THelpTopic> ParseHelpContents(std::string_view text) {
    std::vector<THelpTopic> top;
    // The lists open at this point, innermost last; a nested list belongs to the item before it.
    std::vector<std::vector<THelpTopic>*> lists;
    std::optional<THelpTopic> object;
    std::size_t p = 0;
    while ((p = text.find('<', p)) != std::string_view::npos) {
        if (text.substr(p, 4) == "<!--") {
            const std::size_t end = text.find("-->", p + 4);
            p = end == std::string_view::npos ? text.size() : end + 3;
            continue;
        }
        const std::size_t end = text.find('>', p);
        if (end == std::string_view::npos)
            break;
        const std::string inside(text.substr(p + 1, end - p - 1));
        p = end + 1;
        const std::size_t nameEnd = inside.find_first_of(" \t\r\n/", inside[0] == '/' ? 1 : 0);
        // The tag's name in lower case, '/' first for an end tag, and the attributes after it.
        const std::string tag = LowerAscii(inside.substr(0, nameEnd));
        const std::string attributes =
            nameEnd == std::string::npos ? std::string() : inside.substr(nameEnd);
        if (tag == "ul") {
            std::vector<THelpTopic>* into = &top;
            if (!lists.empty())
                into = lists.back()->empty() ? lists.back() : &lists.back()->back().Children;
            lists.push_back(into);
        } else if (tag == "/ul") {
            if (!lists.empty())
                lists.pop_back();
        } else if (tag == "object" &&
                   LowerAscii(Attribute(attributes, "type").value_or("")) == "text/sitemap") {
            object.emplace();
        } else if (tag == "param" && object) {
            const std::string name = LowerAscii(Attribute(attributes, "name").value_or(""));
            const std::string value = Attribute(attributes, "value").value_or("");
            if (name == "name")
                object->Name = value;
            else if (name == "local")
                object->Local = value;
        } else if (tag == "/object" && object) {
            (lists.empty() ? top : *lists.back()).push_back(std::move(*object));
            object.reset();
        }
    }
    return top;
}

std::vector<THelpTopic> ReadHelpContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        throw std::runtime_error("Cannot read the help contents " + path);
    std::vector<THelpTopic> topics = ParseHelpContents(text);
    if (topics.empty())
        throw std::runtime_error("Cannot read the help contents " + path);
    return topics;
}

} // namespace quorvia
