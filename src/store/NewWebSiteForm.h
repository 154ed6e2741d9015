#pragma once
// The one-line dialog that asks for a new site's address. Its caption and prompt are set by
// the one who opens it.

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;

namespace quorvia {

class TNewWebSiteForm : public QDialog {
    Q_OBJECT
public:
    explicit TNewWebSiteForm(QWidget* owner);

    void SetPrompt(const QString& prompt);
    std::string SiteName() const;

private:
    QLabel* PromptLabel;
    QLineEdit* SiteNameEdit;
};

} // namespace quorvia
