#pragma once

#include <QApplication>

namespace velloq::testing {

// One QApplication for the whole test program, created on first use. Widget
// tests run on Qt's offscreen platform (QT_QPA_PLATFORM=offscreen).
inline QApplication& qtApp() {
    static int argc = 1;
    static char name[] = "velloq-tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

} // namespace velloq::testing
