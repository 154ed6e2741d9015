// The table machinery. Records are held physically in sort order, so an equality on a
// leading run of the sort fields narrows any scan to one binary-searched range; the visible
// rows are a vector of physical indices kept up to date on every insert and erase, which
// makes row access O(1) and the current row's position O(log n).
#include "store/Table.h"

#include "platform/Text.h"

#include <algorithm>
#include <charconv>

namespace quorvia {

namespace {

const Value kNull{};

std::optional<std::int32_t> ParseInteger(std::string_view text) {
    std::int32_t number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return number;
}

// The value in the field's own type, or nothing when it cannot be one.
std::optional<Value> Coerce(const Value& value, const FieldDef& field) {
    if (std::holds_alternative<std::monostate>(value))
        return value;
    switch (field.type) {
    case FieldType::Text:
        if (auto* text = std::get_if<std::string>(&value))
            return Value(CutToChars(*text, std::size_t(field.size)));
        if (auto* number = std::get_if<std::int32_t>(&value))
            return Value(std::to_string(*number));
        return Value(std::get<Date>(value).ToIso());
    case FieldType::Integer:
        if (auto* text = std::get_if<std::string>(&value)) {
            if (text->empty())
                return kNull;
            if (auto number = ParseInteger(*text))
                return Value(*number);
            return std::nullopt;
        }
        if (std::holds_alternative<std::int32_t>(value))
            return value;
        return std::nullopt;
    case FieldType::Date:
        if (auto* text = std::get_if<std::string>(&value)) {
            if (text->empty())
                return kNull;
            if (auto date = Date::FromIso(*text))
                return Value(*date);
            return std::nullopt;
        }
        if (std::holds_alternative<Date>(value))
            return value;
        return std::nullopt;
    }
    return std::nullopt;
}

std::string ValueText(const Value& value) {
    if (auto* text = std::get_if<std::string>(&value))
        return *text;
    if (auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    if (auto* date = std::get_if<Date>(&value))
        return date->ToIso();
    return {};
}

std::vector<std::string> SplitFieldList(std::string_view list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find(';', start);
        const std::string name = Trim(list.substr(start, end - start));
        if (!name.empty())
            names.push_back(name);
        if (end == std::string_view::npos)
            return names;
        start = end + 1;
    }
}

} // namespace

// ---------------------------------------------------------------- TField

const std::string& TField::Name() const {
    return table_->fields_[std::size_t(index_)].name;
}
FieldType TField::Type() const {
    return table_->fields_[std::size_t(index_)].type;
}
int TField::Size() const {
    return table_->fields_[std::size_t(index_)].size;
}

const Value& TField::AsValue() const {
    return table_->CurrentValue(index_);
}
bool TField::IsNull() const {
    return std::holds_alternative<std::monostate>(AsValue());
}
std::string TField::AsString() const {
    return ValueText(AsValue());
}

std::int32_t TField::AsInteger() const {
    const Value& value = AsValue();
    if (auto* number = std::get_if<std::int32_t>(&value))
        return *number;
    if (auto* text = std::get_if<std::string>(&value)) {
        if (auto number = ParseInteger(*text))
            return *number;
        throw TableError("'" + *text + "' is not a valid integer value for field " + Name());
    }
    if (std::holds_alternative<Date>(value))
        throw TableError("Field " + Name() + " is a date, not an integer");
    return 0;
}

Date TField::AsDate() const {
    const Value& value = AsValue();
    if (auto* date = std::get_if<Date>(&value))
        return *date;
    if (auto* text = std::get_if<std::string>(&value)) {
        if (auto date = Date::FromIso(*text))
            return *date;
        throw TableError("'" + *text + "' is not a valid date for field " + Name());
    }
    if (std::holds_alternative<std::int32_t>(value))
        throw TableError("Field " + Name() + " is an integer, not a date");
    return Date();
}

void TField::SetAsString(std::string_view text) const {
    SetValue(Value(std::string(text)));
}
void TField::SetAsInteger(std::int32_t number) const {
    SetValue(Value(number));
}
void TField::SetAsDate(Date date) const {
    SetValue(Value(date));
}
void TField::Clear() const {
    SetValue(kNull);
}

void TField::SetValue(const Value& value) const {
    auto coerced = Coerce(value, table_->fields_[std::size_t(index_)]);
    if (!coerced)
        throw TableError("'" + ValueText(value) + "' is not a valid value for field " + Name());
    table_->WriteValue(index_, std::move(*coerced));
}

// ---------------------------------------------------------------- construction, fields

TClientDataSet::TClientDataSet(std::string name, std::vector<FieldDef> fields)
    : name_(std::move(name)), fields_(std::move(fields)) {
    Invalidate();
}

TClientDataSet::~TClientDataSet() {
    if (master_)
        std::erase(master_->details_, this);
    for (TClientDataSet* detail : details_)
        detail->master_ = nullptr;
}

int TClientDataSet::FindFieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (EqualsIgnoreAsciiCase(fields_[i].name, name))
            return int(i);
    return -1;
}

