// Optional fields are looked up by name, so tables of either age read alike.

#include "engine/EngineTable.h"

#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <system_error>

namespace quorvia {

namespace {

struct TFieldOf {
    std::string_view name;
    std::string TEngineRecord::*member;
};

constexpr std::array<TFieldOf, 6> kTableFields = {{
    {"SENAME", &TEngineRecord::SENAME},
    {"MainURL", &TEngineRecord::MainURL},
    {"SearchURL", &TEngineRecord::SearchURL},
    {"SearchMask", &TEngineRecord::SearchMask},
    {"NextForm", &TEngineRecord::NextForm},
    {"NoResults", &TEngineRecord::NoResults},
}};

// Adds the fields of kTableFields that the table lacks (loaded from an older file), keeping
// every record.
void AddMissingFields(TClientDataSet& engines) {
    std::vector<FieldDef> fields = engines.Fields();
    const std::size_t known = fields.size();
    for (const TFieldOf& field : kTableFields)
        if (engines.FindFieldIndex(field.name) < 0)
            fields.push_back(TextField(std::string(field.name), 1000));
    if (fields.size() == known)
        return;
    std::vector<Record> records;
    for (int row = 0; row < engines.RecordCount(); ++row) {
        Record record;
        for (std::size_t field = 0; field < known; ++field)
            record.push_back(engines.ValueAt(row, int(field)));
        record.resize(fields.size());
        records.push_back(std::move(record));
    }
    engines.Replace(std::move(fields), std::move(records));
}

} // namespace

TEngineRecord CurrentEngineRecord(TClientDataSet& engines) {
    TEngineRecord engine;
    for (const TFieldOf& field : kTableFields)
        if (engines.FindFieldIndex(field.name) >= 0)
            engine.*field.member = engines.FieldByName(field.name).AsString();
    return engine;
}

void PutEngineRecord(TClientDataSet& engines, const TEngineRecord& engine) {
    AddMissingFields(engines);
    const int nameField = engines.FindFieldIndex("SENAME");
    int row = 0;
    while (row < engines.RecordCount() &&
           !EqualsIgnoreAsciiCase(engines.TextAt(row, nameField), engine.SENAME))
        ++row;
    const bool found = row < engines.RecordCount();
    if (found) {
        engines.MoveTo(row);
        engines.Edit();
    } else {
        engines.Append();
    }
    // A replaced definition keeps its name as shipped: the ranking records carry it.
    for (const TFieldOf& field : kTableFields)
        if (!(found && field.member == &TEngineRecord::SENAME))
            engines.FieldByName(field.name).SetAsString(engine.*field.member);
    engines.Post();
}

std::vector<std::string> ApplyEngineFolder(TClientDataSet& engines,
                                           const std::filesystem::path& folder) {
    std::vector<std::string> problems;
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return problems;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".txt")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        std::vector<TEngineRecord> definitions;
        try {
            definitions = ReadEngineSource(file.string());
        } catch (const std::exception& e) {
            problems.push_back(std::string("The engine definitions in ") + file.string() +
                               " were not used: " + e.what());
            continue;
        }
        for (const TEngineRecord& engine : definitions)
            PutEngineRecord(engines, engine);
    }
    return problems;
}

} // namespace quorvia
