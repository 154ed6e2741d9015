#pragma once
// "Export..." of the File menu: the user picks the grid's rows or the current site's whole
// history, then a file in a save dialog with a sensible name; the CSV is written by
// CsvExport. A failure gets a message box naming the file; an existing file is left whole.

#include "history/HistoryStore.h"
#include "store/Table.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace quorvia {

enum class TExportKind { GridRows, SiteHistory };

struct TExportChoice {
    TExportKind kind = TExportKind::GridRows;
    QString path;
};

// Asks what to export and where. historyAvailable: whether the site history may be chosen.
// defaultName gives the proposed file for each kind. Nothing when the user cancels.
using TExportAsker = std::function<std::optional<TExportChoice>(
    QWidget* owner, bool historyAvailable, const std::function<QString(TExportKind)>& defaultName)>;

// Replaces the dialogs (tests); an empty asker gives them back.
void SetExportAsker(TExportAsker asker);

// The proposed file: "<site host> rankings 2026-12-11.csv" or "... history ...", in the
// user's documents folder.
QString DefaultExportPath(TExportKind kind, const std::string& site, Date today);

// The command. history may be null (no history this run): then only the grid is offered.
void ExportActionExecute(QWidget* owner, TClientDataSet& resultRows, THistoryStore* history,
                         const std::string& site, Date today);

} // namespace quorvia
