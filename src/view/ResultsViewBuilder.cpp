// The rebuild reads the ranking records by row instead of walking them, so the record table's
// current record stays where the scan left it; fields are looked up by name once per rebuild,
// since a loaded table keeps the field order of its file.
#include "view/ResultsViewBuilder.h"

#include "engine/ResultLink.h"
#include "platform/Text.h"
#include "store/Sites.h"
#include "view/GridColumns.h"

#include <QString>
#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>

namespace quorvia {

namespace {

constexpr std::array<std::string_view, 7> kMeasuredFields = {
    "ChangePosition", "Position", "LastPosition", "BestPosition", "Page", "LastPage", "BestPage"};

bool IsNull(const Value& value) {
    return std::holds_alternative<std::monostate>(value);
}

// The text of a text field's value; null reads as "".
std::string_view TextOf(const Value& value) {
    const auto* text = std::get_if<std::string>(&value);
    return text ? std::string_view(*text) : std::string_view();
}

} // namespace

bool IsEngineChecked(const std::vector<TEngineListItem>& engines, std::string_view name) {
    const QString wanted = QString::fromUtf8(name.data(), qsizetype(name.size()));
    for (const TEngineListItem& item : engines)
        if (QString::fromStdString(item.text).compare(wanted, Qt::CaseInsensitive) == 0)
            return item.ticked;
    return false;
}

std::string SiteHost(std::string_view siteName) {
    return GetSiteKey(siteName).substr(4); // the key always starts with "www."
}

std::string DisplayAddress(std::string_view url, std::string_view host) {
    // The host is lower case already; the url is lowered character by character as it is
    // compared, which spares a copy of every address.
    for (std::size_t at = 0; !host.empty() && at + host.size() <= url.size(); ++at) {
        std::size_t i = 0;
        while (i < host.size() && LowerAscii(url[at + i]) == host[i])
            ++i;
        if (i == host.size()) {
            const std::string_view rest = url.substr(at + host.size());
            return rest.empty() ? std::string("/") : std::string(rest);
        }
    }
    return std::string(url);
}

TResultsViewBuilder::TResultsViewBuilder(TTables& tables, TextWidthFunction numberTextWidth)
    : tables_(tables), numberTextWidth_(std::move(numberTextWidth)) {
    tables_.ResClientDataSet.AfterScroll = [this](TClientDataSet& table) {
        ResClientDataSetAfterScroll(table);
    };
}

TResultsViewBuilder::~TResultsViewBuilder() {
    tables_.ResClientDataSet.AfterScroll = nullptr;
}

void TResultsViewBuilder::RefreshResults(std::string_view siteName,
                                         const std::vector<TEngineListItem>& engines) {
    TClientDataSet& records = tables_.SECacheClientDataSet;
    TClientDataSet& results = tables_.ResClientDataSet;
    std::string_view previousEngine; // into the record table, which the rebuild leaves alone
    {
        const TControlsOff off(results);
        results.EmptyDataSet();
        const std::string host = SiteHost(siteName);
        const std::vector<std::string> keywords = RecordKeywords(tables_.WordClientDataSet);

        // Result field -> record field, -1 when the record table lacks it.
        const std::vector<FieldDef>& fields = results.Fields();
        std::vector<int> source(fields.size());
        for (std::size_t f = 0; f < fields.size(); ++f)
            source[f] = records.FindFieldIndex(fields[f].name);
        const int siteField = results.FindFieldIndex("SiteName");
        const int engineField = results.FindFieldIndex("SENAME");
        const int keywordField = results.FindFieldIndex("Keyword");
        const int urlField = results.FindFieldIndex("url");
        const int changeField = results.FindFieldIndex("ChangePosition");
        auto sourceValue = [&](int row, int resultField) -> const Value& {
            static const Value null;
            const int f = source[std::size_t(resultField)];
            return f < 0 ? null : records.ValueAt(row, f);
        };

        auto appendEngineRow = [&](std::string_view engine) {
            results.Append();
            results.FieldByIndex(siteField).SetAsString(siteName);
            results.FieldByIndex(engineField).SetAsString(engine);
            results.FieldByIndex(keywordField).SetAsString(engine);
            results.Post();
        };
        // A pair the last scan could not check and that has no record gets a row of its own,
        // at the end of its engine's block, so that its mark has a place to show.
        std::vector<std::string_view> keywordsShown; // of the engine being built
        auto appendUncheckedRows = [&](std::string_view engine) {
            if (!marks_)
                return;
            for (const std::string& keyword : marks_->Keywords(siteName, engine)) {
                if (std::find(keywords.begin(), keywords.end(), keyword) == keywords.end() ||
                    std::find(keywordsShown.begin(), keywordsShown.end(), keyword) !=
                        keywordsShown.end())
                    continue;
                results.Append();
                results.FieldByIndex(siteField).SetAsString(siteName);
                results.FieldByIndex(engineField).SetAsString(engine);
                results.FieldByIndex(keywordField).SetAsString(keyword);
                results.FieldByIndex(urlField).SetAsString(""); // a result row, but no page
                results.Post();
            }
        };
        std::vector<std::string_view> enginesBuilt;

        // The records come sorted by engine: the tick is looked up once per engine.
        std::optional<std::string_view> tickedEngine;
        bool ticked = false;
        records.CheckBrowseMode();
        for (int row = 0; row < records.RecordCount(); ++row) {
            const std::string_view keyword = TextOf(sourceValue(row, keywordField));
            if (std::find(keywords.begin(), keywords.end(), keyword) == keywords.end())
                continue;
            const std::string_view engine = TextOf(sourceValue(row, engineField));
            if (engine != tickedEngine) {
                tickedEngine = engine;
                ticked = IsEngineChecked(engines, engine);
            }
            if (!ticked)
                continue;
            if (engine != previousEngine) {
                if (!enginesBuilt.empty())
                    appendUncheckedRows(enginesBuilt.back());
                appendEngineRow(engine);
                enginesBuilt.push_back(engine);
                keywordsShown.clear();
            }
            previousEngine = engine;
            keywordsShown.push_back(keyword);

            results.Append();
            for (int f = 0; f < int(fields.size()); ++f) {
                const Value& value = sourceValue(row, f);
                if (f == urlField)
                    results.FieldByIndex(f).SetAsString(DisplayAddress(TextOf(value), host));
                else if (IsNull(value) || (f == changeField && std::get_if<std::int32_t>(&value) &&
                                           std::get<std::int32_t>(value) == 0))
                    continue; // a change of 0 stays null; ChangePage keeps its 0
                else
                    results.FieldByIndex(f).SetValue(value);
            }
            results.Post();
        }
        if (!enginesBuilt.empty())
            appendUncheckedRows(enginesBuilt.back());
        // Engines whose only pairs are unchecked ones come last.
        for (const std::string& engine :
             marks_ ? marks_->Engines(siteName) : std::vector<std::string>()) {
            if (!IsEngineChecked(engines, engine) ||
                std::find(enginesBuilt.begin(), enginesBuilt.end(), engine) != enginesBuilt.end())
                continue;
            const std::vector<std::string> marked = marks_->Keywords(siteName, engine);
            if (std::none_of(marked.begin(), marked.end(), [&](const std::string& keyword) {
                    return std::find(keywords.begin(), keywords.end(), keyword) != keywords.end();
                }))
                continue;
            appendEngineRow(engine);
            keywordsShown.clear();
            appendUncheckedRows(engine);
        }
        MeasureNumberColumns();
        results.First();
    }
    // Connected again: this move runs the after-scroll handler, which names the first row's
    // engine. An empty table does not move, so it is told here.
    results.First();
    if (results.IsEmpty())
        ResClientDataSetAfterScroll(results);
}

std::string TResultsViewBuilder::PageAddress(int row) const {
    const TClientDataSet& results = tables_.ResClientDataSet;
    if (row < 0 || row >= results.RecordCount())
        return {};
    const int urlField = results.FindFieldIndex("url");
    const std::string shown = results.TextAt(row, urlField);
    if (IsNull(results.ValueAt(row, urlField)) || shown.find('/') == std::string::npos)
        return {};
    const std::string host = SiteHost(results.TextAt(row, results.FindFieldIndex("SiteName")));
    const std::string engine = results.TextAt(row, results.FindFieldIndex("SENAME"));
    const std::string keyword = results.TextAt(row, results.FindFieldIndex("Keyword"));
    const TClientDataSet& records = tables_.SECacheClientDataSet;
    const int recordEngine = records.FindFieldIndex("SENAME");
    const int recordKeyword = records.FindFieldIndex("Keyword");
    const int recordUrl = records.FindFieldIndex("url");
    for (int r = 0; r < records.RecordCount(); ++r)
        if (records.TextAt(r, recordEngine) == engine &&
            records.TextAt(r, recordKeyword) == keyword &&
            DisplayAddress(records.TextAt(r, recordUrl), host) == shown)
            return records.TextAt(r, recordUrl);
    return {};
}

void TResultsViewBuilder::MeasureNumberColumns() {
    TClientDataSet& results = tables_.ResClientDataSet;
    TClientDataSet& widths = tables_.ResMinClientDataSet;
    widths.EmptyDataSet();
    widths.Append();
    // Numbers repeat a lot (positions up to 200, changes as many either way): each text is
    // measured once, the common ones found by their value.
    constexpr std::int32_t kNear = 1000;
    std::vector<int> nearWidths(2 * kNear + 1, -1);
    std::unordered_map<std::int32_t, int> farWidths;
    auto widthOf = [&](std::int32_t number) {
        int& width = (number >= -kNear && number <= kNear)
                         ? nearWidths[std::size_t(number + kNear)]
                         : farWidths.try_emplace(number, -1).first->second;
        if (width < 0)
            width = numberTextWidth_(std::to_string(number));
        return width;
    };
    const std::vector<Record>& rows = results.AllRecords(); // no filter or link: all are rows
    for (std::string_view field : kMeasuredFields) {
        const int resultField = results.FindFieldIndex(field);
        int widest = 0;
        for (const Record& row : rows) {
            const Value& value = row[std::size_t(resultField)];
            if (const auto* number = std::get_if<std::int32_t>(&value))
                widest = std::max(widest, widthOf(*number));
        }
        widths.FieldByName(*WidthFieldName(field)).SetAsInteger(widest);
    }
    widths.Post();
}

void TResultsViewBuilder::ResClientDataSetAfterScroll(TClientDataSet& table) {
    if (table.ControlsDisabled())
        return;
    const std::string engine =
        table.IsEmpty() ? std::string() : table.FieldByName("SENAME").AsString();
    if (engine == currentEngine_)
        return;
    currentEngine_ = engine;
    if (RepaintGrid)
        RepaintGrid();
}

} // namespace quorvia
