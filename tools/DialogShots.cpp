// Writes pictures of the program's dialogs into a folder, for the documentation:
//   quorvia_dialog_shots <folder>      (run under a real display, e.g. xvfb-run)

#include "app/AboutForm.h"
#include "app/HelpForm.h"
#include "platform/ProgramFolder.h"
#include "platform/ProgramVersion.h"
#include "settings/SettingsForm.h"
#include "store/NewWebSiteForm.h"
#include "store/Sites.h"
#include "store/WebSiteForm.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <fstream>

using namespace quorvia;

namespace {

void Shoot(QWidget& dialog, const QString& file) {
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(file);
    dialog.hide();
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTemporaryDir folder;
    SetProgramFolder(folder.path().toStdString());
    std::ofstream(ProgramFolder() + "ua.lst")
        << "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)\nMozilla/5.0 (X11; Linux x86_64)\n";
    qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());

    TSettingsForm settings(nullptr);
    TConnectionSettings shown;
    shown.ConnectType = 2;
    shown.Proxy = "proxy.example";
    shown.ProxyPort = 3128;
    shown.UseAuth = 1;
    shown.Username = "webmaster";
    shown.Password = "secret";
    settings.ShowSettings(shown);
    Shoot(settings, out.filePath(QStringLiteral("settings-dialog.png")));

    TTables tables;
    for (const char* site : {"www.example.com", "shop.example.org", "blog.example.net"})
        AddSite(tables.WebSiteClientDataSet, site);
    tables.WebSiteClientDataSet.MoveTo(1);
    TWebSiteForm sites(nullptr, tables.WebSiteClientDataSet);
    Shoot(sites, out.filePath(QStringLiteral("url-manager.png")));

    TNewWebSiteForm add(nullptr);
    add.setWindowTitle(QStringLiteral("Add new site"));
    add.SetPrompt(QStringLiteral("Web site (e.g. www.example.com):"));
    Shoot(add, out.filePath(QStringLiteral("add-new-site.png")));

    TAboutForm about(nullptr);
    about.ShowInformation(ProgramFileVersion());
    Shoot(about, out.filePath(QStringLiteral("about-box.png")));

    // The help window on the grid's page, as "Help topics" opens it over the shipped pages.
    THelpForm help(nullptr, QUORVIA_HELP_PAGES);
    help.ShowPage(QStringLiteral("grid.html"));
    Shoot(help, out.filePath(QStringLiteral("help-window.png")));
    return 0;
}
