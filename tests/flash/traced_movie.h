// A movie made in memory and played, with every line its scripts traced.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "flash/core/player.h"

namespace testmovies {

// Held together because the player reads the file in place and traces
// into the list for as long as it lives.
struct TracedMovie {
    std::vector<std::uint8_t> file;
    std::unique_ptr<flash::Player> player;
    std::vector<std::string> traces;
};

// Plays `file` with `options`, whose trace is taken over to fill `traces`.
inline std::unique_ptr<TracedMovie> playTraced(std::vector<std::uint8_t> file, flash::PlayerOptions options = {}) {
    auto movie = std::make_unique<TracedMovie>();
    movie->file = std::move(file);
    TracedMovie* self = movie.get();
    options.trace = [self](std::string_view line) { self->traces.emplace_back(line); };
    movie->player = std::make_unique<flash::Player>(swf::Bytes(movie->file), std::move(options));
    return movie;
}

}  // namespace testmovies