TField TClientDataSet::FieldByName(std::string_view name) {
    const int index = FindFieldIndex(name);
    if (index < 0)
        throw TableError(name_ + ": Field '" + std::string(name) + "' not found");
    return TField(*this, index);
}

TField TClientDataSet::FieldByIndex(int index) {
    if (index < 0 || std::size_t(index) >= fields_.size())
        throw TableError(name_ + ": field index " + std::to_string(index) + " out of range");
    return TField(*this, index);
}

std::vector<int> TClientDataSet::ResolveFields(std::string_view fieldNames,
                                               const std::vector<FieldDef>& fields) const {
    std::vector<int> indices;
    for (const std::string& name : SplitFieldList(fieldNames)) {
        auto it = std::find_if(fields.begin(), fields.end(), [&](const FieldDef& f) {
            return EqualsIgnoreAsciiCase(f.name, name);
        });
        if (it == fields.end())
            throw TableError(name_ + ": Field '" + name + "' not found");
        indices.push_back(int(it - fields.begin()));
    }
    return indices;
}

const Value& TClientDataSet::CurrentValue(int field) const {
    if (state_ != TableState::Browse)
        return buffer_[std::size_t(field)];
    if (current_ == npos)
        return kNull;
    return records_[current_][std::size_t(field)];
}

void TClientDataSet::WriteValue(int field, Value value) {
    if (state_ == TableState::Browse)
        throw TableError(name_ + ": not in edit or insert mode");
    buffer_[std::size_t(field)] = std::move(value);
    modified_ = true;
}

// ---------------------------------------------------------------- visibility

std::optional<std::vector<TClientDataSet::Condition>> TClientDataSet::VisibilityConditions() const {
    std::vector<Condition> conditions;
    for (std::size_t i = 0; i < linkFields_.size(); ++i) {
        auto value = Coerce(linkValues_[i], fields_[std::size_t(linkFields_[i])]);
        if (!value)
            return std::nullopt;
        conditions.push_back({linkFields_[i], std::move(*value)});
    }
    if (filtered_) {
        for (const FilterTerm& term : filterTerms_) {
            const int field = FindFieldIndex(term.field);
            // Filter values are compared whole: a text longer than the field matches nothing.
            auto value = Coerce(Value(term.value), fields_[std::size_t(field)]);
            if (!value || ValueText(*value) != term.value)
                return std::nullopt;
            conditions.push_back({field, std::move(*value)});
        }
    }
    return conditions;
}

bool TClientDataSet::Matches(const Record& r, const std::vector<Condition>& conditions) const {
    return std::all_of(conditions.begin(), conditions.end(),
                       [&](const Condition& c) { return r[std::size_t(c.field)] == c.value; });
}

