// The Qt application object of a test program, made once for the whole
// program: tests with widgets want a QApplication, the others a
// QCoreApplication.
#pragma once

#include <QCoreApplication>

namespace kinolux::testing {

template <class Application>
inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "kinolux_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new Application(argc, argv);
}

}  // namespace kinolux::testing
