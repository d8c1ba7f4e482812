#include "flash/swf/error.h"
#include "flash/swf/write_internal.h"

namespace swf::detail {
namespace {

// The mirror of the reader's filter body: blur, offset, strength, flags.
template <class F>
void writeFilterBody(ByteWriter& w, const F& f, bool hasOnTop) {
    w.i32(f.blurX);
    w.i32(f.blurY);
    if constexpr (requires { f.angle; }) {
        w.i32(f.angle);
        w.i32(f.distance);
    }
    w.i16(f.strength);
    w.bit(f.inner);
    w.bit(f.knockout);
    w.bit(f.compositeSource);
    if constexpr (requires { f.onTop; }) {
        if (hasOnTop) w.bit(f.onTop);
        w.ubits(hasOnTop ? 4 : 5, f.passes);
    } else {
        w.ubits(5, f.passes);
    }
    w.flushBits();
}

struct FilterWriter {
    ByteWriter& w;
    void operator()(const DropShadowFilter& f) { writeOneColorFilter(0, f); }
    void operator()(const BlurFilter& f) {
        w.u8(1);
        w.i32(f.blurX);
        w.i32(f.blurY);
        w.ubits(5, f.passes);
        w.ubits(3, 0);
    }
    void operator()(const GlowFilter& f) { writeOneColorFilter(2, f); }
    void operator()(const BevelFilter& f) {
        w.u8(3);
        w.rgba(f.highlightColor);
        w.rgba(f.shadowColor);
        writeFilterBody(w, f, true);
    }
    void operator()(const GradientFilter& f) {
        w.u8(f.bevel ? 7 : 4);
        if (f.colors.size() > 255) throw Error("a gradient filter holds at most 255 colours");
        w.u8(std::uint8_t(f.colors.size()));
        for (const auto& c : f.colors) w.rgba(c.color);
        for (const auto& c : f.colors) w.u8(c.ratio);
        writeFilterBody(w, f, true);
    }
    void operator()(const ConvolutionFilter& f) {
        if (f.matrix.size() != std::size_t(f.columns) * f.rows)
            throw Error("a convolution matrix must hold columns x rows values");
        w.u8(5);
        w.u8(f.columns);
        w.u8(f.rows);
        w.f32(f.divisor);
        w.f32(f.bias);
        for (float v : f.matrix) w.f32(v);
        w.rgba(f.defaultColor);
        w.u8(std::uint8_t((f.clamp ? 2 : 0) | (f.preserveAlpha ? 1 : 0)));
    }
    void operator()(const ColorMatrixFilter& f) {
        w.u8(6);
        for (float v : f.matrix) w.f32(v);
    }

