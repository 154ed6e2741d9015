#include "store/NewWebSiteForm.h"

#include "app/DialogFrame.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace quorvia {

TNewWebSiteForm::TNewWebSiteForm(QWidget* owner) : QDialog(owner) {
    PromptLabel = new QLabel(this);
    PromptLabel->setObjectName(QStringLiteral("PromptLabel"));
    PromptLabel->setGeometry(8, 8, 249, 16);
    SiteNameEdit = new QLineEdit(this);
    SiteNameEdit->setObjectName(QStringLiteral("SiteNameEdit"));
    SiteNameEdit->setGeometry(8, 28, 249, 22);
    PromptLabel->setBuddy(SiteNameEdit);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    ok->setGeometry(101, 61, 75, 25);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setGeometry(182, 61, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject); // Esc rejects as well

    MakeFixedDialog(*this, QSize(264, 94));
}

void TNewWebSiteForm::SetPrompt(const QString& prompt) {
    PromptLabel->setText(prompt);
}

std::string TNewWebSiteForm::SiteName() const {
    return SiteNameEdit->text().toStdString();
}

} // namespace quorvia
