#include "store/WebSiteForm.h"

#include "app/DialogFrame.h"
#include "store/NewWebSiteForm.h"
#include "store/Sites.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>

namespace quorvia {

namespace {

// The address shown as an example in the add-site prompt.
constexpr const char* ExampleSite = "www.example.com";

} // namespace

TWebSiteForm::TWebSiteForm(QWidget* owner, TClientDataSet& sites) : QDialog(owner), sites_(sites) {
    setWindowTitle(QStringLiteral("URL Manager "));

    SiteList = new QTableWidget(0, 1, this);
    SiteList->setObjectName(QStringLiteral("SiteList"));
    SiteList->setGeometry(8, 8, 385, 193);
    SiteList->setHorizontalHeaderLabels({QStringLiteral("Web address")});
    SiteList->horizontalHeader()->setStretchLastSection(true);
    SiteList->horizontalHeader()->setSectionsClickable(false);
    SiteList->verticalHeader()->hide();
    SiteList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SiteList->setSelectionBehavior(QAbstractItemView::SelectRows);
    SiteList->setSelectionMode(QAbstractItemView::SingleSelection);

    AddTBXButton = new QPushButton(QStringLiteral("Add"), this);
    AddTBXButton->setObjectName(QStringLiteral("AddTBXButton"));
    AddTBXButton->setGeometry(8, 207, 75, 25);
    AddTBXButton->setAutoDefault(false);
    DeleteTBXButton = new QPushButton(QStringLiteral("Delete"), this);
    DeleteTBXButton->setObjectName(QStringLiteral("DeleteTBXButton"));
    DeleteTBXButton->setGeometry(89, 207, 75, 25);
    DeleteTBXButton->setAutoDefault(false);
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(318, 207, 75, 25);
    CloseButton->setDefault(true); // Enter closes; Esc closes as every dialog's rejection

    connect(AddTBXButton, &QPushButton::clicked, this, &TWebSiteForm::AddTBXButtonClick);
    connect(DeleteTBXButton, &QPushButton::clicked, this, &TWebSiteForm::DeleteTBXButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(SiteList, &QTableWidget::itemSelectionChanged, this, &TWebSiteForm::SiteListRowChanged);

    ShowSites();
    MakeFixedDialog(*this, QSize(401, 239));
}

void TWebSiteForm::ShowSites() {
    const QSignalBlocker quiet(SiteList);
    const int field = sites_.FindFieldIndex("SiteName");
    SiteList->setRowCount(sites_.RecordCount());
    for (int row = 0; row < sites_.RecordCount(); ++row)
        SiteList->setItem(row, 0,
                          new QTableWidgetItem(QString::fromStdString(sites_.TextAt(row, field))));
    SiteList->clearSelection();
    if (sites_.RecNo() >= 0)
        SiteList->selectRow(sites_.RecNo());
}

void TWebSiteForm::SiteListRowChanged() {
    const QList<QTableWidgetItem*> selected = SiteList->selectedItems();
    if (!selected.isEmpty() && selected.front()->row() != sites_.RecNo())
        sites_.MoveTo(selected.front()->row());
}

void TWebSiteForm::AddTBXButtonClick() {
    TNewWebSiteForm form(this);
    form.setWindowTitle(QStringLiteral("Add new site"));
    form.SetPrompt(QStringLiteral("Web site (e.g. ") + QString::fromLatin1(ExampleSite) +
                   QStringLiteral("):"));
    if (form.exec() != QDialog::Accepted)
        return;
    AddSite(sites_, form.SiteName());
    ShowSites();
}

void TWebSiteForm::DeleteTBXButtonClick() {
    if (sites_.IsEmpty())
        return;
    const std::string question = DeleteSiteQuestion(sites_.FieldByName("SiteName").AsString());
    if (QMessageBox::question(this, QStringLiteral("Confirmation"),
                              QString::fromStdString(question),
                              QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    DeleteCurrentSite(sites_);
    ShowSites();
}

void EditSites(QWidget* owner, TTables& tables) {
    TWebSiteForm form(owner, tables.WebSiteClientDataSet);
    {
        const TControlsOff off(tables.WordClientDataSet);
        form.exec();
    }
    tables.WebSiteClientDataSet.CheckBrowseMode();
}

} // namespace quorvia
