#include "flash/core/filter_settings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace flash {

const std::vector<FilterClassInfo>& filterClasses() {
    using K = FilterFieldKind;
    static const std::vector<FilterClassInfo> all = {
        {FilterClass::Blur, u"BlurFilter", {{u"blurX", K::Number, 4}, {u"blurY", K::Number, 4}, {u"quality", K::Integer, 1}}},
        {FilterClass::DropShadow, u"DropShadowFilter",
         {{u"distance", K::Number, 4}, {u"angle", K::Number, 45}, {u"color", K::Color, 0}, {u"alpha", K::Number, 1},
          {u"blurX", K::Number, 4}, {u"blurY", K::Number, 4}, {u"strength", K::Number, 1}, {u"quality", K::Integer, 1},
          {u"inner", K::Boolean, 0}, {u"knockout", K::Boolean, 0}, {u"hideObject", K::Boolean, 0}}},
        {FilterClass::Glow, u"GlowFilter",
         {{u"color", K::Color, 0xFF0000}, {u"alpha", K::Number, 1}, {u"blurX", K::Number, 6}, {u"blurY", K::Number, 6},
          {u"strength", K::Number, 2}, {u"quality", K::Integer, 1}, {u"inner", K::Boolean, 0}, {u"knockout", K::Boolean, 0}}},
        {FilterClass::Bevel, u"BevelFilter",
         {{u"distance", K::Number, 4}, {u"angle", K::Number, 45}, {u"highlightColor", K::Color, 0xFFFFFF},
          {u"highlightAlpha", K::Number, 1}, {u"shadowColor", K::Color, 0}, {u"shadowAlpha", K::Number, 1},
          {u"blurX", K::Number, 4}, {u"blurY", K::Number, 4}, {u"strength", K::Number, 1}, {u"quality", K::Integer, 1},
          {u"type", K::Text, 0, u"inner"}, {u"knockout", K::Boolean, 0}}},
        {FilterClass::ColorMatrix, u"ColorMatrixFilter", {{u"matrix", K::Numbers}}},
        {FilterClass::Convolution, u"ConvolutionFilter",
         {{u"matrixX", K::Integer, 0}, {u"matrixY", K::Integer, 0}, {u"matrix", K::Numbers}, {u"divisor", K::Number, 1},
          {u"bias", K::Number, 0}, {u"preserveAlpha", K::Boolean, 1}, {u"clamp", K::Boolean, 1}, {u"color", K::Color, 0},
          {u"alpha", K::Number, 0}}},
        {FilterClass::GradientGlow, u"GradientGlowFilter",
         {{u"distance", K::Number, 4}, {u"angle", K::Number, 45}, {u"colors", K::Numbers}, {u"alphas", K::Numbers},
          {u"ratios", K::Numbers}, {u"blurX", K::Number, 4}, {u"blurY", K::Number, 4}, {u"strength", K::Number, 1},
          {u"quality", K::Integer, 1}, {u"type", K::Text, 0, u"inner"}, {u"knockout", K::Boolean, 0}}},
        {FilterClass::GradientBevel, u"GradientBevelFilter",
         {{u"distance", K::Number, 4}, {u"angle", K::Number, 45}, {u"colors", K::Numbers}, {u"alphas", K::Numbers},
          {u"ratios", K::Numbers}, {u"blurX", K::Number, 4}, {u"blurY", K::Number, 4}, {u"strength", K::Number, 1},
          {u"quality", K::Integer, 1}, {u"type", K::Text, 0, u"inner"}, {u"knockout", K::Boolean, 0}}},
    };
    return all;
}

const FilterClassInfo& filterClassInfo(FilterClass id) { return filterClasses()[std::size_t(id)]; }

const FilterClassInfo* filterClassNamed(std::u16string_view name) {
    for (const FilterClassInfo& c : filterClasses())
        if (c.name == name) return &c;
    return nullptr;
}

FilterSettings::FilterSettings(FilterClass filterClass) : id(filterClass) {
    for (const FilterField& f : filterClassInfo(id).fields) {
        FilterSetting s;
        s.number = f.number;
        s.text = std::u16string(f.text);
        values.push_back(std::move(s));
    }
    if (id == FilterClass::ColorMatrix) values[0].numbers = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
}

const FilterSetting& FilterSettings::at(std::u16string_view name) const {
    const auto& fields = filterClassInfo(id).fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return values[i];
    static const FilterSetting none;
    return none;
}