// The physical range that holds every record meeting the conditions: narrowed by binary
// search over the longest leading run of sort fields that the conditions fix.
std::pair<std::size_t, std::size_t>
TClientDataSet::CandidateRange(const std::vector<Condition>& conditions) const {
    std::vector<std::pair<int, const Value*>> key;
    for (int field : sortFields_) {
        auto it = std::find_if(conditions.begin(), conditions.end(),
                               [&](const Condition& c) { return c.field == field; });
        if (it == conditions.end())
            break;
        key.emplace_back(field, &it->value);
    }
    if (key.empty())
        return {0, records_.size()};
    auto compare = [&](const Record& r) { // <0, 0, >0: record before, in, after the key
        for (const auto& [field, value] : key) {
            const Value& v = r[std::size_t(field)];
            if (v < *value)
                return -1;
            if (*value < v)
                return 1;
        }
        return 0;
    };
    auto lo = std::partition_point(records_.begin(), records_.end(),
                                   [&](const Record& r) { return compare(r) < 0; });
    auto hi =
        std::partition_point(lo, records_.end(), [&](const Record& r) { return compare(r) <= 0; });
    return {std::size_t(lo - records_.begin()), std::size_t(hi - records_.begin())};
}

std::size_t TClientDataSet::VisiblePos(std::size_t physical) const {
    return std::size_t(std::lower_bound(visible_.begin(), visible_.end(), physical) -
                       visible_.begin());
}

void TClientDataSet::Invalidate() {
    conditions_ = VisibilityConditions();
    visible_.clear();
    if (conditions_) {
        const auto [lo, hi] = CandidateRange(*conditions_);
        for (std::size_t i = lo; i < hi; ++i)
            if (Matches(records_[i], *conditions_))
                visible_.push_back(i);
    }
    current_ = visible_.empty() ? npos : visible_.front();
    eof_ = bof_ = true;
    NotifyData();
    NotifyMoved();
}

void TClientDataSet::InsertPhysical(std::size_t at, Record record) {
    const bool visible = conditions_ && Matches(record, *conditions_);
    records_.insert(records_.begin() + std::ptrdiff_t(at), std::move(record));
    auto pos = visible_.begin() + std::ptrdiff_t(VisiblePos(at));
    for (auto it = pos; it != visible_.end(); ++it)
        ++*it;
    if (visible)
        visible_.insert(pos, at);
    for (std::size_t* index : {&current_, &insertReturn_})
        if (*index != npos && *index >= at)
            ++*index;
}

void TClientDataSet::ErasePhysical(std::size_t at) {
    records_.erase(records_.begin() + std::ptrdiff_t(at));
    auto pos = visible_.begin() + std::ptrdiff_t(VisiblePos(at));
    if (pos != visible_.end() && *pos == at)
        pos = visible_.erase(pos);
    for (auto it = pos; it != visible_.end(); ++it)
        --*it;
    for (std::size_t* index : {&current_, &insertReturn_}) {
        if (*index == at)
            *index = npos;
        else if (*index != npos && *index > at)
            --*index;
    }
}

// ---------------------------------------------------------------- sort orders

bool TClientDataSet::KeyLess(const Record& a, const Record& b) const {
    for (int field : sortFields_) {
        const Value& x = a[std::size_t(field)];
        const Value& y = b[std::size_t(field)];
        if (x < y)
            return true;
        if (y < x)
            return false;
    }
    return false;
}

std::size_t TClientDataSet::SortedPosition(const Record& r) const {
    if (sortFields_.empty())
        return records_.size();
    return std::size_t(
        std::upper_bound(records_.begin(), records_.end(), r,
                         [&](const Record& a, const Record& b) { return KeyLess(a, b); }) -
        records_.begin());
}

std::vector<int> TClientDataSet::ActiveSortFields(const std::vector<FieldDef>& fields) const {
    if (!indexName_.empty()) {
        for (const NamedIndex& index : indexes_)
            if (EqualsIgnoreAsciiCase(index.name, indexName_))
                return ResolveFields(index.fields, fields);
    }
    return ResolveFields(indexFieldNames_, fields);
}

void TClientDataSet::Resort() {
    sortFields_ = ActiveSortFields(fields_);
    auto less = [&](const Record& a, const Record& b) { return KeyLess(a, b); };
    if (!std::is_sorted(records_.begin(), records_.end(), less))
        std::stable_sort(records_.begin(), records_.end(), less);
}

