#pragma once
// In-memory tables: named, typed fields; records kept physically in the active sort order;
// an optional master link and an optional equality filter hide records; a current record
// with an edit buffer; notifications for views.
//
//   TClientDataSet t("SECache", {TextField("SiteName", 250), IntegerField("Position")});
//   t.SetIndexFieldNames("SiteName");
//   t.Append();
//   t.FieldByName("sitename").SetAsString("example.com");
//   t.Post();
//   for (t.First(); !t.Eof(); t.Next())
//       use(t.FieldByName("Position").AsInteger());
//
// Field names are matched without regard to ASCII letter case everywhere (field access, sort
// lists, locate lists, filter expressions); values compare exactly, texts byte for byte.
// Every walk, count, locate and row access sees only the visible records: those matching the
// master's current record on the link fields and, while Filtered(), the filter. The link
// follows the master's every move and post, also while the master's controls are disabled;
// with no master record the link values are null and only records with null link fields show.
// Moving (First, Next, Locate, changing filter or link) posts a changed pending edit first
// and drops an unchanged one. Texts sort byte for byte, null before any value.

#include "platform/Date.h"
#include "store/TableFilter.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorvia {

// Every failure of the table machinery and its files.
class TableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class FieldType { Text, Integer, Date };

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int size = 0; // N of Text(N); 0 for the other types
};

inline FieldDef TextField(std::string name, int size) {
    return {std::move(name), FieldType::Text, size};
}
inline FieldDef IntegerField(std::string name) {
    return {std::move(name), FieldType::Integer, 0};
}
inline FieldDef DateField(std::string name) {
    return {std::move(name), FieldType::Date, 0};
}

// One field value; monostate is null. A Text field holds std::string, an Integer field
// std::int32_t, a Date field Date.
using Value = std::variant<std::monostate, std::string, std::int32_t, Date>;
using Record = std::vector<Value>;

enum class TableState { Browse, Edit, Insert };

class TClientDataSet;

// Listener of a table, e.g. a grid model. While the table's controls are disabled it hears
// nothing but the switch itself; on re-enabling it should treat everything as changed.
class TTableObserver {
public:
    virtual ~TTableObserver() = default;
    // Records, order, filter, link or fields changed: any visible row may differ.
    virtual void DataChanged(TClientDataSet&) {}
    // The current record moved (also fired by First() when it stays put).
    virtual void CurrentMoved(TClientDataSet&) {}
    virtual void ControlsSwitched(TClientDataSet&, bool /*enabled*/) {}
};

// A handle on one field of a table: reads and writes the current record (the edit buffer
// while editing). Cheap to copy; valid while the table keeps its fields.
class TField {
public:
    const std::string& Name() const;
    FieldType Type() const;
    int Size() const;
    int Index() const { return index_; }

    bool IsNull() const;
    // Null reads as "" / 0 / the zero date. Integer fields read as decimal text, dates as
    // "YYYY-MM-DD"; a text read as integer or date must hold one, else TableError.
    std::string AsString() const;
    std::int32_t AsInteger() const;
    Date AsDate() const;
    const Value& AsValue() const;

    // Writing needs Edit or Insert state. Texts longer than the field are cut; "" written to
    // an integer or date field makes it null.
    void SetAsString(std::string_view text) const;
    void SetAsInteger(std::int32_t number) const;
    void SetAsDate(Date date) const;
    void SetValue(const Value& value) const;
    void Clear() const; // make null

private:
    friend class TClientDataSet;
    TField(TClientDataSet& table, int index) : table_(&table), index_(index) {}
    TClientDataSet* table_;
    int index_;
};

class TClientDataSet {
public:
    TClientDataSet(std::string name, std::vector<FieldDef> fields);
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    const std::string& Name() const { return name_; }
    const std::vector<FieldDef>& Fields() const { return fields_; }
    // Index of the field, case-blind; -1 when there is none.
    int FindFieldIndex(std::string_view name) const;
    TField FieldByName(std::string_view name); // TableError for an unknown name
    TField FieldByIndex(int index);

    // --- walking the visible records, in table order
    void First();
    void Next(); // at the last record: stays, Eof() becomes true
    void Prior();
    void Last();
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecordCount() const;
    // Position of the current record among the visible rows (0-based), -1 when there is
    // none or a new record is being inserted.
    int RecNo() const;
    void MoveTo(int row); // make the visible row current; TableError when out of range
    // Read a visible row without moving the current record (for views).
    const Value& ValueAt(int row, int field) const;
    std::string TextAt(int row, int field) const;

    // --- changing
    TableState State() const { return state_; }
    bool Modified() const { return modified_; }
    void Append();          // new record, link fields filled; it becomes current
    void Edit();            // on an empty table this starts a new record
    void Post();            // stores the record at its place in the sort order; it stays current
    void Cancel();          // drops the pending edit or insertion
    void CheckBrowseMode(); // finish a pending edit: post when modified, else cancel
    // Removes the current record; the next visible one becomes current, or the previous one
    // when it was the last (then Eof() is true), or none.
    void Delete();
    void EmptyDataSet(); // removes all records, hidden ones included

    // --- search: fields separated by ";" and as many values (texts are converted to the
    // field's type). Makes the first matching visible record current; false leaves the
    // current record alone. Uses the sort order when it starts with the given fields.
    bool Locate(std::string_view fieldNames, const std::vector<Value>& values);

