#pragma once
// The site list dialog ("URL Manager "): the sites in table order; selecting a row makes that
// site current; "Add" asks for a new one, "Delete" removes the current one after asking.

#include "store/Tables.h"

#include <QDialog>

class QPushButton;
class QTableWidget;

namespace quorvia {

class TWebSiteForm : public QDialog {
    Q_OBJECT
public:
    TWebSiteForm(QWidget* owner, TClientDataSet& sites);

public slots:
    void AddTBXButtonClick();
    void DeleteTBXButtonClick();

private:
    // Lists the sites again and selects the current one.
    void ShowSites();
    void SiteListRowChanged();

    TClientDataSet& sites_;
    QTableWidget* SiteList;
    QPushButton* AddTBXButton;
    QPushButton* DeleteTBXButton;
    QPushButton* CloseButton;
};

// Steps of the "Edit" button up to the choice of the site: the dialog runs modally while the
// keyword table's views stand still, then they follow it again and a pending change of the
// site table is finished. The current site of the table is then the one to show.
void EditSites(QWidget* owner, TTables& tables);

} // namespace quorvia
