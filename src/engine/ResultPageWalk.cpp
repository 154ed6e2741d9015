// A walk is set up, loops over pages, and always ends the same way. Nothing of the pair's
// ranking records changes before the first page has been got and shown to hold results (or
// the engine's own answer that it found nothing): only from then on does the walk measure
// anything. Pages that are not result lists never enter the cache, so a later scan asks again.

#include "engine/ResultPageWalk.h"

#include "engine/EngineDefinition.h"
#include "engine/EngineTable.h"
#include "engine/FormPaging.h"
#include "engine/PageCache.h"
#include "engine/PageKind.h"
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
        const TEngineRecord engine = CurrentEngineRecord(engines);
        referrer_ = engine.MainURL;
        parts_ = SplitDefinition(engine);
        results_.SetExpression(parts_.resultPattern);
        snippetEnd_.SetExpression(parts_.resultPattern);
        nextPage_.SetExpression(parts_.nextPagePattern);
        nextForm_.SetExpression(parts_.nextFormPattern);
        noResults_.SetExpression(parts_.noResultsPattern);
        request_.address = FirstQueryAddress(parts_.queryTemplate, queryForm_);
        checkComplete_ = !EngineInList(scan_.BadHtmlList, engineName_);
        // The selector and the option are disabled while a scan runs.
        siteName_ = window_.SelectedSiteName();
        firstOnly_ = window_.ScanForFirst();
        linkLimit_ = std::size_t(scan_.Tables.SECacheClientDataSet.FieldByName("url").Size());
    }

    // Gets the page with the current page index, from today's cache or the network. A refusal
    // (403, 429) is kept and named.
    void GetPage() {
        page_ = ReadCachedPage(engineName_, queryForm_, pageIndex_);
        fetched_ = page_.empty();
        if (!fetched_)
            return;
        const TPostData form{request_.body};
        try {
            FetchPage(request_.address, checkComplete_, referrer_, page_,
                      request_.post ? &form : nullptr);
        } catch (const EHttpStatusError& refusal) {
            if (refusal.Status() != 403 && refusal.Status() != 429)
                throw;
            throw std::runtime_error(
                RefusalMessage(refusal.Status(), engineName_, keyword_,
                               KeepOddPage(engineName_, queryForm_, refusal.Body(), pageIndex_)));
        }
        referrer_ = request_.address; // the final address, after redirects
    }

    bool CountMatch(bool matched) {
        if (matched) {
            ++position_;
            ++done_;
        }
        return matched;
    }

    // From the first page that shows results (or the engine's "nothing found"), the walk
    // measures: the pair's old not-found record goes.
    bool StartMeasuring() {
        if (measured_)
            return true;
        try {
            book_.DropNotFoundRecords(engineName_, keyword_);
        } catch (...) {
            setUpFailure_ = std::current_exception(); // ends the scan, not just the pair
            return false;
        }
        return measured_ = true;
    }

    // A page without a recognised result. The engine's own "nothing found" ends the walk as a
    // measurement; a captcha or consent wall ends it with its own line; a page the definition
    // cannot read ends it on the first page, and on a later one leads on when it has a
    // next-page link.
    enum class TEmptyPage { Ended, LeadsOn };
    TEmptyPage HandleEmptyPage() {
        const int cacheIndex = pageIndex_ - 1;
        const TPageKind kind =
            ClassifyResultlessPage(page_, fetched_ ? request_.address : std::string(),
                                   noResults_.Expression().empty() ? nullptr : &noResults_);
        if (kind == TPageKind::NoResults) {
            if (fetched_)
                WriteCachedPage(engineName_, queryForm_, page_, cacheIndex);
            if (pageIndex_ == 1 && StartMeasuring())
                window_.LogError(NoResultsAnswerMessage(engineName_, keyword_));
            return TEmptyPage::Ended;
        }
        if (kind == TPageKind::Unrecognised && measured_)
            return TEmptyPage::LeadsOn;
        throw std::runtime_error(PageKindMessage(
            kind, engineName_, keyword_, KeepOddPage(engineName_, queryForm_, page_, cacheIndex)));
    }

    void PageLoop() {
        for (;;) {
            window_.SetStatusText("Querying '" + engineName_ + "' with keyword '" + keyword_ +
                                  "'.");
            GetPage();
            ++pageIndex_;
            TResultSteps steps(results_, snippetEnd_);
            bool matched = steps.First(page_);
            if (!matched && HandleEmptyPage() == TEmptyPage::Ended)
                return;
            if (fetched_)
                WriteCachedPage(engineName_, queryForm_, page_, pageIndex_ - 1);
            if (!StartMeasuring())
                return;
            CountMatch(matched);
            while (matched && position_ <= depth_) {
                window_.ProcessMessages();
                // As the url field keeps it, so that the next walk finds the record again.
                const std::string link = CutToChars(ExtractResultLink(steps.Snippet()), linkLimit_);
                if (IsSiteLink(siteName_, link) && found_.Add(link)) {
                    book_.RecordFoundLink(engineName_, keyword_, link, position_, pageIndex_);
                    if (firstOnly_) {
                        window_.RefreshResults();
                        return;
                    }
                }
                matched = CountMatch(steps.Next());
            }
            window_.SetGaugePosition(total_ > 0 ? done_ * 100 / total_ : 0);
            if (position_ >= depth_)
                return;
            std::optional<TPageRequest> next = NextPageRequest(parts_, page_, nextPage_, nextForm_);
            if (!next)
                return;
            request_ = std::move(*next);
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
    std::string queryForm_, referrer_, siteName_, page_;
    TPageRequest request_;
    DefinitionParts parts_;
    TRegExpr results_, snippetEnd_, nextPage_, nextForm_, noResults_;
    bool checkComplete_ = true, firstOnly_ = false, measured_ = false, fetched_ = false;
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
