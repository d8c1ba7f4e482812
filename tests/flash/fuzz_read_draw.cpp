// Fuzz target: read a movie, run a few frames and draw each into a small
// picture, with a little keyboard and mouse use. Anything the reader
// refuses is fine; crashes, hangs and leaks are not.
#include <QGuiApplication>
#include <cstdint>
#include <vector>

#include "flash/module/flash_engine.h"
#include "tests/platform/test_application.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kinolux::testing::EnsureApplication<QGuiApplication>();
    std::string error;
    // A movie that loops for ever is stopped by the script time limit; at
    // the player's 15 s (counted in actions) an instrumented build would take
    // minutes to get there, so the limit here is a twentieth of a second.
    kinolux::script::ScriptLimits limits;
    limits.timeLimitSeconds = 0.05;
    auto engine = flash::Engine::fromBytes(std::vector<std::uint8_t>(data, data + size), &error, limits);
    if (!engine) return 0;
    QImage picture(64, 48, QImage::Format_ARGB32_Premultiplied);
    for (int frame = 0; frame < 3; ++frame) {
        engine->render(picture);
        engine->tick();
    }
    // Keyboard focus and the mouse: Tab order, the focus rectangle and the
    // buttons that only hide it.
    flash::Player& player = engine->player();
    player.keyDown(9, 9);
    engine->render(picture);
    player.mouseMove(10, 10);
    player.mouseDown(flash::Player::MouseButton::Right);
    player.mouseDown();
    player.mouseUp();
    player.gotoFrame(0);
    engine->render(picture);
    return 0;
}
