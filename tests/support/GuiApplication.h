#pragma once
// Widget tests need one QApplication for the whole test program; the first call makes it.

#include <QApplication>

namespace quorvia::testing {

inline void EnsureGuiApplication() {
    static int argc = 1;
    static char name[] = "quorvia_widget_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
}

} // namespace quorvia::testing
