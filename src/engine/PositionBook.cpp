// Each deletion walks the pair's records from the first again, so the best values carried are
// those of the last deleted record, in the table's url order, that had a best position.

#include "engine/PositionBook.h"

#include "platform/Clock.h"
#include "platform/Text.h"

namespace quorvia {

bool TFoundLinks::Add(std::string_view link) {
    return links_.insert(LowerAscii(link)).second;
}

bool TFoundLinks::Contains(std::string_view link) const {
    return links_.count(LowerAscii(link)) != 0;
}

std::string NotFoundUrl(int depth) {
    return "Not in first " + std::to_string(depth) + " results";
}

bool IsNotFoundUrl(std::string_view url) {
    return url.find('/') == std::string_view::npos;
}

TPositionBook::TPositionBook(TClientDataSet& rankings) : rankings_(rankings) {}

void TPositionBook::CarryBestOfCurrent() {
    const std::int32_t best = rankings_.FieldByName("BestPosition").AsInteger();
    if (best > 0)
        carried_ = {best, rankings_.FieldByName("BestPage").AsInteger(),
                    rankings_.FieldByName("DTBest").AsDate()};
}

template <typename Pick>
void TPositionBook::DeletePairRecords(std::string_view engineName, std::string_view keyword,
                                      Pick pick) {
    struct FilterOff {
        TClientDataSet& table;
        ~FilterOff() {
            table.SetFiltered(false);
            table.SetFilter("");
        }
    };
    rankings_.SetFilter(PairFilter(engineName, keyword));
    rankings_.SetFiltered(true);
    const FilterOff off{rankings_};
    const TField url = rankings_.FieldByName("url");
    rankings_.First();
    while (!rankings_.Eof()) {
        if (pick(url.AsString())) {
            CarryBestOfCurrent();
            rankings_.Delete();
            rankings_.First();
        } else {
            rankings_.Next();
        }
    }
}

void TPositionBook::DropNotFoundRecords(std::string_view engineName, std::string_view keyword) {
    DeletePairRecords(engineName, keyword,
                      [](const std::string& url) { return IsNotFoundUrl(url); });
}

void TPositionBook::RecordFoundLink(std::string_view engineName, std::string_view keyword,
                                    std::string_view link, int position, int page) {
    TClientDataSet& t = rankings_;
    const Date today = Clock::Today();
    if (t.Locate("SENAME;Keyword;url", {Value(std::string(engineName)), Value(std::string(keyword)),
                                        Value(std::string(link))})) {
        t.Edit();
        // Each "last" takes the value as it stood, null included.
        t.FieldByName("LastPosition").SetValue(t.FieldByName("Position").AsValue());
        t.FieldByName("Position").SetAsInteger(position);
        const std::int32_t positionChange = t.FieldByName("LastPosition").AsInteger() - position;
        t.FieldByName("ChangePosition").SetAsInteger(positionChange);
        if (positionChange > 0)
            t.FieldByName("BestPosition").SetAsInteger(position);

        t.FieldByName("LastPage").SetValue(t.FieldByName("Page").AsValue());
        t.FieldByName("Page").SetAsInteger(page);
        const std::int32_t pageChange = t.FieldByName("LastPage").AsInteger() - page;
        t.FieldByName("ChangePage").SetAsInteger(pageChange);
        if (pageChange > 0) {
            t.FieldByName("BestPage").SetAsInteger(page);
            t.FieldByName("DTBest").SetAsDate(today);
        }

        t.FieldByName("DTLast").SetValue(t.FieldByName("DT").AsValue());
        t.FieldByName("DT").SetAsDate(today);
    } else {
        t.Append();
        t.FieldByName("SENAME").SetAsString(engineName);
        t.FieldByName("Keyword").SetAsString(keyword);
        t.FieldByName("url").SetAsString(link);
        t.FieldByName("Position").SetAsInteger(position);
        t.FieldByName("BestPosition").SetAsInteger(position);
        t.FieldByName("Page").SetAsInteger(page);
        t.FieldByName("BestPage").SetAsInteger(page);
        t.FieldByName("DT").SetAsDate(today);
        t.FieldByName("DTBest").SetAsDate(today);
    }
    t.Post();
}

void TPositionBook::AppendNotFound(std::string_view engineName, std::string_view keyword,
                                   int depth) {
    TClientDataSet& t = rankings_;
    t.Append();
    t.FieldByName("SENAME").SetAsString(engineName);
    t.FieldByName("Keyword").SetAsString(keyword);
    t.FieldByName("url").SetAsString(NotFoundUrl(depth));
    if (carried_.position > 0) {
        t.FieldByName("BestPosition").SetAsInteger(carried_.position);
        t.FieldByName("BestPage").SetAsInteger(carried_.page);
        t.FieldByName("DTBest").SetAsDate(carried_.date);
    }
    t.Post();
}

void TPositionBook::FinishPairRecords(std::string_view engineName, std::string_view keyword,
                                      const TFoundLinks& foundLinks, int depth) {
    if (rankings_.Locate("SENAME;Keyword",
                         {Value(std::string(engineName)), Value(std::string(keyword))})) {
        DeletePairRecords(engineName, keyword, [&](const std::string& url) {
            return !IsNotFoundUrl(url) && !foundLinks.Contains(url);
        });
        if (rankings_.Locate("SENAME;Keyword",
                             {Value(std::string(engineName)), Value(std::string(keyword))}))
            return;
    }
    AppendNotFound(engineName, keyword, depth);
}

} // namespace quorvia
