// Takes the picture of the main window in docs/: run under xvfb-run with the program folder and
// the picture's path. The window shows a scan in progress with one failed pair in the log.
//   xvfb-run -a -s "-screen 0 1100x720x24" main_window_shot <program folder> <png>

#include "app/MainForm.h"
#include "net/PageFetcher.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QListWidget>
#include <QScreen>
#include <QTimer>

#include <algorithm>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    QApplication app(argc, argv);
    quorvia::SetProgramFolder(argv[1]);
    {
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
    form.TickEngine("Bing");
    form.TickEngine("Yahoo");
    form.RefreshResults();
    form.ScanBody = [&] {
        form.SetGaugePosition(33);
        form.SetStatusText("Querying 'Yahoo' with keyword 'red shoes'.");
        form.LogError("Connection error: 11001 Host not found. Proxy: . Port: 0. UserAgent: "
                      "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98). URL: "
                      "https://search.yahoo.com/search?p=red+shoes. Referrer: "
                      "https://search.yahoo.com/");
        QTimer::singleShot(1200, [&] {
            QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromUtf8(argv[2]));
            quorvia::StopRequested = true;
        });
        while (!quorvia::StopRequested)
            QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    };
    QTimer::singleShot(100, [&] {
        form.CheckRankActionExecute();
        form.close();
    });
    return QApplication::exec();
}
