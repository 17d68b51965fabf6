#pragma once
// The one QApplication of a Qt test program, created on first use (on the offscreen
// platform that the test runner sets), with what the browser engine needs set before it.
#include <QApplication>

#include "ui/web/WebEngineEnvironment.h"

namespace qelt::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "qelt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        // The information view may open the browser engine: it needs its settings first.
        PrepareWebEngine(argc, argv);
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace qelt::test
