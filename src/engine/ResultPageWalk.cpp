// A walk is set up, loops over pages, and always ends the same way. Nothing of the pair's
// ranking records changes before the first page has been got and shown to hold results:
// only from then on does the walk measure anything.

#include "engine/ResultPageWalk.h"

#include "engine/EngineDefinition.h"
#include "engine/PageCache.h"
#include "engine/PositionBook.h"
#include "engine/ResultLink.h"
#include "engine/ResultPageCheck.h"
#include "engine/TRegExpr.h"
#include "net/PageFetcher.h"
#include "platform/Text.h"

#include <exception>
#include <stdexcept>

namespace quorvia {

namespace {

std::string NoResultsMessage(const std::string& engineName, const std::string& keyword) {
    return "No results were recognised on the first page of " + engineName + " for '" + keyword +
           "'.";
}

class TWalk {
public:
    TWalk(TScanContext& scan, const std::string& engineName, const std::string& keyword, int depth,
          int& done, int total)
        : scan_(scan), window_(scan.Window), engineName_(engineName), keyword_(keyword),
          depth_(depth), done_(done), total_(total), book_(scan.Tables.SECacheClientDataSet) {}

    void Run() {
        std::exception_ptr escaped;
        bool askedToTheEnd = false; // checked, or failed for a reason that was logged
        std::string failure;
        try {
            SetUp();
            try {
                PageLoop();
                askedToTheEnd = true;
            } catch (const std::exception& error) {
                if (!StopRequested) {
                    window_.LogError(error.what());
                    askedToTheEnd = true;
                    failure = error.what();
                }
            }
        } catch (...) {
            escaped = std::current_exception();
        }
        if (!escaped)
            escaped = setUpFailure_;
        if (askedToTheEnd && !escaped)
            window_.PairEnded(engineName_, keyword_, failure);
        End();
        if (escaped)
            std::rethrow_exception(escaped);
    }

private:
    void SetUp() {
        queryForm_ = EncodeKeyword(keyword_);
        TClientDataSet& engines = scan_.Tables.SE_ClientDataSet;
        // Another engine's record must never stand in for a missing one.
        if (!engines.Locate("SENAME", {Value(engineName_)}))
            throw std::runtime_error("The search engine '" + engineName_ + "' is not defined.");
        referrer_ = engines.FieldByName("MainURL").AsString();
        parts_ = SplitDefinition(engines.FieldByName("SearchURL").AsString(),
                                 engines.FieldByName("SearchMask").AsString());
        results_.SetExpression(parts_.resultPattern);
        snippetEnd_.SetExpression(parts_.resultPattern);
        nextPage_.SetExpression(parts_.nextPagePattern);
        address_ = FirstQueryAddress(parts_.queryTemplate, queryForm_);
        checkComplete_ = !EngineInList(scan_.BadHtmlList, engineName_);
        // The selector and the option are disabled while a scan runs.
        siteName_ = window_.SelectedSiteName();
        firstOnly_ = window_.ScanForFirst();
        linkLimit_ = std::size_t(scan_.Tables.SECacheClientDataSet.FieldByName("url").Size());
    }

    // Gets the page with the current page index, from today's cache or the network.
    void GetPage() {
        page_ = ReadCachedPage(engineName_, queryForm_, pageIndex_);
        if (!page_.empty())
            return;
        FetchPage(address_, checkComplete_, referrer_, page_);
        referrer_ = address_; // the final address, after redirects
        WriteCachedPage(engineName_, queryForm_, page_, pageIndex_);
    }

    bool CountMatch(bool matched) {
        if (matched) {
            ++position_;
            ++done_;
        }
        return matched;
    }

    void PageLoop() {
        for (;;) {
            window_.SetStatusText("Querying '" + engineName_ + "' with keyword '" + keyword_ +
                                  "'.");
            GetPage();
            ++pageIndex_;
            bool matched = results_.FindFirst(page_);
            if (!measured_) {
                // A changed page layout, a captcha or a block: a failure, not "not found".
                if (!matched)
                    throw std::runtime_error(NoResultsMessage(engineName_, keyword_));
                try {
                    book_.DropNotFoundRecords(engineName_, keyword_);
                } catch (...) {
                    setUpFailure_ = std::current_exception(); // ends the scan, not just the pair
                    return;
                }
                measured_ = true;
            }
            CountMatch(matched);
            while (matched && position_ <= depth_) {
                window_.ProcessMessages();
                const std::string_view snippet =
                    ResultSnippet(page_, results_.MatchPos(0) + results_.MatchLen(0), snippetEnd_);
                // As the url field keeps it, so that the next walk finds the record again.
                const std::string link = CutToChars(ExtractResultLink(snippet), linkLimit_);
                if (IsSiteLink(siteName_, link) && found_.Add(link)) {
                    book_.RecordFoundLink(engineName_, keyword_, link, position_, pageIndex_);
                    if (firstOnly_) {
                        window_.RefreshResults();
                        return;
                    }
                }
                matched = CountMatch(results_.FindNext());
            }
            window_.SetGaugePosition(total_ > 0 ? done_ * 100 / total_ : 0);
            if (position_ >= depth_)
                return;
            std::optional<std::string> next = NextAddress(parts_.addressPrefix, page_, nextPage_);
            if (!next)
                return;
            address_ = std::move(*next);
        }
    }

    void End() {
        window_.SetStatusText("");
        if (measured_)
            book_.FinishPairRecords(engineName_, keyword_, found_, depth_);
        window_.RefreshResults();
    }

    TScanContext& scan_;
    IScanWindow& window_;
    const std::string& engineName_;
    const std::string& keyword_;
    const int depth_;
    int& done_;
    const int total_;

    TPositionBook book_;
    TFoundLinks found_;
    std::string queryForm_, referrer_, address_, siteName_, page_;
    DefinitionParts parts_;
    TRegExpr results_, snippetEnd_, nextPage_;
    bool checkComplete_ = true, firstOnly_ = false, measured_ = false;
    std::size_t linkLimit_ = 0;
    int pageIndex_ = 0, position_ = 0;
    std::exception_ptr setUpFailure_;
};

} // namespace

void CheckEngineKeyword(TScanContext& scan, const std::string& engineName,
                        const std::string& keyword, int depth, int& done, int total) {
    TWalk(scan, engineName, keyword, depth, done, total).Run();
}

} // namespace quorvia
