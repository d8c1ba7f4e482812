// The Qt application object of a test, benchmark or fuzzing program, made
// once for the whole program: tests with widgets want a QApplication,
// drawing a QGuiApplication, the others a QCoreApplication.
#pragma once

#include <QCoreApplication>

namespace kinolux::testing {

template <class Application>
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "kinolux_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance()) return;
    // CTest runs tests on the offscreen platform; benchmarks and fuzzers,
    // started by hand, get it too unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new Application(argc, argv);
}

}  // namespace kinolux::testing
