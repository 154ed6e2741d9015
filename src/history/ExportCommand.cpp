#include "history/ExportCommand.h"

#include "app/MessageBoxes.h"
#include "history/CsvExport.h"
#include "view/ResultsViewBuilder.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <exception>

namespace quorvia {

namespace {

TExportAsker& Asker() {
    static TExportAsker asker;
    return asker;
}

std::optional<TExportChoice> AskWithDialogs(QWidget* owner, bool historyAvailable,
                                            const std::function<QString(TExportKind)>& name) {
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("Export"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Write as CSV:"), &dialog));
    auto* grid = new QRadioButton(QStringLiteral("The rows of the grid, as shown"), &dialog);
    auto* history =
        new QRadioButton(QStringLiteral("The whole ranking history of this site"), &dialog);
    grid->setChecked(true);
    history->setEnabled(historyAvailable);
    layout->addWidget(grid);
    layout->addWidget(history);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const TExportKind kind =
        history->isChecked() ? TExportKind::SiteHistory : TExportKind::GridRows;
    const QString path = QFileDialog::getSaveFileName(owner, QStringLiteral("Export"), name(kind),
                                                      QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return std::nullopt;
    return TExportChoice{kind, path};
}

} // namespace

void SetExportAsker(TExportAsker asker) {
    Asker() = std::move(asker);
}

QString DefaultExportPath(TExportKind kind, const std::string& site, Date today) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    QString host = QString::fromStdString(SiteHost(site));
    host.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (host.isEmpty())
        host = QStringLiteral("Quorvia");
    const QString what =
        kind == TExportKind::SiteHistory ? QStringLiteral("history") : QStringLiteral("rankings");
    return QDir(folder).filePath(
        QStringLiteral("%1 %2 %3.csv").arg(host, what, QString::fromStdString(today.ToIso())));
}

void ExportActionExecute(QWidget* owner, TClientDataSet& resultRows, THistoryStore* history,
                         const std::string& site, Date today) {
    const auto name = [&](TExportKind kind) { return DefaultExportPath(kind, site, today); };
    const std::optional<TExportChoice> choice =
        Asker() ? Asker()(owner, history != nullptr, name)
                : AskWithDialogs(owner, history != nullptr, name);
    if (!choice)
        return;
    try {
        const std::string path = choice->path.toStdString();
        if (choice->kind == TExportKind::SiteHistory && history)
            ExportHistoryCsv(*history, site, path);
        else
            ExportResultRowsCsv(resultRows, path);
    } catch (const std::exception& e) {
        ShowErrorBox(owner, QString::fromStdString(e.what()));
    }
}

} // namespace quorvia
