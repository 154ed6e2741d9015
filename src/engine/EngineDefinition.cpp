// Keyword encoding, the split of an engine record's fields and the two query addresses.

#include "engine/EngineDefinition.h"

#include <QString>

#include "platform/Text.h"

namespace quorvia {

std::string EncodeKeyword(std::string_view keyword) {
    const std::string trimmed = Trim(keyword);
    std::string out;
    out.reserve(trimmed.size());
    bool afterBlank = false; // a "+" of the keyword itself never absorbs a blank
    for (char c : trimmed) {
        if (c == ' ' && afterBlank)
            continue;
        afterBlank = c == ' ';
        out += afterBlank ? '+' : c;
    }
    return out;
}

DefinitionParts SplitDefinition(std::string_view searchUrl, std::string_view searchMask) {
    DefinitionParts parts;
    std::string rest(searchUrl);
    const std::size_t first = rest.find(kDefinitionSeparator);
    if (first != std::string::npos) {
        parts.addressPrefix = rest.substr(0, first);
        rest.erase(first, kDefinitionSeparator.size());
    }
    // Without a further separator the pattern is the text from its third character on: the
    // field is malformed and the addresses built from it fail when fetched.
    const std::size_t second = rest.find(kDefinitionSeparator);
    const std::size_t patternStart =
        second == std::string::npos ? 2 : second + kDefinitionSeparator.size();
    if (patternStart < rest.size())
        parts.nextPagePattern = rest.substr(patternStart);
    const std::size_t cut = kDefinitionSeparator.size() + parts.nextPagePattern.size();
    if (rest.size() > cut)
        parts.queryTemplate = rest.substr(0, rest.size() - cut);
    const std::size_t maskEnd = searchMask.find(kDefinitionSeparator);
    parts.resultPattern = std::string(searchMask.substr(0, maskEnd));
    return parts;
}

DefinitionParts SplitDefinition(const TEngineRecord& engine) {
    DefinitionParts parts = SplitDefinition(engine.SearchURL, engine.SearchMask);
    parts.nextFormPattern = engine.NextForm;
    parts.noResultsPattern = engine.NoResults;
    return parts;
}

std::string FirstQueryAddress(std::string_view queryTemplate, std::string_view queryForm) {
    static constexpr std::string_view kMark = "@@@";
    if (queryTemplate.find(kMark) == std::string_view::npos)
        return std::string(queryTemplate) + std::string(queryForm);
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = queryTemplate.find(kMark, from)) != std::string_view::npos;
         from = at + kMark.size()) {
        out.append(queryTemplate.substr(from, at - from));
        out.append(queryForm);
    }
    out.append(queryTemplate.substr(from));
    return out;
}

std::optional<std::string> NextAddress(std::string_view addressPrefix, std::string_view pageText,
                                       TRegExpr& nextPagePattern) {
    if (!nextPagePattern.FindFirst(pageText))
        return std::nullopt;
    // Pages write "&" inside an href as "&amp;"; sent as written, every parameter after the
    // first would reach the engine misnamed ("amp;first=11") and the engine would answer with
    // its first page again, counted as the next one.
    std::string address(addressPrefix);
    const std::string captured = nextPagePattern.Match(1);
    static constexpr std::string_view kEscapedAmpersand = "&amp;";
    std::size_t from = 0;
    for (std::size_t at; (at = captured.find(kEscapedAmpersand, from)) != std::string::npos;
         from = at + kEscapedAmpersand.size())
        address.append(captured, from, at - from).append("&");
    return address.append(captured, from);
}

bool EngineInList(const std::vector<std::string>& lines, std::string_view engineName) {
    const QString name = QString::fromUtf8(engineName.data(), qsizetype(engineName.size()));
    for (const std::string& line : lines)
        if (QString::fromUtf8(line.data(), qsizetype(line.size()))
                .compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace quorvia
