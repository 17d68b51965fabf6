#pragma once
// The one QApplication of a Qt test program, created on first use (on the offscreen
// platform that the test runner sets).
#include <QApplication>

namespace qelt::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "qelt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace qelt::test
