#include "flash/core/morph.h"

#include <cmath>

namespace flash {
namespace {

struct Lerp {
    double t;
    std::int32_t i(std::int32_t a, std::int32_t b) const { return std::int32_t(std::lround(a + (double(b) - a) * t)); }
    std::uint8_t u8(std::uint8_t a, std::uint8_t b) const { return std::uint8_t(std::lround(a + (double(b) - a) * t)); }
    swf::Color color(const swf::Color& a, const swf::Color& b) const {
        return {u8(a.r, b.r), u8(a.g, b.g), u8(a.b, b.b), u8(a.a, b.a)};
    }
    swf::Matrix matrix(const swf::Matrix& a, const swf::Matrix& b) const {
        return {i(a.a, b.a), i(a.b, b.b), i(a.c, b.c), i(a.d, b.d), i(a.tx, b.tx), i(a.ty, b.ty)};
    }
    swf::FillStyle fill(const swf::FillStyle& a, const swf::FillStyle& b) const {
        swf::FillStyle f = a;
        f.color = color(a.color, b.color);
        f.gradient.matrix = matrix(a.gradient.matrix, b.gradient.matrix);
        for (std::size_t k = 0; k < f.gradient.records.size() && k < b.gradient.records.size(); ++k) {
            f.gradient.records[k].ratio = u8(a.gradient.records[k].ratio, b.gradient.records[k].ratio);
            f.gradient.records[k].color = color(a.gradient.records[k].color, b.gradient.records[k].color);
        }
        f.focalPoint = swf::Fixed8(i(a.focalPoint, b.focalPoint));
        f.bitmapMatrix = matrix(a.bitmapMatrix, b.bitmapMatrix);
        return f;
    }
};

// Edges in absolute coordinates, so that the two ends can be paired.
struct AbsEdge {
    bool curve;
    double cx, cy, x, y;
};

struct Walker {
    const std::vector<swf::ShapeRecord>& records;
    std::size_t index = 0;
    double x = 0, y = 0;

    // Advances past style changes (applying their moves) and returns the next edge.
    const swf::ShapeRecord* next() {
        while (index < records.size()) {
            const auto& r = records[index++];
            if (const auto* c = std::get_if<swf::StyleChange>(&r)) {
                if (c->moveTo) {
                    x = c->moveTo->first;
                    y = c->moveTo->second;
                }
                continue;
            }
            return &r;
        }
        return nullptr;
    }
    AbsEdge take(const swf::ShapeRecord& r) {
        AbsEdge e{};
        if (const auto* s = std::get_if<swf::StraightEdge>(&r)) {
            e.curve = false;
            e.x = x + s->dx;
            e.y = y + s->dy;
            e.cx = (x + e.x) / 2;
            e.cy = (y + e.y) / 2;
        } else {
            const auto& q = std::get<swf::CurvedEdge>(r);
            e.curve = true;
            e.cx = x + q.controlDx;
            e.cy = y + q.controlDy;
            e.x = e.cx + q.anchorDx;
            e.y = e.cy + q.anchorDy;
        }
        x = e.x;
        y = e.y;
        return e;
    }
};

}  // namespace

MorphFrame interpolateMorph(const swf::DefineMorphShape& morph, std::uint16_t ratio) {
    Lerp l{ratio / 65535.0};
    MorphFrame out;
    const auto& s = morph.start.styles;
    const auto& e = morph.end.styles;
    for (std::size_t k = 0; k < s.fills.size(); ++k)
        out.styles.fills.push_back(k < e.fills.size() ? l.fill(s.fills[k], e.fills[k]) : s.fills[k]);
    for (std::size_t k = 0; k < s.lines.size(); ++k) {
        swf::LineStyle line = s.lines[k];
        if (k < e.lines.size()) {
            line.width = std::uint16_t(l.i(s.lines[k].width, e.lines[k].width));
            line.color = l.color(s.lines[k].color, e.lines[k].color);
            if (line.fill && e.lines[k].fill) line.fill = l.fill(*s.lines[k].fill, *e.lines[k].fill);
        }
        out.styles.lines.push_back(std::move(line));
    }
    // The start records carry the styles and moves; the end records only
    // the edges (and moves) in the same order.
    Walker endWalk{morph.end.records};
    double px = 0, py = 0;  // current interpolated pen position
    double sx = 0, sy = 0;  // start shape pen position
    for (const auto& rec : morph.start.records) {
        if (const auto* c = std::get_if<swf::StyleChange>(&rec)) {
            swf::StyleChange copy = *c;
            copy.newStyles.reset();
            if (c->moveTo) {
                sx = c->moveTo->first;
                sy = c->moveTo->second;
                // The end shape's matching move comes before its next edge.
                Walker peek = endWalk;
                while (peek.index < peek.records.size() &&
                       std::holds_alternative<swf::StyleChange>(peek.records[peek.index])) {
                    const auto& ec = std::get<swf::StyleChange>(peek.records[peek.index++]);
                    if (ec.moveTo) {
                        peek.x = ec.moveTo->first;
                        peek.y = ec.moveTo->second;
                    }
                }
                endWalk.x = peek.x;
                endWalk.y = peek.y;
                endWalk.index = peek.index;
                px = l.t == 0 ? sx : std::lround(sx + (endWalk.x - sx) * l.t);
                py = l.t == 0 ? sy : std::lround(sy + (endWalk.y - sy) * l.t);
                copy.moveTo = std::pair{swf::Twips(px), swf::Twips(py)};
            }
            out.records.push_back(std::move(copy));
            continue;
        }
        Walker startWalk{morph.start.records};
        startWalk.x = sx;
        startWalk.y = sy;
        AbsEdge a = startWalk.take(rec);
        sx = a.x;
        sy = a.y;
        const swf::ShapeRecord* other = endWalk.next();
        AbsEdge b = other ? endWalk.take(*other) : a;
        auto mix = [&](double u, double v) { return u + (v - u) * l.t; };
        double cx = mix(a.cx, b.cx), cy = mix(a.cy, b.cy), x = mix(a.x, b.x), y = mix(a.y, b.y);
        auto icx = std::lround(cx), icy = std::lround(cy), ix = std::lround(x), iy = std::lround(y);
        if (!a.curve && !b.curve) {
            out.records.push_back(swf::StraightEdge{swf::Twips(ix - std::lround(px)), swf::Twips(iy - std::lround(py))});
        } else {
            out.records.push_back(swf::CurvedEdge{swf::Twips(icx - std::lround(px)), swf::Twips(icy - std::lround(py)),
                                                  swf::Twips(ix - icx), swf::Twips(iy - icy)});
        }
        px = double(ix);
        py = double(iy);
    }
    return out;
}

}  // namespace flash
