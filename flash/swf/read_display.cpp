#include "flash/swf/read_internal.h"

namespace swf::detail {
namespace {

std::vector<ClipAction> readClipActions(ByteReader& r, std::uint8_t swfVersion) {
    auto readEvents = [&] { return swfVersion >= 6 ? r.u32() : std::uint32_t(r.u16()); };
    r.u16();  // reserved
    readEvents();  // union of all events
    std::vector<ClipAction> actions;
    // The Flash player runs the records it could read before a damaged one.
    try {
        while (!r.atEnd()) {
            std::uint32_t events = readEvents();
            if (events == 0) break;
            ClipAction a;
            a.events = events;
            std::uint32_t size = r.u32();
            if (size > r.remaining()) r.fail("clip action longer than its tag");
            if (events & ClipEvent::KeyPress && size > 0) {
                a.keyCode = r.u8();
                --size;
            }
            a.actions = r.bytes(size);
            actions.push_back(a);
        }
    } catch (const Error&) {
    }
    return actions;
}

// Drop shadow, glow, bevel and the gradient filters share their blur, the
// offset (all but glow), the strength and the same flag bits.
template <class F>
void readFilterBody(ByteReader& r, F& f, bool hasOnTop) {
    f.blurX = r.i32();
    f.blurY = r.i32();
    if constexpr (requires { f.angle; }) {
        f.angle = r.i32();
        f.distance = r.i32();
    }
    f.strength = r.i16();
    f.inner = r.bit();
    f.knockout = r.bit();
    f.compositeSource = r.bit();
    if constexpr (requires { f.onTop; }) {
        if (hasOnTop) f.onTop = r.bit();
        f.passes = std::uint8_t(r.ubits(hasOnTop ? 4 : 5));
    } else {
        f.passes = std::uint8_t(r.ubits(5));
    }
    r.align();
}

// Drop shadow and glow: one colour, then the shared body.
template <class F>
F readOneColorFilter(ByteReader& r) {
    F f;
    f.color = r.rgba();
    readFilterBody(r, f, false);
    return f;
}

// Modes 0 and 1 both mean normal, and so does any mode the player does not know.
BlendMode readBlendMode(ByteReader& r) {
    std::uint8_t mode = r.u8();
    return mode <= 1 || mode > 14 ? BlendMode::Normal : BlendMode(mode);
}

Filter readFilter(ByteReader& r) {
    std::uint8_t id = r.u8();
    switch (id) {
    case 0: return readOneColorFilter<DropShadowFilter>(r);
    case 1: {
        BlurFilter f;
        f.blurX = r.i32();
        f.blurY = r.i32();
        f.passes = std::uint8_t(r.ubits(5));
        r.align();
        return f;
    }
    case 2: return readOneColorFilter<GlowFilter>(r);
    case 3: {
        BevelFilter f;
        // The highlight colour comes first in the file.
        f.highlightColor = r.rgba();
        f.shadowColor = r.rgba();
        readFilterBody(r, f, true);
        return f;
    }
    case 4:
    case 7: {
        GradientFilter f;
        f.bevel = id == 7;
        std::size_t n = r.u8();
        f.colors.resize(n);
        for (auto& c : f.colors) c.color = r.rgba();
        for (auto& c : f.colors) c.ratio = r.u8();
        readFilterBody(r, f, true);
        return f;
    }
    case 5: {
        ConvolutionFilter f;
        f.columns = r.u8();
        f.rows = r.u8();
        f.divisor = r.f32();
        f.bias = r.f32();
        std::size_t n = std::size_t(f.columns) * f.rows;
        if (n * 4 > r.remaining()) r.fail("convolution matrix longer than its tag");
        f.matrix.resize(n);
        for (auto& v : f.matrix) v = r.f32();
        f.defaultColor = r.rgba();
        std::uint8_t flags = r.u8();
        f.clamp = flags & 2;
        f.preserveAlpha = flags & 1;
        return f;
    }
    case 6: {
        ColorMatrixFilter f;
        for (float& v : f.matrix) v = r.f32();
        return f;
    }
    default: r.fail("unknown filter type " + std::to_string(id));
    }
}

}  // namespace

std::vector<Filter> readFilters(ByteReader& r) {
    std::size_t n = r.u8();
    std::vector<Filter> filters;
    for (std::size_t i = 0; i < n; ++i) filters.push_back(readFilter(r));
    return filters;
}

PlaceObject readPlaceObject(ByteReader& r, int version, std::uint8_t swfVersion) {
    PlaceObject p;
    p.version = std::uint8_t(version);
    if (version == 1) {
        p.characterId = r.u16();
        p.depth = r.u16();
        p.matrix = r.matrix();
        if (!r.atEnd()) p.colorTransform = r.colorTransform(false);
        return p;
    }
    std::uint8_t f1 = r.u8();
    std::uint8_t f2 = version >= 3 ? r.u8() : 0;
    p.depth = r.u16();
    bool hasCharacter = f1 & 0x02, move = f1 & 0x01;
    p.action = hasCharacter ? (move ? PlaceAction::Replace : PlaceAction::Place) : PlaceAction::Modify;
    p.hasImage = f2 & 0x10;
    if ((f2 & 0x08) || (p.hasImage && hasCharacter)) p.className = r.string();
    if (hasCharacter) p.characterId = r.u16();
    if (f1 & 0x04) p.matrix = r.matrix();
    if (f1 & 0x08) p.colorTransform = r.colorTransform(true);
    if (f1 & 0x10) p.ratio = r.u16();
    if (f1 & 0x20) p.name = r.string();
    if (f1 & 0x40) p.clipDepth = r.u16();
    if (f2 & 0x01) p.filters = readFilters(r);
    if (f2 & 0x02) p.blendMode = readBlendMode(r);
    if (f2 & 0x04) p.cacheAsBitmap = r.atEnd() ? true : r.u8() != 0;  // old writers omit the byte
    if (f2 & 0x20) p.visible = r.u8() != 0;
    if (f2 & 0x40) p.backgroundColor = r.rgba();
    if (f1 & 0x80) p.clipActions = readClipActions(r, swfVersion);
    return p;
}

SoundInfo readSoundInfo(ByteReader& r) {
    SoundInfo i;
    std::uint8_t flags = r.u8();
    i.syncStop = flags & 0x20;
    i.syncNoMultiple = flags & 0x10;
    if (flags & 0x01) i.inPoint = r.u32();
    if (flags & 0x02) i.outPoint = r.u32();
    if (flags & 0x04) i.loopCount = r.u16();
    if (flags & 0x08) {
        std::size_t n = r.u8();
        std::vector<SoundEnvelopePoint> points(n);
        for (auto& p : points) {
            p.pos44 = r.u32();
            p.leftLevel = r.u16();
            p.rightLevel = r.u16();
        }
        i.envelope = std::move(points);
    }
    return i;
}

DefineButton readDefineButton(ByteReader& r, int version) {
    DefineButton b;
    b.version = std::uint8_t(version);
    b.id = r.u16();
    std::size_t actionOffset = 0, offsetAt = 0;
    if (version >= 2) {
        b.trackAsMenu = r.u8() & 1;
        offsetAt = r.position();
        actionOffset = r.u16();
    }
    while (true) {
        std::uint8_t flags = r.u8();
        if (flags == 0) break;
        ButtonRecord rec;
        rec.states = flags & 0x0f;
        rec.characterId = r.u16();
        rec.depth = r.u16();
        rec.matrix = r.matrix();
        if (version >= 2) {
            rec.colorTransform = r.colorTransform(true);
            if (flags & 0x10) rec.filters = readFilters(r);
            if (flags & 0x20) rec.blendMode = readBlendMode(r);
        }
        b.records.push_back(std::move(rec));
    }
    if (version == 1) {
        b.actions.push_back(ButtonAction{ButtonCondition::OverDownToOverUp, 0, r.rest()});
        return b;
    }
    if (actionOffset == 0) return b;
    std::size_t at = offsetAt + actionOffset;
    if (at < r.position() || at > r.whole().size()) r.fail("button action offset out of range");
    r.skip(at - r.position());
    while (!r.atEnd()) {
        std::size_t size = r.u16();
        std::uint16_t cond = r.u16();
        ButtonAction a;
        a.conditions = std::uint16_t(cond & 0x1ff);
        a.keyCode = std::uint8_t((cond >> 9) & 0x7f);
        if (size == 0) {
            a.actions = r.rest();
            b.actions.push_back(a);
            break;
        }
        if (size < 4 || size - 4 > r.remaining()) r.fail("button action longer than its tag");
        a.actions = r.bytes(size - 4);
        b.actions.push_back(a);
    }
    return b;
}

}  // namespace swf::detail
