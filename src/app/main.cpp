// The program entry: one instance per user, the title, the main window, the message loop.

#include "app/MainForm.h"
#include "platform/InstanceLock.h"

#include <QApplication>

int main(int argc, char** argv) {
    const quorvia::InstanceLock lock("{F0DFE169-1DCE-47F7-B541-B52D5A23ACFA}");
    if (lock.AnotherInstanceRuns())
        return 0; // silently: the running instance is left as it is
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QString::fromUtf8(quorvia::TMainForm::Caption));
    int result = 0;
    {
        quorvia::TMainForm form;
        form.show();
        result = QApplication::exec();
    } // the window's destruction runs the shutdown steps
    return result;
}