void keepInRange(FilterSetting& s, const FilterField& f) {
    // The player keeps these in range.
    if (f.name == u"quality") s.number = std::clamp(s.number, 0.0, 15.0);
    if (f.name == u"blurX" || f.name == u"blurY") s.number = std::clamp(s.number, 0.0, 255.0);
    if (f.name == u"alpha" || f.name == u"highlightAlpha" || f.name == u"shadowAlpha") s.number = std::clamp(s.number, 0.0, 1.0);
    if (f.name == u"strength") s.number = std::clamp(s.number, 0.0, 255.0);
    if (&f == &filterClassInfo(FilterClass::ColorMatrix).fields[0]) s.numbers.resize(20, 0);
}

namespace {

// Scripts may hand in NaN or a number of any size: a colour keeps its low
// 24 bits and a count or ratio is held to its range, never cast unchecked.
std::uint32_t colorBits(double c) {
    return std::isfinite(c) ? std::uint32_t(std::int64_t(std::fmod(c, 4294967296.0))) & 0xFFFFFF : 0;
}
std::uint8_t byteWithin(double v, double highest) { return std::uint8_t(std::isnan(v) ? 0.0 : std::clamp(v, 0.0, highest)); }

swf::Color rgba(double rgb, double alpha) {
    const std::uint32_t c = colorBits(rgb);
    return {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c), std::uint8_t(std::lround(std::clamp(alpha, 0.0, 1.0) * 255))};
}
swf::Fixed16 fixed16(double v) { return swf::Fixed16(std::clamp(std::lround(v * 65536.0), long(INT32_MIN), long(INT32_MAX))); }
swf::Fixed8 fixed8(double v) { return swf::Fixed8(std::clamp(std::lround(v * 256.0), -32768L, 32767L)); }
double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }
double degrees(swf::Fixed16 radians) { return radians / 65536.0 * 180.0 / std::numbers::pi; }
double rgbBits(const swf::Color& c) { return double(std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b); }

std::vector<swf::GradientRecord> gradientOf(const FilterSettings& f) {
    const auto& colors = f.at(u"colors").numbers;
    const auto& alphas = f.at(u"alphas").numbers;
    const auto& ratios = f.at(u"ratios").numbers;
    std::vector<swf::GradientRecord> out;
    for (std::size_t i = 0; i < std::min({colors.size(), alphas.size(), ratios.size(), std::size_t(16)}); ++i)
        out.push_back({byteWithin(ratios[i], 255), rgba(colors[i], alphas[i])});
    return out;
}

}  // namespace

swf::Filter filterRecord(const FilterSettings& f) {
    auto n = [&](std::u16string_view name) { return f.at(name).number; };
    auto passes = [&]() { return byteWithin(n(u"quality"), 15); };
    switch (f.id) {
    case FilterClass::Blur: return swf::BlurFilter{fixed16(n(u"blurX")), fixed16(n(u"blurY")), passes()};
    case FilterClass::DropShadow:
        return swf::DropShadowFilter{rgba(n(u"color"), n(u"alpha")), fixed16(n(u"blurX")), fixed16(n(u"blurY")),
                                     fixed16(radians(n(u"angle"))), fixed16(n(u"distance")), fixed8(n(u"strength")),
                                     n(u"inner") != 0, n(u"knockout") != 0, n(u"hideObject") == 0, passes()};
    case FilterClass::Glow:
        return swf::GlowFilter{rgba(n(u"color"), n(u"alpha")), fixed16(n(u"blurX")), fixed16(n(u"blurY")), fixed8(n(u"strength")),
                               n(u"inner") != 0, n(u"knockout") != 0, true, passes()};
    case FilterClass::Bevel: {
        const std::u16string& type = f.at(u"type").text;
        return swf::BevelFilter{rgba(n(u"shadowColor"), n(u"shadowAlpha")), rgba(n(u"highlightColor"), n(u"highlightAlpha")),
                                fixed16(n(u"blurX")), fixed16(n(u"blurY")), fixed16(radians(n(u"angle"))), fixed16(n(u"distance")),
                                fixed8(n(u"strength")), type == u"inner", n(u"knockout") != 0, true, type == u"full", passes()};
    }
    case FilterClass::ColorMatrix: {
        swf::ColorMatrixFilter m;
        const auto& values = f.at(u"matrix").numbers;
        for (std::size_t i = 0; i < 20; ++i) m.matrix[i] = i < values.size() ? float(values[i]) : 0.0f;
        return m;
    }
    case FilterClass::Convolution: {
        swf::ConvolutionFilter c;
        c.columns = byteWithin(n(u"matrixX"), 15);
        c.rows = byteWithin(n(u"matrixY"), 15);
        c.divisor = float(n(u"divisor"));
        c.bias = float(n(u"bias"));
        const auto& values = f.at(u"matrix").numbers;
        c.matrix.assign(std::size_t(c.columns) * c.rows, 0.0f);
        for (std::size_t i = 0; i < c.matrix.size() && i < values.size(); ++i) c.matrix[i] = float(values[i]);
        c.defaultColor = rgba(n(u"color"), n(u"alpha"));
        c.clamp = n(u"clamp") != 0;
        c.preserveAlpha = n(u"preserveAlpha") != 0;
        return c;
    }
    case FilterClass::GradientGlow:
    case FilterClass::GradientBevel: {
        const std::u16string& type = f.at(u"type").text;
        swf::GradientFilter g;
        g.bevel = f.id == FilterClass::GradientBevel;
        g.colors = gradientOf(f);
        g.blurX = fixed16(n(u"blurX"));
        g.blurY = fixed16(n(u"blurY"));
        g.angle = fixed16(radians(n(u"angle")));
        g.distance = fixed16(n(u"distance"));
        g.strength = fixed8(n(u"strength"));
        g.inner = type == u"inner";
        g.onTop = type == u"full";
        g.knockout = n(u"knockout") != 0;
        g.passes = passes();
        return g;
    }
    }
    return swf::BlurFilter{};
}

