#include "store/Sites.h"

#include "platform/Text.h"

#include <QString>

#include <utility>

namespace quorvia {

namespace {

constexpr std::string_view SiteNameField = "SiteName";

} // namespace

bool AddSite(TClientDataSet& sites, std::string_view siteName) {
    if (siteName.empty())
        return false;
    TField field = sites.FieldByName(SiteNameField);
    // Compared as the field would store it, so that an over-long text cannot add a second
    // site of the same stored name.
    const std::string stored = CutToChars(siteName, static_cast<std::size_t>(field.Size()));
    if (sites.Locate(SiteNameField, {stored}))
        return false;
    sites.Append();
    field.SetAsString(stored);
    sites.Post();
    return true;
}

bool DeleteCurrentSite(TClientDataSet& sites) {
    sites.CheckBrowseMode();
    if (sites.IsEmpty())
        return false;
    sites.Delete();
    return true;
}

std::string DeleteSiteQuestion(std::string_view siteName) {
    return "Do you want to delete '" + std::string(siteName) + "' ?";
}

bool SelectSite(TClientDataSet& sites, std::string_view value) {
    if (sites.Locate(SiteNameField, {std::string(value)}))
        return true;
    const QString wanted = QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()));
    const int field = sites.FindFieldIndex(SiteNameField);
    for (int row = 0; row < sites.RecordCount(); ++row) {
        if (QString::fromStdString(sites.TextAt(row, field)).compare(wanted, Qt::CaseInsensitive) ==
            0) {
            sites.MoveTo(row);
            return true;
        }
    }
    return false;
}

bool ChooseSite(TClientDataSet& sites, std::string& value, std::string_view wanted) {
    if (wanted == value)
        return false;
    const std::string previous = std::exchange(value, std::string(wanted));
    if (!SelectSite(sites, wanted))
        value.clear();
    return value != previous;
}

std::string CurrentSiteName(TClientDataSet& sites) {
    return sites.IsEmpty() ? std::string() : sites.FieldByName(SiteNameField).AsString();
}

std::vector<std::string> SiteNames(const TClientDataSet& sites) {
    std::vector<std::string> names;
    const int field = sites.FindFieldIndex(SiteNameField);
    for (int row = 0; row < sites.RecordCount(); ++row)
        names.push_back(sites.TextAt(row, field));
    return names;
}

bool BeginKeywordEdit(TClientDataSet& words) {
    if (words.Master() && words.Master()->IsEmpty())
        return false;
    words.Edit(); // on a site without a record this starts one, linked to the site
    return true;
}

void FinishKeywordEdit(TClientDataSet& words) {
    words.CheckBrowseMode();
}

bool TypeKeyword(TClientDataSet& words, std::size_t box, std::string_view text) {
    if (!BeginKeywordEdit(words))
        return false;
    words.FieldByName(KeywordFields.at(box)).SetAsString(text);
    return true;
}

std::array<std::string, 4> KeywordTexts(TClientDataSet& words) {
    std::array<std::string, 4> texts;
    for (std::size_t box = 0; box < texts.size(); ++box)
        texts[box] = words.FieldByName(KeywordFields[box]).AsString();
    return texts;
}

std::vector<std::string> RecordKeywords(TClientDataSet& words) {
    std::vector<std::string> keywords;
    for (std::string& text : KeywordTexts(words))
        if (!text.empty())
            keywords.push_back(std::move(text));
    return keywords;
}

} // namespace quorvia
