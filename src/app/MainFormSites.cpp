// The main window's site selector, its "Edit" button and the four keyword boxes. The rules
// live in store/Sites; here they meet the widgets.

#include "app/MainForm.h"

#include "store/Sites.h"
#include "store/WebSiteForm.h"
#include "view/ResultsGrid.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QToolButton>

namespace quorvia {

const char* const TMainForm::FirstRunGuide =
    "To check your rankings: press \u201cEdit\u201d and add your web site, type up to four "
    "keywords above, tick the search engines on the left, then press \u201cCheck My "
    "Rankings\u201d.";

void TMainForm::ShowSelectedSite() {
    TClientDataSet& sites = Tables.WebSiteClientDataSet;
    {
        // The sites may have been added or deleted even when the value stays.
        const QSignalBlocker quiet(WebSiteRxDBLookupCombo);
        WebSiteRxDBLookupCombo->clear();
        for (const std::string& name : SiteNames(sites))
            WebSiteRxDBLookupCombo->addItem(QString::fromStdString(name));
    }
    ChooseSiteValue(CurrentSiteName(sites));
    ShowFirstRunGuide();
}

void TMainForm::ChooseSiteValue(const std::string& value) {
    TClientDataSet& sites = Tables.WebSiteClientDataSet;
    const bool changed = ChooseSite(sites, siteValue_, value);
    {
        const QSignalBlocker quiet(WebSiteRxDBLookupCombo);
        WebSiteRxDBLookupCombo->setCurrentIndex(siteValue_.empty() ? -1 : sites.RecNo());
    }
    if (changed)
        WebSiteRxDBLookupComboChange();
}

void TMainForm::WebSiteRxDBLookupComboChange() {
    RefreshResults();
    Stored.WebSite = siteValue_;
}

void TMainForm::EditTBXButtonClick() {
    // The button takes no focus, so a keyword box being typed in has not been left yet.
    StorePendingKeywords();
    EditSites(this, Tables);
    ShowSelectedSite();
}

// ---------------------------------------------------------------------------------------------
// The keyword boxes.

void TMainForm::ShowKeywords() {
    if (typingKeyword_)
        return; // the box being typed in already shows what its field now holds
    const std::array<std::string, 4> texts = KeywordTexts(Tables.WordClientDataSet);
    QLineEdit* boxes[] = {DBEdit1, DBEdit2, DBEdit3, DBEdit4};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const QString text = QString::fromStdString(texts[i]);
        if (boxes[i]->text() != text)
            boxes[i]->setText(text);
    }
    ShowFirstRunGuide();
}

void TMainForm::ShowFirstRunGuide() {
    // Without a site there is no keyword record to type into: the boxes wait, and the empty
    // grid says where to begin. During a scan "Edit" is disabled, and the boxes with it.
    const bool noSite = Tables.WebSiteClientDataSet.IsEmpty();
    for (QLineEdit* box : {DBEdit1, DBEdit2, DBEdit3, DBEdit4})
        box->setEnabled(!noSite && EditTBXButton->isEnabled());
    ResDBGridEh->SetEmptyText(noSite ? QString::fromUtf8(FirstRunGuide) : QString());
}

void TMainForm::KeywordTyped(std::size_t box, const QString& text) {
    const QScopedValueRollback typing(typingKeyword_, true);
    TypeKeyword(Tables.WordClientDataSet, box, text.toStdString());
}

void TMainForm::StorePendingKeywords() {
    if (Tables.WordClientDataSet.State() != TableState::Browse)
        DBEdit1Exit();
}

void TMainForm::DBEdit1Exit() {
    FinishKeywordEdit(Tables.WordClientDataSet);
    RefreshResults();
}

void TMainForm::DBEdit1KeyPress(char key) {
    if (key == '\r')
        DBEdit1Exit();
}

bool TMainForm::KeywordBoxEvent(QObject* watched, QEvent* event) {
    if (watched != DBEdit1 && watched != DBEdit2 && watched != DBEdit3 && watched != DBEdit4)
        return false;
    if (event->type() == QEvent::FocusOut) {
        // A context menu or another application taking the focus does not leave the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            DBEdit1Exit();
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter in a keyword box stores the keywords, as leaving the box does, and refreshes
            // the grid; it does not go on to the scan button, the window's default button. A
            // scan is started only by the button itself, and always from stored keywords.
            DBEdit1KeyPress('\r');
            return true;
        }
    }
    return false;
}

} // namespace quorvia