    template <class F>
    void writeOneColorFilter(std::uint8_t id, const F& f) {
        w.u8(id);
        w.rgba(f.color);
        writeFilterBody(w, f, false);
    }
};

void writeClipActions(ByteWriter& w, const std::vector<ClipAction>& actions, std::uint8_t swfVersion) {
    auto writeEvents = [&](std::uint32_t e) {
        if (swfVersion >= 6)
            w.u32(e);
        else
            w.u16(std::uint16_t(e));
    };
    std::uint32_t all = 0;
    for (const auto& a : actions) all |= a.events;
    w.u16(0);
    writeEvents(all);
    for (const auto& a : actions) {
        writeEvents(a.events);
        bool key = a.events & ClipEvent::KeyPress;
        w.u32(std::uint32_t(a.actions.size() + (key ? 1 : 0)));
        if (key) w.u8(a.keyCode);
        w.bytes(a.actions);
    }
    writeEvents(0);
}

}  // namespace

void writeFilters(ByteWriter& w, const std::vector<Filter>& filters) {
    if (filters.size() > 255) throw Error("at most 255 filters per object");
    w.u8(std::uint8_t(filters.size()));
    for (const auto& f : filters) std::visit(FilterWriter{w}, f);
}

void writePlaceObject(ByteWriter& w, const PlaceObject& p, std::uint8_t swfVersion) {
    if (p.version == 1) {
        w.u16(p.characterId);
        w.u16(p.depth);
        w.matrix(p.matrix.value_or(Matrix{}));
        if (p.colorTransform) w.colorTransform(*p.colorTransform, false);
        return;
    }
    bool hasCharacter = p.action != PlaceAction::Modify;
    std::uint8_t f1 = 0, f2 = 0;
    if (p.clipActions) f1 |= 0x80;
    if (p.clipDepth) f1 |= 0x40;
    if (p.name) f1 |= 0x20;
    if (p.ratio) f1 |= 0x10;
    if (p.colorTransform) f1 |= 0x08;
    if (p.matrix) f1 |= 0x04;
    if (hasCharacter) f1 |= 0x02;
    if (p.action != PlaceAction::Place) f1 |= 0x01;
    if (p.version >= 3) {
        if (p.backgroundColor) f2 |= 0x40;
        if (p.visible) f2 |= 0x20;
        if (p.hasImage) f2 |= 0x10;
        if (p.className) f2 |= 0x08;
        if (p.cacheAsBitmap) f2 |= 0x04;
        if (p.blendMode) f2 |= 0x02;
        if (p.filters) f2 |= 0x01;
    }
    w.u8(f1);
    if (p.version >= 3) w.u8(f2);
    w.u16(p.depth);
    if (p.version >= 3 && p.className) w.string(*p.className);
    if (hasCharacter) w.u16(p.characterId);
    if (p.matrix) w.matrix(*p.matrix);
    if (p.colorTransform) w.colorTransform(*p.colorTransform, true);
    if (p.ratio) w.u16(*p.ratio);
    if (p.name) w.string(*p.name);
    if (p.clipDepth) w.u16(*p.clipDepth);
    if (p.version >= 3) {
        if (p.filters) writeFilters(w, *p.filters);
        if (p.blendMode) w.u8(std::uint8_t(*p.blendMode == BlendMode::Normal ? 1 : std::uint8_t(*p.blendMode)));
        if (p.cacheAsBitmap) w.u8(*p.cacheAsBitmap ? 1 : 0);
        if (p.visible) w.u8(*p.visible ? 1 : 0);
        if (p.backgroundColor) w.rgba(*p.backgroundColor);
    }
    if (p.clipActions) writeClipActions(w, *p.clipActions, swfVersion);
}

void writeSoundInfo(ByteWriter& w, const SoundInfo& i) {
    std::uint8_t flags = 0;
    if (i.syncStop) flags |= 0x20;
    if (i.syncNoMultiple) flags |= 0x10;
    if (i.envelope) flags |= 0x08;
    if (i.loopCount) flags |= 0x04;
    if (i.outPoint) flags |= 0x02;
    if (i.inPoint) flags |= 0x01;
    w.u8(flags);
    if (i.inPoint) w.u32(*i.inPoint);
    if (i.outPoint) w.u32(*i.outPoint);
    if (i.loopCount) w.u16(*i.loopCount);
    if (i.envelope) {
        if (i.envelope->size() > 255) throw Error("a sound envelope holds at most 255 points");
        w.u8(std::uint8_t(i.envelope->size()));
        for (const auto& p : *i.envelope) {
            w.u32(p.pos44);
            w.u16(p.leftLevel);
            w.u16(p.rightLevel);
        }
    }
}

void writeSoundFormat(ByteWriter& w, const SoundFormatInfo& f) {
    w.ubits(4, std::uint32_t(f.compression));
    w.ubits(2, f.rate);
    w.bit(f.is16Bit);
    w.bit(f.stereo);
}

void writeDefineButton(ByteWriter& w, const DefineButton& b) {
    w.u16(b.id);
    std::size_t offsetAt = 0;
    if (b.version >= 2) {
        w.u8(b.trackAsMenu ? 1 : 0);
        offsetAt = w.size();
        w.u16(0);
    }
    for (const auto& rec : b.records) {
        std::uint8_t flags = rec.states & 0x0f;
        if (b.version >= 2 && !rec.filters.empty()) flags |= 0x10;
        if (b.version >= 2 && rec.blendMode != BlendMode::Normal) flags |= 0x20;
        w.u8(flags);
        w.u16(rec.characterId);
        w.u16(rec.depth);
        w.matrix(rec.matrix);
        if (b.version >= 2) {
            w.colorTransform(rec.colorTransform, true);
            if (flags & 0x10) writeFilters(w, rec.filters);
            if (flags & 0x20) w.u8(std::uint8_t(rec.blendMode));
        }
    }
    w.u8(0);
    if (b.version == 1) {
        if (!b.actions.empty()) w.bytes(b.actions.front().actions);
        return;
    }
    if (b.actions.empty()) return;
    w.patchU16(offsetAt, std::uint16_t(w.size() - offsetAt));
    for (std::size_t i = 0; i < b.actions.size(); ++i) {
        const auto& a = b.actions[i];
        bool last = i + 1 == b.actions.size();
        std::size_t size = a.actions.size() + 4;
        if (!last && size > 0xffff) throw Error("a button action is longer than 65531 bytes");
        w.u16(last ? 0 : std::uint16_t(size));
        w.u16(std::uint16_t((a.conditions & 0x1ff) | (a.keyCode & 0x7f) << 9));
        w.bytes(a.actions);
    }
}

}  // namespace swf::detail
