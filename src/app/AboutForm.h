#pragma once
// The About box: the product logo, the version and update name, the support and update links,
// the maker's contact details and the legal notices.

#include "platform/ProgramVersion.h"

#include <QDialog>

class QLabel;

namespace quorvia {

class TClickLabel;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* owner);

    // Shows the version, then the update name ("revision_name" of the program's registry key,
    // which is created when missing). When the key cannot be opened the line keeps its design
    // text "Knowledge Base".
    void ShowInformation(FixedFileVersion version);

private slots:
    void ProgramIconClick();
    void Label2Click();
    void Label4Click();

private:
    TClickLabel* ProgramIcon;
    QLabel* VersionLabel;
    QLabel* UpdateNameLabel;
    TClickLabel* Label2;
    TClickLabel* Label4;
};

// The "About..." command: the box with this build's version, shown modally and released.
void ShowAboutBox(QWidget* owner);

} // namespace quorvia
