// Small movies with known content for the engine's tests, written with the
// SWF writer.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "flash/swf/shape_builder.h"
#include "flash/swf/types.h"
#include "flash/swf/write.h"
#include "tests/platform/outside_requirements.h"

namespace testmovies {

inline std::string corpusDir() { return kinolux::testing::CorpusDir().string(); }

inline swf::Header header(int widthPx = 100, int heightPx = 100, int frames = 1,
                          swf::Compression c = swf::Compression::None) {
    swf::Header h;
    h.compression = c;
    h.version = 10;
    h.stageSize = {0, widthPx * 20, 0, heightPx * 20};
    h.frameRate = 25 << 8;
    h.frameCount = std::uint16_t(frames);
    return h;
}

// A filled rectangle in pixels, drawn from its own origin.
inline swf::DefineShape rect(swf::CharacterId id, swf::Color color, int x, int y, int w, int h) {
    swf::ShapeBuilder b;
    b.fill1(1).rectangle(x * 20, y * 20, w * 20, h * 20);
    return swf::makeShape(id, 3, {{swf::solidFill(color)}, {}}, b);
}

inline swf::Matrix at(int xPx, int yPx) {
    swf::Matrix m;
    m.tx = xPx * 20;
    m.ty = yPx * 20;
    return m;
}

inline swf::PlaceObject place(swf::Depth depth, swf::CharacterId id, swf::Matrix m = {}) {
    swf::PlaceObject p;
    p.depth = depth;
    p.characterId = id;
    p.matrix = m;
    return p;
}

inline swf::PlaceObject modify(swf::Depth depth, swf::Matrix m) {
    swf::PlaceObject p;
    p.action = swf::PlaceAction::Modify;
    p.depth = depth;
    p.matrix = m;
    return p;
}

inline swf::RemoveObject remove(swf::Depth depth) {
    swf::RemoveObject r;
    r.depth = depth;
    return r;
}

inline std::vector<std::uint8_t> movie(const std::vector<swf::Tag>& tags, swf::Header h = header()) {
    return swf::writeMovie(h, tags);
}

}  // namespace testmovies