    // --- filter: "Field='value' and Field2='value2'" with '' for a quote inside a value.
    // TableError for a malformed expression or an unknown field.
    void SetFilter(std::string_view expression);
    const std::string& Filter() const { return filterText_; }
    void SetFiltered(bool on);
    bool Filtered() const { return filtered_; }

    // --- sort orders. Either a ";" field list or a named order; setting one clears the other.
    void SetIndexFieldNames(std::string_view fieldNames);
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    void AddIndex(std::string_view name, std::string_view fieldNames);
    void SetIndexName(std::string_view name);
    const std::string& IndexName() const { return indexName_; }
    struct NamedIndex {
        std::string name, fields;
    };
    const std::vector<NamedIndex>& Indexes() const { return indexes_; }

    // --- master link on same-named fields (";" list); nullptr cuts the link. The master
    // must outlive the link or cut it; a destroyed master cuts its details' links.
    void SetMaster(TClientDataSet* master, std::string_view linkFields);
    TClientDataSet* Master() const { return master_; }
    const std::string& MasterFields() const { return masterFields_; }

    // --- views
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }
    std::function<void(TClientDataSet&)> AfterScroll; // current moved, controls enabled
    void AddObserver(TTableObserver* observer);
    void RemoveObserver(TTableObserver* observer);

    // --- files (TableFile.cpp); see SaveDataSet.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path);

    // Replaces fields and records in one step (loading). Sort, filter and link must fit the
    // new fields, else TableError and nothing changes. Records are re-sorted.
    void Replace(std::vector<FieldDef> fields, std::vector<Record> records);
    // All records in table order, hidden ones included (saving).
    const std::vector<Record>& AllRecords() const { return records_; }

private:
    friend class TField;
    struct Condition {
        int field;
        Value value; // already of the field's type
    };

    const Value& CurrentValue(int field) const;
    void WriteValue(int field, Value value);
    std::vector<int> ResolveFields(std::string_view fieldNames,
                                   const std::vector<FieldDef>& fields) const;
    std::vector<int> ActiveSortFields(const std::vector<FieldDef>& fields) const;
    void Resort();
    bool KeyLess(const Record& a, const Record& b) const;
    // Conditions a visible record meets; nothing when no record can be visible.
    std::optional<std::vector<Condition>> VisibilityConditions() const;
    bool Matches(const Record& r, const std::vector<Condition>& conditions) const;
    std::pair<std::size_t, std::size_t> CandidateRange(const std::vector<Condition>& c) const;
    std::size_t VisiblePos(std::size_t physical) const; // lower bound in visible_
    void InsertPhysical(std::size_t at, Record record);
    void ErasePhysical(std::size_t at);
    std::size_t SortedPosition(const Record& r) const;
    void Invalidate(); // visibility changed wholesale: first visible record becomes current
    void MoveToVisible(std::size_t pos, bool forceNotify);
    void NotifyData();
    void NotifyMoved();
    void MasterChanged();
    std::vector<Value> LinkValues() const;

    std::string name_;
    std::vector<FieldDef> fields_;
    std::vector<Record> records_; // in sort order when there is one, else in adding order

    static constexpr std::size_t npos = std::size_t(-1);
    std::size_t current_ = npos; // physical index of the current record
    bool eof_ = true, bof_ = true;
    TableState state_ = TableState::Browse;
    bool modified_ = false;
    Record buffer_;
    std::size_t insertReturn_ = npos; // current record before Append, for Cancel

    std::string indexFieldNames_, indexName_;
    std::vector<NamedIndex> indexes_;
    std::vector<int> sortFields_;

    std::string filterText_;
    std::vector<FilterTerm> filterTerms_;
    bool filtered_ = false;

    TClientDataSet* master_ = nullptr;
    std::string masterFields_;
    std::vector<std::string> linkNames_;
    std::vector<int> linkFields_;   // here; the master's are looked up by name
    std::vector<Value> linkValues_; // master values the visible rows were built for
    std::vector<TClientDataSet*> details_;

    std::optional<std::vector<Condition>> conditions_; // of the visible rows
    std::vector<std::size_t> visible_;                 // physical indices, ascending

    int disableCount_ = 0;
    std::vector<TTableObserver*> observers_;
};

// Switches a table off from its controls for a scope, and on again on every path out of it.
class TControlsOff {
public:
    explicit TControlsOff(TClientDataSet& table) : table_(table) { table_.DisableControls(); }
    ~TControlsOff() { table_.EnableControls(); }
    TControlsOff(const TControlsOff&) = delete;
    TControlsOff& operator=(const TControlsOff&) = delete;

private:
    TClientDataSet& table_;
};

// Finishes a pending edit of the table (post when changed, drop when not) and writes the
// whole table, hidden records included, to the file: through a temporary file beside it that
// replaces the old file only when complete. TableError on failure; the old file survives.
void SaveDataSet(TClientDataSet& table, const std::string& path);

// The filter expression selecting one engine's and one keyword's records, quoted so that
// any texts (quotes included) select exactly the records equal to them.
std::string PairFilter(std::string_view engineName, std::string_view keyword);

} // namespace quorvia
