// A hand-built movie played on the player: what it traced, the errors its
// scripts left, the frame it reached and the picture of its stage.
#pragma once

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <string>
#include <vector>

#include "flash/core/player.h"
#include "flash/render/bitmap_services.h"
#include "flash/render/renderer.h"
#include "tests/platform/test_application.h"

namespace avm2test {

struct Playback {
    std::vector<std::string> traces;
    std::vector<std::string> errors;
    QImage picture;
    int frame = 0;  // the main timeline's, after the ticks
    bool quit = false;  // the movie asked its host to quit
};

// Text is laid out in the application's fonts, so one is made first.
// `path` is where the movie says it was read from (the folder its loaders
// read from).
inline Playback play(const std::vector<std::uint8_t>& file, int ticks = 0, const std::string& path = {}) {
    kinolux::testing::EnsureApplication<QGuiApplication>();
    Playback run;
    flash::PlayerOptions options;
    options.trace = [&](std::string_view line) { run.traces.emplace_back(line); };
    options.renderServices = &flash::render::makeBitmapServices;
    options.path = path;
    flash::Player player(swf::Bytes(file), std::move(options));
    for (int i = 0; i < ticks; ++i) player.tick();
    run.errors = player.scriptErrors();
    run.frame = player.currentFrame();
    run.quit = player.quitRequested();
    flash::render::Renderer renderer;
    run.picture = renderer.picture(player);
    return run;
}

// The movie's scripts reported one error, and it holds `part`.
inline void expectOneError(const Playback& run, const std::string& part) {
    ASSERT_EQ(run.errors.size(), 1u);
    EXPECT_NE(run.errors[0].find(part), std::string::npos) << run.errors[0];
}

}  // namespace avm2test
