// The main window's menu commands that lead out of it: the help window, the support mail, the
// maker's pages, the distribution terms, the About box and the connection settings.

#include "app/MainForm.h"

#include "app/AboutForm.h"
#include "app/HelpCommands.h"
#include "app/HelpForm.h"
#include "app/MessageBoxes.h"
#include "settings/SettingsForm.h"

#include <QMouseEvent>

#include <exception>
#include <functional>

namespace quorvia {

namespace {

// A failure of a command ends it in the standard error box; the window goes on.
void RunCommand(QWidget* owner, const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        ShowErrorBox(owner, QString::fromStdString(e.what()));
    }
}

} // namespace

void TMainForm::HelpActionExecute() {
    ShowHelpWindow(this);
}

void TMainForm::SupportActionExecute() {
    OpenSupportMail();
}

void TMainForm::CheckUpdateActionExecute() {
    OpenUpdatesPage();
}

void TMainForm::ImageClick() {
    OpenProductPage();
}

void TMainForm::DistributionActionExecute() {
    ShowDistributionTerms(this);
}

void TMainForm::AboutActionExecute() {
    RunCommand(this, [this] { ShowAboutBox(this); });
}

void TMainForm::SettingsActionExecute() {
    RunCommand(this, [this] { EditConnectionSettings(this); });
}

bool TMainForm::PictureClickEvent(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease ||
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return false;
    if (watched != Image && watched != PlayPanel && watched != Image1)
        return false;
    auto* picture = static_cast<QWidget*>(watched);
    if (!picture->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
        return false; // released outside: no click
    ImageClick();
    return true;
}

} // namespace quorvia