void TClientDataSet::SetIndexFieldNames(std::string_view fieldNames) {
    ResolveFields(fieldNames, fields_); // unknown names fail before anything changes
    CheckBrowseMode();
    indexFieldNames_ = fieldNames;
    indexName_.clear();
    Resort();
    Invalidate();
}

void TClientDataSet::AddIndex(std::string_view name, std::string_view fieldNames) {
    ResolveFields(fieldNames, fields_);
    for (NamedIndex& index : indexes_)
        if (EqualsIgnoreAsciiCase(index.name, name)) {
            index.fields = fieldNames;
            return;
        }
    indexes_.push_back({std::string(name), std::string(fieldNames)});
}

void TClientDataSet::SetIndexName(std::string_view name) {
    if (!name.empty() && std::none_of(indexes_.begin(), indexes_.end(), [&](const NamedIndex& i) {
            return EqualsIgnoreAsciiCase(i.name, name);
        }))
        throw TableError(name_ + ": Index '" + std::string(name) + "' not found");
    CheckBrowseMode();
    indexName_ = name;
    indexFieldNames_.clear();
    Resort();
    Invalidate();
}

// ---------------------------------------------------------------- walking

void TClientDataSet::MoveToVisible(std::size_t pos, bool forceNotify) {
    const std::size_t target = visible_[pos];
    const bool moved = target != current_;
    current_ = target;
    bof_ = pos == 0;
    eof_ = false;
    if (moved || forceNotify)
        NotifyMoved();
}