FilterSettings filterSettingsOf(const swf::Filter& filter) {
    std::optional<FilterSettings> f;
    auto field = [&](std::u16string_view name) -> FilterSetting* {
        const auto& fields = filterClassInfo(f->id).fields;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == name) return &f->values[i];
        return nullptr;
    };
    auto set = [&](std::u16string_view name, double value) {
        if (FilterSetting* s = field(name)) s->number = value;
    };
    auto color = [&](std::u16string_view rgbName, std::u16string_view alphaName, const swf::Color& c) {
        set(rgbName, rgbBits(c));
        set(alphaName, c.a / 255.0);
    };
    auto make = [&](FilterClass id) { f.emplace(id); };
    // What the blurring filters share, and on top of it what every filter
    // that also lights or shades its edges shares.
    auto blur = [&](const auto& x) {
        set(u"blurX", x.blurX / 65536.0);
        set(u"blurY", x.blurY / 65536.0);
        set(u"quality", x.passes);
    };
    auto edge = [&](const auto& x) {
        blur(x);
        set(u"strength", x.strength / 256.0);
        set(u"knockout", x.knockout);
    };
    auto offset = [&](const auto& x) {
        set(u"distance", x.distance / 65536.0);
        set(u"angle", degrees(x.angle));
    };
    auto bevelType = [&](const auto& x) { field(u"type")->text = x.onTop ? u"full" : x.inner ? u"inner" : u"outer"; };
    if (const auto* b = std::get_if<swf::BlurFilter>(&filter)) {
        make(FilterClass::Blur);
        blur(*b);
    } else if (const auto* d = std::get_if<swf::DropShadowFilter>(&filter)) {
        make(FilterClass::DropShadow);
        offset(*d);
        color(u"color", u"alpha", d->color);
        edge(*d);
        set(u"inner", d->inner);
        set(u"hideObject", !d->compositeSource);
    } else if (const auto* g = std::get_if<swf::GlowFilter>(&filter)) {
        make(FilterClass::Glow);
        color(u"color", u"alpha", g->color);
        edge(*g);
        set(u"inner", g->inner);
    } else if (const auto* v = std::get_if<swf::BevelFilter>(&filter)) {
        make(FilterClass::Bevel);
        offset(*v);
        color(u"highlightColor", u"highlightAlpha", v->highlightColor);
        color(u"shadowColor", u"shadowAlpha", v->shadowColor);
        edge(*v);
        bevelType(*v);
    } else if (const auto* m = std::get_if<swf::ColorMatrixFilter>(&filter)) {
        make(FilterClass::ColorMatrix);
        f->values[0].numbers.assign(std::begin(m->matrix), std::end(m->matrix));
    } else if (const auto* c = std::get_if<swf::ConvolutionFilter>(&filter)) {
        make(FilterClass::Convolution);
        set(u"matrixX", c->columns);
        set(u"matrixY", c->rows);
        f->values[2].numbers.assign(c->matrix.begin(), c->matrix.end());
        set(u"divisor", c->divisor);
        set(u"bias", c->bias);
        set(u"preserveAlpha", c->preserveAlpha);
        set(u"clamp", c->clamp);
        color(u"color", u"alpha", c->defaultColor);
    } else if (const auto* gr = std::get_if<swf::GradientFilter>(&filter)) {
        make(gr->bevel ? FilterClass::GradientBevel : FilterClass::GradientGlow);
        offset(*gr);
        for (const auto& rec : gr->colors) {
            f->values[2].numbers.push_back(rgbBits(rec.color));
            f->values[3].numbers.push_back(rec.color.a / 255.0);
            f->values[4].numbers.push_back(rec.ratio);
        }
        edge(*gr);
        bevelType(*gr);
    }
    return f ? *f : FilterSettings(FilterClass::Blur);
}

}  // namespace flash
