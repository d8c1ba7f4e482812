#include "flash/core/shape_geometry.h"

#include <unordered_map>

namespace flash {
namespace {

struct Point {
    std::int32_t x = 0, y = 0;
    bool operator==(const Point&) const = default;
    std::uint64_t key() const { return std::uint64_t(std::uint32_t(x)) << 32 | std::uint32_t(y); }
    QPointF q() const { return QPointF(x, y); }
};

struct Edge {
    Point from, control, to;
    bool curve = false;
    Edge reversed() const { return {to, control, from, curve}; }
};

void appendEdge(QPainterPath& path, const Edge& e) {
    if (e.curve)
        path.quadTo(e.control.q(), e.to.q());
    else
        path.lineTo(e.to.q());
}

// Joins a fill's directed edges into closed contours: from each unused edge,
// keep taking an unused edge that starts where the last one ended.
QPainterPath closedContours(const std::vector<Edge>& edges, Qt::FillRule rule) {
    QPainterPath path;
    path.setFillRule(rule);
    std::unordered_multimap<std::uint64_t, std::size_t> byStart;
    byStart.reserve(edges.size());
    for (std::size_t i = 0; i < edges.size(); ++i) byStart.emplace(edges[i].from.key(), i);
    std::vector<bool> used(edges.size(), false);
    auto take = [&](const Point& p) -> std::ptrdiff_t {
        auto [lo, hi] = byStart.equal_range(p.key());
        for (auto it = lo; it != hi; ++it)
            if (!used[it->second]) {
                std::size_t i = it->second;
                byStart.erase(it);
                return std::ptrdiff_t(i);
            }
        return -1;
    };
    for (std::size_t i = 0; i < edges.size(); ++i) {
        if (used[i]) continue;
        used[i] = true;
        auto [lo, hi] = byStart.equal_range(edges[i].from.key());
        for (auto it = lo; it != hi; ++it)
            if (it->second == i) {
                byStart.erase(it);
                break;
            }
        Point start = edges[i].from;
        path.moveTo(start.q());
        appendEdge(path, edges[i]);
        Point end = edges[i].to;
        while (!(end == start)) {
            std::ptrdiff_t next = take(end);
            if (next < 0) break;
            used[std::size_t(next)] = true;
            appendEdge(path, edges[std::size_t(next)]);
            end = edges[std::size_t(next)].to;
        }
        path.closeSubpath();
    }
    return path;
}

// Consecutive edges of one line style become one subpath; a subpath that
// ends where it began is closed so that its corners join.
QPainterPath strokePath(const std::vector<std::vector<Edge>>& runs, bool noClose) {
    QPainterPath path;
    for (const auto& run : runs) {
        if (run.empty()) continue;
        path.moveTo(run.front().from.q());
        for (const auto& e : run) appendEdge(path, e);
        if (!noClose && run.back().to == run.front().from && run.size() > 1) path.closeSubpath();
    }
    return path;
}

class Builder {
public:
    Builder(const swf::ShapeStyles& styles, bool winding)
        : rule_(winding ? Qt::WindingFill : Qt::OddEvenFill) { startGroup(styles); }

    void run(const std::vector<swf::ShapeRecord>& records) {
        for (const auto& rec : records) {
            if (const auto* c = std::get_if<swf::StyleChange>(&rec)) {
                if (c->newStyles) {
                    finishGroup();
                    startGroup(*c->newStyles);
                    fill0_ = fill1_ = line_ = 0;
                }
                if (c->moveTo) {
                    pos_ = {c->moveTo->first, c->moveTo->second};
                    breakLine();
                }
                if (c->fill0) fill0_ = *c->fill0;
                if (c->fill1) fill1_ = *c->fill1;
                if (c->line) {
                    line_ = *c->line;
                    breakLine();
                }
            } else if (const auto* s = std::get_if<swf::StraightEdge>(&rec)) {
                Point to{pos_.x + s->dx, pos_.y + s->dy};
                add(Edge{pos_, pos_, to, false});
            } else {
                const auto& q = std::get<swf::CurvedEdge>(rec);
                Point control{pos_.x + q.controlDx, pos_.y + q.controlDy};
                Point to{control.x + q.anchorDx, control.y + q.anchorDy};
                add(Edge{pos_, control, to, true});
            }
        }
        finishGroup();
    }

    ShapeGeometry result() { return std::move(geometry_); }

private:
    void startGroup(const swf::ShapeStyles& styles) {
        styles_ = &styles;
        fillEdges_.assign(styles.fills.size(), {});
        lineRuns_.assign(styles.lines.size(), {});
        lineOpen_.assign(styles.lines.size(), false);
    }

    void breakLine() { std::fill(lineOpen_.begin(), lineOpen_.end(), false); }

    void add(const Edge& e) {
        if (fill1_ > 0 && fill1_ <= fillEdges_.size()) fillEdges_[fill1_ - 1].push_back(e);
        if (fill0_ > 0 && fill0_ <= fillEdges_.size()) fillEdges_[fill0_ - 1].push_back(e.reversed());
        if (line_ > 0 && line_ <= lineRuns_.size()) {
            auto& runs = lineRuns_[line_ - 1];
            if (!lineOpen_[line_ - 1] || runs.empty() || !(runs.back().back().to == e.from)) {
                breakLine();
                runs.emplace_back();
                lineOpen_[line_ - 1] = true;
            }
            runs.back().push_back(e);
        }
        pos_ = e.to;
    }

    void finishGroup() {
        ShapeGroup group;
        for (std::size_t i = 0; i < fillEdges_.size(); ++i) {
            if (fillEdges_[i].empty()) continue;
            group.fills.push_back({closedContours(fillEdges_[i], rule_), styles_->fills[i]});
        }
        for (std::size_t i = 0; i < lineRuns_.size(); ++i) {
            if (lineRuns_[i].empty()) continue;
            group.strokes.push_back({strokePath(lineRuns_[i], styles_->lines[i].noClose), styles_->lines[i]});
        }
        if (!group.fills.empty() || !group.strokes.empty()) geometry_.groups.push_back(std::move(group));
        fillEdges_.clear();
        lineRuns_.clear();
    }

    Qt::FillRule rule_;
    const swf::ShapeStyles* styles_ = nullptr;
    std::vector<std::vector<Edge>> fillEdges_;
    std::vector<std::vector<std::vector<Edge>>> lineRuns_;
    std::vector<bool> lineOpen_;
    std::uint32_t fill0_ = 0, fill1_ = 0, line_ = 0;
    Point pos_;
    ShapeGeometry geometry_;
};

}  // namespace

QPainterPath ShapeGeometry::outline() const {
    QPainterPath all;
    for (const auto& g : groups)
        for (const auto& f : g.fills) all.addPath(f.path);
    return all;
}

ShapeGeometry buildShapeGeometry(const swf::ShapeStyles& styles, const std::vector<swf::ShapeRecord>& records,
                                 bool windingRule) {
    Builder b(styles, windingRule);
    b.run(records);
    return b.result();
}

}  // namespace flash
