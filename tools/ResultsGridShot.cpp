// Takes the picture of the main window with a filled result grid for the documentation: three
// engines with found pages, changes both ways, a not-found row and a date hint.
//   xvfb-run -a -s "-screen 0 1000x640x24" build/tools/quorvia_results_grid_shot
//   docs/results-grid.png

#include "app/MainForm.h"
#include "platform/ProgramFolder.h"
#include "view/GridColumns.h"
#include "view/ResultsGrid.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <map>

using namespace quorvia;

namespace {

struct Ranking {
    const char* engine;
    const char* keyword;
    const char* url;
    std::map<std::string, int> numbers;
};

void WriteTables(const std::string& folder) {
    TTables tables;
    TClientDataSet& engines = tables.SE_ClientDataSet;
    for (const char* name : {"Example Directory", "Example News", "Example Web"}) {
        engines.Append();
        engines.FieldByName("SENAME").SetAsString(name);
        engines.FieldByName("MainURL").SetAsString("http://www.search.example/");
        engines.Post();
    }
    tables.WebSiteClientDataSet.Append();
    tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString("www.shoes.example");
    tables.WebSiteClientDataSet.Post();
    TClientDataSet& words = tables.WordClientDataSet;
    words.Append();
    words.FieldByName("Word1").SetAsString("red shoes");
    words.FieldByName("Word2").SetAsString("running shoes");
    words.FieldByName("Word3").SetAsString("shoe shop");
    words.Post();

    const Ranking rankings[] = {
        {"Example Directory",
         "red shoes",
         "http://www.shoes.example/catalog/red.html",
         {{"Position", 3}, {"LastPosition", 5}, {"ChangePosition", 2}, {"BestPosition", 2}}},
        {"Example Directory",
         "running shoes",
         "Not in first 50 results",
         {{"LastPosition", 14}, {"BestPosition", 14}, {"BestPage", 2}}},
        {"Example News",
         "red shoes",
         "http://shoes.example/news/2026/spring-colours.html",
         {{"Position", 17}, {"LastPosition", 11}, {"ChangePosition", -6}, {"BestPosition", 9}}},
        {"Example News",
         "running shoes",
         "http://www.shoes.example",
         {{"Position", 1}, {"LastPosition", 1}, {"ChangePosition", 0}, {"BestPosition", 1}}},
        {"Example News",
         "shoe shop",
         "http://www.shoes.example/shop/",
         {{"Position", 8}, {"LastPosition", 20}, {"ChangePosition", 12}, {"BestPosition", 8}}},
        {"Example Web",
         "red shoes",
         "http://www.shoes.example/red.html",
         {{"Position", 7}, {"BestPosition", 7}}},
        {"Example Web",
         "red shoes",
         "http://www.shoes.example/sale/Red-Sneakers.html",
         {{"Position", 123}, {"LastPosition", 120}, {"ChangePosition", -3}, {"BestPosition", 98}}},
        {"Example Web",
         "running shoes",
         "http://www.shoes.example/running/trail.html",
         {{"Position", 45}, {"LastPosition", 52}, {"ChangePosition", 7}, {"BestPosition", 31}}},
    };
    TClientDataSet& records = tables.SECacheClientDataSet;
    for (const Ranking& r : rankings) {
        records.Append();
        records.FieldByName("SENAME").SetAsString(r.engine);
        records.FieldByName("Keyword").SetAsString(r.keyword);
        records.FieldByName("url").SetAsString(r.url);
        for (const auto& [field, value] : r.numbers) {
            records.FieldByName(field).SetAsInteger(value);
            // Ten results a page: the page of each position.
            const std::string page = field == "Position"       ? "Page"
                                     : field == "LastPosition" ? "LastPage"
                                     : field == "BestPosition" ? "BestPage"
                                                               : "";
            if (!page.empty())
                records.FieldByName(page).SetAsInteger((value + 9) / 10);
        }
        records.FieldByName("DT").SetAsDate(Date(2026, 12, 11));
        records.FieldByName("DTLast").SetAsDate(Date(2026, 12, 4));
        records.FieldByName("DTBest").SetAsDate(Date(2026, 11, 20));
        records.Post();
    }
    SaveDataSet(engines, folder + "SE.cds");
    SaveDataSet(tables.WebSiteClientDataSet, folder + "WebSite.cds");
    SaveDataSet(words, folder + "Word.cds");
    SaveDataSet(records, folder + "SECache.cds");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    QApplication app(argc, argv);
    QTemporaryDir folder;
    SetProgramFolder(folder.path().toStdString());
    WriteTables(ProgramFolder());

    TMainForm form;
    // Without a window manager nothing maximizes the window: give it the screen.
    form.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    form.show();
    form.SelectAllTBXButtonClick();
    QTimer::singleShot(300, [&] {
        // A row of Example News is current, and the pointer rests on a best position.
        TResultsGrid& grid = *form.ResDBGridEh;
        grid.setCurrentIndex(grid.model()->index(4, 0));
        const QRect best =
            grid.visualRect(grid.model()->index(10, GridColumnIndex("BestPosition")));
        grid.ResDBGridEhMouseMove(best.center());
    });
    QTimer::singleShot(900, [&] {
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromUtf8(argv[1]));
        form.close();
    });
    return QApplication::exec();
}
