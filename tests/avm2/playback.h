// A hand-built movie played on the player: what it traced, the errors its
// scripts left and the picture of its stage afterwards.
#pragma once

#include <QGuiApplication>
#include <QImage>
#include <string>
#include <vector>

#include "flash/core/player.h"
#include "flash/render/renderer.h"
#include "tests/platform/test_application.h"

namespace avm2test {

struct Playback {
    std::vector<std::string> traces;
    std::vector<std::string> errors;
    QImage picture;
};

// Text is laid out in the application's fonts, so one is made first.
inline Playback play(const std::vector<std::uint8_t>& file, int ticks = 0) {
    kinolux::testing::EnsureApplication<QGuiApplication>();
    Playback run;
    flash::PlayerOptions options;
    options.trace = [&](std::string_view line) { run.traces.emplace_back(line); };
    flash::Player player(swf::Bytes(file), std::move(options));
    for (int i = 0; i < ticks; ++i) player.tick();
    run.errors = player.scriptErrors();
    flash::render::Renderer renderer;
    run.picture = renderer.picture(player);
    return run;
}

}  // namespace avm2test
