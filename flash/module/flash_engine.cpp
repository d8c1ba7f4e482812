#include "flash/module/flash_engine.h"

#include "flash/core/movie_file.h"
#include "flash/render/bitmap_services.h"
#include "flash/swf/error.h"

namespace flash {

std::unique_ptr<Engine> Engine::fromBytes(std::vector<std::uint8_t> bytes, std::string* error,
                                          const kinolux::script::ScriptLimits& limits) {
    try {
        PlayerOptions options;
        options.scriptLimits = limits;
        options.renderServices = &render::makeBitmapServices;
        auto player = std::make_unique<Player>(swf::Bytes(bytes), std::move(options));
        return std::unique_ptr<Engine>(new Engine(std::move(player)));
    } catch (const swf::Error& e) {
        if (error) *error = e.what();
    } catch (const std::bad_alloc&) {
        if (error) *error = "not enough memory to load the movie";
    }
    return nullptr;
}

std::unique_ptr<Engine> Engine::fromFile(const std::string& path, std::string* error) {
    const std::optional<QByteArray> data = readMovieFile(path, error);
    if (!data) return nullptr;
    std::vector<std::uint8_t> bytes(data->begin(), data->end());
    auto engine = fromBytes(std::move(bytes), error);
    if (!engine && error) *error = path + ": " + *error;
    return engine;
}

QSize Engine::stageSize() const { return player_->stageSize(); }

void Engine::render(QImage& target, const render::RenderOptions& options) { renderer_.render(*player_, target, options); }

QImage Engine::render(QSize size, const render::RenderOptions& options) {
    if (size.isEmpty()) size = stageSize();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull()) render(image, options);
    return image;
}

}  // namespace flash
