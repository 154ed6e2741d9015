#include "view/ColumnLayout.h"

#include "platform/Text.h"

#include <algorithm>
#include <charconv>

namespace quorvia {

std::string ColumnLayoutKey(std::string_view field) {
    return std::string(kGridLayoutSection) + "." + std::string(field);
}

std::string FormatColumnLayout(const ColumnLayoutEntry& e) {
    std::string text;
    for (int n : {e.place, e.width, e.sortMark, e.shown ? 1 : 0, e.sortIndex, e.dropDownRows,
                  e.dropDownWidth}) {
        if (!text.empty())
            text += ',';
        text += std::to_string(n);
    }
    return text;
}

namespace {

std::optional<int> ReadInteger(std::string_view text) {
    const std::string trimmed = Trim(text);
    int value = 0;
    const char* end = trimmed.data() + trimmed.size();
    auto [ptr, ec] = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

} // namespace

StoredColumnLayout ParseColumnLayout(std::string_view value) {
    const std::size_t firstComma = value.find(',');
    const std::string_view first = value.substr(0, firstComma);
    StoredColumnLayout stored{ReadInteger(first), std::nullopt};
    if (firstComma != std::string_view::npos) {
        const std::string_view rest = value.substr(firstComma + 1);
        stored.width = ReadInteger(rest.substr(0, rest.find(',')));
    }
    return stored;
}

std::vector<int> OrderByWantedPlaces(const std::vector<int>& wantedPlaces) {
    const int count = int(wantedPlaces.size());
    std::vector<int> order(wantedPlaces.size());
    for (int i = 0; i < count; ++i)
        order[std::size_t(i)] = i;
    for (int place = 0; place < count; ++place)
        for (int column = 0; column < count; ++column) {
            if (wantedPlaces[std::size_t(column)] != place)
                continue;
            auto from = std::find(order.begin(), order.end(), column);
            order.erase(from);
            order.insert(order.begin() + place, column);
        }
    return order;
}

} // namespace quorvia
