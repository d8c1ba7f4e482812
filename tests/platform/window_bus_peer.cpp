// The other process of the window bus tests. It registers a window with the
// caption given as its argument, answers a WM_COPYDATA with the number of
// bytes it carried, then sends "Audio Closed" back to the window named in
// wParam (as the player does), and ends on WM_CLOSE.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

#include "platform/window_bus.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) return 2;
    kinolux::BusWindow window;
    std::string error;
    bool registered = window.Register(argv[1], [&](const kinolux::BusMessage& message) -> int64_t {
        if (message.message == kinolux::WM_CLOSE) {
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
            return 0;
        }
        if (message.message != kinolux::WM_COPYDATA) return 0;
        kinolux::WindowHandle sender = message.wParam;
        kinolux::WindowHandle self = window.Handle();
        QTimer::singleShot(0, &app, [sender, self] {
            kinolux::BusMessage answer{kinolux::WM_COPYDATA, self, 0, std::string("Audio Closed", 13)};
            kinolux::SendMessage(sender, answer);
        });
        return static_cast<int64_t>(message.data.size());
    }, error);
    if (!registered) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return app.exec();
}
