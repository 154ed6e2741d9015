// Takes the pictures of the History window in docs/ from a generated year of daily scans:
//   history_shot <window png> <competitors png>
// It runs on Qt's offscreen platform unless another is asked for.

#include "HistoryGenerator.h"

#include "history/HistoryWindow.h"

#include <QApplication>
#include <QTableWidget>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    QTemporaryDir folder;
    const quorvia::Date today(2026, 12, 10);
    quorvia::THistoryStore store(folder.path().toStdString() + "/History.db", nullptr);
    quorvia::bench::GenerateHistory(
        store, {.sites = 1, .keywords = 1, .engines = 4, .days = 365, .lastDay = today});

    quorvia::THistoryWindow window(nullptr, store, quorvia::bench::SiteName(0),
                                   quorvia::bench::KeywordText(0), quorvia::bench::EngineName(1),
                                   today);
    window.resize(1180, 620);
    window.SetRange(quorvia::THistoryRange::Year);
    window.show();
    // The list scrolled to where the site stands.
    QTableWidget* list = window.CompetitorsList();
    const auto showOwnRow = [&] {
        for (int row = 0; row < list->rowCount(); ++row)
            if (list->item(row, 2)->font().bold())
                list->scrollToItem(list->item(row, 0), QAbstractItemView::PositionAtCenter);
        QApplication::processEvents();
    };
    showOwnRow();
    if (!window.grab().save(QString::fromUtf8(argv[1])))
        return 1;
    list->parentWidget()->resize(660, 620);
    showOwnRow();
    return list->parentWidget()->grab().save(QString::fromUtf8(argv[2])) ? 0 : 1;
}
