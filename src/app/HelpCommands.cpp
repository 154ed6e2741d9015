#include "app/HelpCommands.h"

#include "app/ShellOpen.h"
#include "platform/ProgramFolder.h"

#include <QMessageBox>
#include <QString>

namespace quorvia {

std::string DistributionTerms() {
    return "Quorvia: terms of distribution\n"
           "\n"
           "You may copy Quorvia and pass it on to others free of charge, provided that you "
           "pass on the complete product, with every file of its original installation package "
           "and without any change to any of them, and that you ask nothing for it beyond the "
           "cost of the medium that carries it. Web sites may link directly to the installation "
           "file, on condition that a link to the web site of Halvex is shown beside that link. "
           "Quorvia may also be published on the cover discs of magazines and on other software "
           "collections under the same terms.\n"
           "\n"
           "More about distributing Quorvia is in the file " +
           ShippedFile("distribution.txt") + ".";
}

std::string SupportMailLink() {
    return "mailto:" + std::string(SupportMailAddress) + "?subject=" + std::string(SupportSubject);
}

void OpenSupportMail() {
    ShellOpen(SupportMailLink());
}

void OpenUpdatesPage() {
    ShellOpen(std::string(UpdatesPage));
}

void OpenProductPage() {
    ShellOpen(std::string(ProductPage));
}

void ShowDistributionTerms(QWidget* owner) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Program distribution"),
                    QString::fromStdString(DistributionTerms()), QMessageBox::Ok, owner);
    box.exec();
}

} // namespace quorvia
