#pragma once
// The one QApplication of a Qt test program, created on first use (on the offscreen
// platform that the test runner sets), with what the browser engine needs set before it.
// It is destroyed when the tests are over, before the program's statics: the browser
// engine's threads must end while Qt still stands (a leaked application crashes at exit).
#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <functional>

#include "ui/web/WebEngineEnvironment.h"

namespace qelt::test {

inline QApplication*& AppInstance() {
    static QApplication* app = nullptr;
    return app;
}

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "qelt_tests";
    static char* argv[] = {name, nullptr};
    if (!AppInstance()) {
        // The information view may open the browser engine: it needs its settings first.
        PrepareWebEngine(argc, argv);
        AppInstance() = new QApplication(argc, argv);
    }
    return *AppInstance();
}

class AppTearDown : public ::testing::Environment {
  public:
    void TearDown() override {
        delete AppInstance();
        AppInstance() = nullptr;
    }
};

/// Runs the application's events until `done` holds (true) or `timeout` has passed (false).
inline bool SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline ::testing::Environment* const kAppTearDown = ::testing::AddGlobalTestEnvironment(new AppTearDown);

}  // namespace qelt::test
