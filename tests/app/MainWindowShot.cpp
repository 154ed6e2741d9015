// Takes the pictures of the main window in docs/: run under xvfb-run with the program folder,
// the picture's path and the scene. "scan" (the default) shows a scan in progress with one
// failed pair in the log; "unchecked" the grid after that scan, the failed pair marked and its
// hint shown; "first-run" the window of a first run, without a site.
//   xvfb-run -a -s "-screen 0 1100x720x24" main_window_shot <program folder> <png> [scene]

#include "app/MainForm.h"
#include "net/PageFetcher.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "view/GridColumns.h"
#include "view/ResultsGrid.h"

#include <QApplication>
#include <QCursor>
#include <QListWidget>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

const char* const kFailure =
    "Connection error: 11001 Host not found. Proxy: . Port: 0. UserAgent: "
    "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98). URL: "
    "https://search.yahoo.com/search?p=red+shoes. Referrer: https://search.yahoo.com/";

void Grab(const char* path) {
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromUtf8(path));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4)
        return 2;
    const std::string scene = argc == 4 ? argv[3] : "scan";
    QApplication app(argc, argv);
    quorvia::SetProgramFolder(argv[1]);
    if (scene != "first-run") {
        quorvia::TTables tables;
        quorvia::TClientDataSet& sites = tables.WebSiteClientDataSet;
        sites.Append();
        sites.FieldByName("SiteName").SetAsString("www.shoes.example");
        sites.Post();
        quorvia::TClientDataSet& words = tables.WordClientDataSet;
        words.Append();
        words.FieldByName("Word1").SetAsString("red shoes");
        words.FieldByName("Word2").SetAsString("running shoes");
        words.Post();
        // The first engine's pairs are done: their rows show above the failed one.
        quorvia::TClientDataSet& rankings = tables.SECacheClientDataSet;
        const struct {
            const char* keyword;
            const char* url;
            int position, page, change;
        } found[] = {{"red shoes", "http://www.shoes.example/red.html", 4, 1, 3},
                     {"running shoes", "http://www.shoes.example/", 12, 2, -2}};
        for (const auto& f : found) {
            rankings.Append();
            rankings.FieldByName("SiteName").SetAsString("www.shoes.example");
            rankings.FieldByName("SENAME").SetAsString("Bing");
            rankings.FieldByName("Keyword").SetAsString(f.keyword);
            rankings.FieldByName("url").SetAsString(f.url);
            rankings.FieldByName("Position").SetAsInteger(f.position);
            rankings.FieldByName("LastPosition").SetAsInteger(f.position + f.change);
            rankings.FieldByName("ChangePosition").SetAsInteger(f.change);
            rankings.FieldByName("BestPosition")
                .SetAsInteger(std::min(f.position, f.position + f.change));
            rankings.FieldByName("Page").SetAsInteger(f.page);
            rankings.FieldByName("DT").SetAsDate(quorvia::Clock::Today());
            rankings.Post();
        }
        quorvia::SaveDataSet(rankings, std::string(argv[1]) + "/SECache.cds");
        quorvia::SaveDataSet(sites, std::string(argv[1]) + "/WebSite.cds");
        quorvia::SaveDataSet(words, std::string(argv[1]) + "/Word.cds");
    }
    quorvia::TMainForm form;
    // Without a window manager nothing maximizes the window: give it the screen.
    form.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    form.show();
    if (scene == "first-run") {
        QTimer::singleShot(1200, [&] {
            Grab(argv[2]);
            form.close();
        });
        return QApplication::exec();
    }
    form.TickEngine("Bing");
    form.TickEngine("Yahoo");
    form.RefreshResults();
    form.ScanBody = [&] {
        form.SetGaugePosition(33);
        form.SetStatusText("Querying 'Yahoo' with keyword 'red shoes'.");
        form.LogError(kFailure);
        form.PairEnded("Yahoo", "red shoes", kFailure);
        form.RefreshResults();
        if (scene == "unchecked") {
            form.SetStatusText("");
            return;
        }
        QTimer::singleShot(1200, [&] {
            Grab(argv[2]);
            quorvia::StopRequested = true;
        });
        while (!quorvia::StopRequested)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    };
    QTimer::singleShot(100, [&] {
        form.CheckRankActionExecute();
        if (scene != "unchecked") {
            form.close();
            return;
        }
        // The marked row's keyword cell, hovered.
        quorvia::TResultsGrid& grid = *form.ResDBGridEh;
        const int rows = grid.model()->rowCount();
        const QRect cell =
            grid.visualRect(grid.model()->index(rows - 1, quorvia::GridColumnIndex("Keyword")));
        QCursor::setPos(grid.viewport()->mapToGlobal(cell.center()));
        grid.ResDBGridEhMouseMove(cell.center());
        QTimer::singleShot(1200, [&] {
            Grab(argv[2]);
            form.close();
        });
    });
    return QApplication::exec();
}
