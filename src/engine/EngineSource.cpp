// Parsing of the engine definition source. Strict on purpose: a mistyped field name would
// otherwise ship an engine with an empty pattern that fails only when a user scans with it.

#include "engine/EngineSource.h"

#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/Text.h"

namespace quorvia {

namespace {

constexpr std::array<std::string TEngineRecord::*, 6> kFields = {
    &TEngineRecord::SENAME,     &TEngineRecord::MainURL,  &TEngineRecord::SearchURL,
    &TEngineRecord::SearchMask, &TEngineRecord::NextForm, &TEngineRecord::NoResults};
constexpr std::array<std::string_view, 6> kFieldNames = {"SENAME",     "MainURL",  "SearchURL",
                                                         "SearchMask", "NextForm", "NoResults"};

struct TBlock {
    TEngineRecord record;
    std::array<bool, kFields.size()> seen{};
    int firstLine = 0;
    bool Empty() const { return firstLine == 0; }
};

} // namespace

std::vector<TEngineRecord> ParseEngineSource(std::string_view text, const std::string& origin) {
    std::vector<TEngineRecord> records;
    TBlock block;
    const auto fail = [&origin](int line, const std::string& what) {
        throw std::runtime_error(origin + ":" + std::to_string(line) + ": " + what);
    };
    const auto finish = [&] {
        if (block.Empty())
            return;
        if (!block.seen[0])
            fail(block.firstLine, "engine without SENAME");
        records.push_back(std::move(block.record));
        block = {};
    };
    int number = 0;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(from, end - from);
        from = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty()) {
            finish();
            continue;
        }
        if (line.front() == '#')
            continue;
        const std::size_t colon = line.find(": ");
        if (colon == std::string_view::npos)
            fail(number, "expected \"Field: value\"");
        const std::string_view name = line.substr(0, colon);
        std::size_t field = 0;
        while (field < kFieldNames.size() && !EqualsIgnoreAsciiCase(name, kFieldNames[field]))
            ++field;
        if (field == kFieldNames.size())
            fail(number, "unknown field \"" + std::string(name) + "\"");
        if (block.seen[field])
            fail(number, "field " + std::string(kFieldNames[field]) +
                             " given twice (a blank line ends an engine)");
        if (block.Empty())
            block.firstLine = number;
        block.seen[field] = true;
        block.record.*kFields[field] = std::string(line.substr(colon + 2));
    }
    finish();
    return records;
}

std::vector<TEngineRecord> ReadEngineSource(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseEngineSource(text, path);
}

} // namespace quorvia
