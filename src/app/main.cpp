// The program entry: one instance per user, the title, the main window, the message loop.

#include "app/MainForm.h"
#include "app/MessageBoxes.h"
#include "platform/InstanceLock.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv) {
    const quorvia::InstanceLock lock(quorvia::ProgramLockName, quorvia::WindowLockHolder);
    if (lock.AnotherInstanceRuns()) {
        if (lock.OtherHolder() != quorvia::ToolLockHolder)
            return 0; // silently: the running instance is left as it is
        // A check of the command-line tool writes the same files: say why nothing opens.
        const char* const text = "A check of your rankings is running (quorvia-cli). Start "
                                 "Quorvia again when it has finished.";
        std::cerr << "quorvia: " << text << "\n";
        QApplication app(argc, argv);
        quorvia::ShowInformationBox(nullptr, QString::fromUtf8(quorvia::TMainForm::Caption),
                                    QString::fromUtf8(text));
        return 0;
    }
    // No application display name: the window system would append it to every dialog's title.
    QApplication app(argc, argv);
    int result = 0;
    {
        quorvia::TMainForm form;
        form.show();
        result = QApplication::exec();
    } // the window's destruction runs the shutdown steps
    return result;
}