void TClientDataSet::First() {
    CheckBrowseMode();
    if (visible_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    MoveToVisible(0, true);
    bof_ = true;
}

void TClientDataSet::Next() {
    CheckBrowseMode();
    const std::size_t pos = current_ == npos ? visible_.size() : VisiblePos(current_);
    if (pos + 1 >= visible_.size()) {
        eof_ = true;
        return;
    }
    MoveToVisible(pos + 1, false);
}

void TClientDataSet::Prior() {
    CheckBrowseMode();
    const std::size_t pos = current_ == npos ? 0 : VisiblePos(current_);
    if (pos == 0) {
        bof_ = true;
        return;
    }
    MoveToVisible(pos - 1, false);
}

void TClientDataSet::Last() {
    CheckBrowseMode();
    if (visible_.empty()) {
        eof_ = bof_ = true;
        return;
    }
    MoveToVisible(visible_.size() - 1, true);
    eof_ = true;
}

bool TClientDataSet::Eof() const {
    return eof_ || visible_.empty();
}
bool TClientDataSet::Bof() const {
    return bof_ || visible_.empty();
}
int TClientDataSet::RecordCount() const {
    return int(visible_.size());
}

int TClientDataSet::RecNo() const {
    if (state_ == TableState::Insert || current_ == npos)
        return -1;
    return int(VisiblePos(current_));
}

void TClientDataSet::MoveTo(int row) {
    if (row < 0 || std::size_t(row) >= visible_.size())
        throw TableError(name_ + ": row " + std::to_string(row) + " out of range");
    CheckBrowseMode();
    MoveToVisible(std::size_t(row), false);
}

const Value& TClientDataSet::ValueAt(int row, int field) const {
    if (row < 0 || std::size_t(row) >= visible_.size() || field < 0 ||
        std::size_t(field) >= fields_.size())
        throw TableError(name_ + ": cell " + std::to_string(row) + "," + std::to_string(field) +
                         " out of range");
    return records_[visible_[std::size_t(row)]][std::size_t(field)];
}

std::string TClientDataSet::TextAt(int row, int field) const {
    return ValueText(ValueAt(row, field));
}

// ---------------------------------------------------------------- changing

void TClientDataSet::Append() {
    CheckBrowseMode();
    insertReturn_ = current_;
    buffer_.assign(fields_.size(), kNull);
    const std::vector<Value> link = LinkValues();
    for (std::size_t i = 0; i < linkFields_.size(); ++i)
        if (auto value = Coerce(link[i], fields_[std::size_t(linkFields_[i])]))
            buffer_[std::size_t(linkFields_[i])] = std::move(*value);
    state_ = TableState::Insert;
    modified_ = false;
    eof_ = bof_ = false;
    NotifyMoved();
}

void TClientDataSet::Edit() {
    if (state_ != TableState::Browse)
        return;
    if (current_ == npos) {
        Append();
        return;
    }
    buffer_ = records_[current_];
    state_ = TableState::Edit;
    modified_ = false;
}

void TClientDataSet::Post() {
    if (state_ == TableState::Browse)
        return;
    Record record = std::move(buffer_);
    buffer_.clear();
    const bool inserting = state_ == TableState::Insert;
    state_ = TableState::Browse;
    modified_ = false;
    insertReturn_ = npos;
    std::size_t at = current_;
    if (inserting) {
        at = SortedPosition(record);
        InsertPhysical(at, std::move(record));
    } else {
        const bool stillInOrder =
            sortFields_.empty() ||
            ((at == 0 || !KeyLess(record, records_[at - 1])) &&
             (at + 1 == records_.size() || !KeyLess(records_[at + 1], record)));
        if (stillInOrder) {
            ErasePhysical(at);
            InsertPhysical(at, std::move(record));
        } else {
            ErasePhysical(at);
            at = SortedPosition(record);
            InsertPhysical(at, std::move(record));
        }
    }
    // A record that no longer passes the link or filter gives way to its neighbour.
    const std::size_t pos = VisiblePos(at);
    if (pos < visible_.size() && visible_[pos] == at)
        current_ = at;
    else if (pos < visible_.size())
        current_ = visible_[pos];
    else
        current_ = visible_.empty() ? npos : visible_.back();
    eof_ = bof_ = false;
    NotifyData();
    if (current_ != at)
        NotifyMoved();
}

void TClientDataSet::Cancel() {
    if (state_ == TableState::Browse)
        return;
    const bool inserting = state_ == TableState::Insert;
    state_ = TableState::Browse;
    modified_ = false;
    buffer_.clear();
    if (inserting) {
        current_ = insertReturn_;
        insertReturn_ = npos;
        NotifyMoved();
    }
}

void TClientDataSet::CheckBrowseMode() {
    if (state_ == TableState::Browse)
        return;
    if (modified_)
        Post();
    else
        Cancel();
}

void TClientDataSet::Delete() {
    if (state_ == TableState::Insert) {
        Cancel();
        return;
    }
    Cancel();
    if (current_ == npos)
        return;
    const std::size_t pos = VisiblePos(current_);
    ErasePhysical(current_);
    if (pos < visible_.size()) {
        current_ = visible_[pos];
        eof_ = false;
    } else {
        current_ = visible_.empty() ? npos : visible_.back();
        eof_ = true;
    }
    bof_ = pos == 0;
    NotifyData();
    NotifyMoved();
}

void TClientDataSet::EmptyDataSet() {
    Cancel();
    records_.clear();
    Invalidate();
}

void TClientDataSet::Replace(std::vector<FieldDef> fields, std::vector<Record> records) {
    // Everything that names fields must fit the new ones before anything changes.
    ActiveSortFields(fields);
    for (const auto& index : indexes_)
        ResolveFields(index.fields, fields);
    std::vector<int> link = ResolveFields(masterFields_, fields);
    for (const FilterTerm& term : filterTerms_)
        ResolveFields(term.field, fields);
    Cancel();
    fields_ = std::move(fields);
    records_ = std::move(records);
    linkFields_ = std::move(link);
    Resort();
    Invalidate();
}

// ---------------------------------------------------------------- search and filter

bool TClientDataSet::Locate(std::string_view fieldNames, const std::vector<Value>& values) {
    const std::vector<int> fields = ResolveFields(fieldNames, fields_);
    if (fields.size() != values.size())
        throw TableError(name_ + ": Locate on " + std::to_string(fields.size()) + " fields with " +
                         std::to_string(values.size()) + " values");
    CheckBrowseMode();
    if (!conditions_)
        return false;
    std::vector<Condition> conditions = *conditions_;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto value = Coerce(values[i], fields_[std::size_t(fields[i])]);
        if (!value || (std::holds_alternative<std::string>(values[i]) &&
                       ValueText(*value) != std::get<std::string>(values[i])))
            return false; // a value the field cannot hold exactly matches no record
        conditions.push_back({fields[i], std::move(*value)});
    }
    const auto [lo, hi] = CandidateRange(conditions);
    for (std::size_t i = lo; i < hi; ++i) {
        if (Matches(records_[i], conditions)) {
            MoveToVisible(VisiblePos(i), true);
            return true;
        }
    }
    return false;
}

