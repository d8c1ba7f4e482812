// The engine module's C++ interface: a movie loaded from a file or bytes,
// advanced one frame per tick, drawn into pictures of any size.
#pragma once

#include <QImage>
#include <QSize>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/player.h"
#include "flash/render/renderer.h"

namespace flash {

class Engine {
public:
    // Null, with a message in *error, when the movie cannot be read.
    static std::unique_ptr<Engine> fromFile(const std::string& path, std::string* error);
    // `limits` bound the movie's scripts (the player's own by default).
    static std::unique_ptr<Engine> fromBytes(std::vector<std::uint8_t> bytes, std::string* error,
                                             const kinolux::script::ScriptLimits& limits = {});

    Player& player() { return *player_; }
    const Player& player() const { return *player_; }
    QSize stageSize() const;  // pixels, at least 1x1
    // What the reader skipped or repaired while loading, one line each.
    const std::vector<std::string>& warnings() const { return player_->movie().warnings; }

    // Pictures that could not be drawn (undecodable bitmaps), one line each.
    const std::vector<std::string>& renderProblems() const { return renderer_.problems(); }

    void tick() { player_->tick(); }

    // Draws the current frame into target (ARGB32 premultiplied, any size).
    void render(QImage& target, const render::RenderOptions& options = {});
    // A new picture of the given size (the stage size when empty).
    QImage render(QSize size = {}, const render::RenderOptions& options = {});

private:
    explicit Engine(std::unique_ptr<Player> player) : player_(std::move(player)) {}

    std::unique_ptr<Player> player_;
    render::Renderer renderer_;
};

}  // namespace flash
