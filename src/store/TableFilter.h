#pragma once
// The filter expressions tables understand: equalities of a field name and a quoted value
// joined by "and", e.g.  SEName='Web' and keyword='rock ''n'' roll'
// A quote inside a value is written twice. "and" and the field names are case-blind;
// blanks between the parts are free. An empty or blank expression has no terms.

#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

struct FilterTerm {
    std::string field;
    std::string value;
    bool operator==(const FilterTerm&) const = default;
};

// TableError naming the expression and the fault for anything else.
std::vector<FilterTerm> ParseFilter(std::string_view expression);

// The value as it must appear between the quotes of a filter expression.
std::string QuoteFilterValue(std::string_view value);

} // namespace quorvia