void TClientDataSet::SetFilter(std::string_view expression) {
    std::vector<FilterTerm> terms = ParseFilter(expression);
    for (const FilterTerm& term : terms)
        if (FindFieldIndex(term.field) < 0)
            throw TableError(name_ + ": Field '" + term.field + "' of the filter not found");
    CheckBrowseMode();
    filterText_ = expression;
    filterTerms_ = std::move(terms);
    if (filtered_)
        Invalidate();
}

void TClientDataSet::SetFiltered(bool on) {
    if (on == filtered_)
        return;
    CheckBrowseMode();
    filtered_ = on;
    Invalidate();
}

// ---------------------------------------------------------------- master link

void TClientDataSet::SetMaster(TClientDataSet* master, std::string_view linkFields) {
    std::vector<int> fields;
    std::vector<std::string> names;
    if (master) {
        fields = ResolveFields(linkFields, fields_);
        master->ResolveFields(linkFields, master->fields_);
        names = SplitFieldList(linkFields);
    }
    CheckBrowseMode();
    if (master_)
        std::erase(master_->details_, this);
    master_ = master;
    if (master_)
        master_->details_.push_back(this);
    masterFields_ = master ? std::string(linkFields) : std::string();
    linkNames_ = std::move(names);
    linkFields_ = std::move(fields);
    linkValues_ = LinkValues();
    Invalidate();
}

std::vector<Value> TClientDataSet::LinkValues() const {
    std::vector<Value> values;
    for (const std::string& name : linkNames_) {
        const int field = master_ ? master_->FindFieldIndex(name) : -1;
        values.push_back(field < 0 ? kNull : master_->CurrentValue(field));
    }
    return values;
}

void TClientDataSet::MasterChanged() {
    std::vector<Value> values = LinkValues();
    if (values == linkValues_)
        return;
    CheckBrowseMode();
    linkValues_ = std::move(values);
    Invalidate();
}

// ---------------------------------------------------------------- notifications

void TClientDataSet::NotifyData() {
    for (TClientDataSet* detail : std::vector(details_))
        detail->MasterChanged();
    if (ControlsDisabled())
        return;
    for (TTableObserver* observer : std::vector(observers_))
        observer->DataChanged(*this);
}

void TClientDataSet::NotifyMoved() {
    for (TClientDataSet* detail : std::vector(details_))
        detail->MasterChanged();
    if (ControlsDisabled())
        return;
    for (TTableObserver* observer : std::vector(observers_))
        observer->CurrentMoved(*this);
    if (AfterScroll)
        AfterScroll(*this);
}

void TClientDataSet::DisableControls() {
    if (disableCount_++ == 0)
        for (TTableObserver* observer : std::vector(observers_))
            observer->ControlsSwitched(*this, false);
}

void TClientDataSet::EnableControls() {
    if (disableCount_ == 0)
        return;
    if (--disableCount_ == 0)
        for (TTableObserver* observer : std::vector(observers_))
            observer->ControlsSwitched(*this, true);
}

void TClientDataSet::AddObserver(TTableObserver* observer) {
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TClientDataSet::RemoveObserver(TTableObserver* observer) {
    std::erase(observers_, observer);
}

} // namespace quorvia
