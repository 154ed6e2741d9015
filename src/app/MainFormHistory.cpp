// The main window's part in the ranking history: opening the file at start-up, the recorder
// the scan hands each measured pair to, "Export..." and the History window of a grid row.

#include "app/MainForm.h"

#include "app/MessageBoxes.h"
#include "history/ExportCommand.h"
#include "history/HistoryWindow.h"
#include "platform/Clock.h"
#include "platform/ProgramFolder.h"
#include "view/ResultsGrid.h"

#include <QMenu>

#include <algorithm>

namespace quorvia {

void TMainForm::OpenRankingHistory() {
    // Seeding from records that could not be loaded would start the history empty for good.
    const bool rankingsLoaded = std::find(savableTables_.begin(), savableTables_.end(),
                                          &Tables.SECacheClientDataSet) != savableTables_.end();
    History = OpenHistory(UserFile(kHistoryFileName),
                          rankingsLoaded ? &Tables.SECacheClientDataSet : nullptr,
                          [this](const std::string& message) {
                              ShowErrorBox(this, QString::fromStdString(message));
                          });
    HistoryRecorder = std::make_unique<THistoryRecorder>(
        History.get(), [this](const std::string& message) { LogError(message); });
}

void TMainForm::ExportActionExecute() {
    quorvia::ExportActionExecute(this, Tables.ResClientDataSet, History.get(), SelectedSiteName(),
                                 Clock::Today());
}

void TMainForm::ShowHistory(int resultRow) {
    TClientDataSet& rows = Tables.ResClientDataSet;
    if (!History || resultRow < 0 || resultRow >= rows.RecordCount() ||
        std::holds_alternative<std::monostate>(rows.ValueAt(resultRow, rows.FindFieldIndex("url"))))
        return;
    auto* window = new THistoryWindow(
        this, *History, SelectedSiteName(), rows.TextAt(resultRow, rows.FindFieldIndex("Keyword")),
        rows.TextAt(resultRow, rows.FindFieldIndex("SENAME")), Clock::Today());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

void TMainForm::GridContextMenu(const QPoint& position) {
    const int row = ResDBGridEh->indexAt(position).row();
    TClientDataSet& rows = Tables.ResClientDataSet;
    const bool resultRow =
        row >= 0 && row < rows.RecordCount() &&
        !std::holds_alternative<std::monostate>(rows.ValueAt(row, rows.FindFieldIndex("url")));
    QMenu menu(this);
    menu.addAction(ShowHistoryAction);
    ShowHistoryAction->setEnabled(History && resultRow);
    if (menu.exec(ResDBGridEh->viewport()->mapToGlobal(position)) == ShowHistoryAction)
        ShowHistory(row);
}

} // namespace quorvia
