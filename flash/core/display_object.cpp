#include "flash/core/display_object.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>

#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/geometry.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"
#include "flash/core/shape_geometry.h"

namespace flash {
namespace {
std::atomic<std::uint64_t> nextInstanceId{1};
}

DisplayObject::DisplayObject(ObjectKind kind, const Character* character, Player& player)
    : character_(character), kind_(kind), instanceId_(nextInstanceId++), player_(player) {}

DisplayObject::~DisplayObject() {
    setMaskObject(nullptr);
    if (token_) --*token_;
}

MovieClip* DisplayObject::parentClip() const {
    return parent_ && parent_->kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(parent_) : nullptr;
}

int DisplayObject::nesting() const {
    int n = 0;
    for (const DisplayObject* p = parent_; p; p = p->parent_) ++n;
    return n;
}

int DisplayObject::swfVersion() const {
    if (character_ && character_->owner) return character_->owner->swfVersion();
    // The root of a movie loaded into a clip or level is of that movie.
    if (kind() == ObjectKind::MovieClip && !static_cast<const MovieClip*>(this)->url.empty())
        return static_cast<const MovieClip*>(this)->library().swfVersion();
    return parent_ ? parent_->swfVersion() : player_.swfVersion();
}

void DisplayObject::setMaskObject(DisplayObject* mask) {
    if (DisplayObject* old = mask_.lock().get()) --old->maskedBy_;
    mask_.reset();
    if (mask && mask != this) {
        mask_ = mask->weak_from_this();
        ++mask->maskedBy_;
    }
}

void DisplayObject::setMatrix(const QTransform& m) {
    matrix_ = m;
    matrix3D_.reset();
    scaleRotation_.reset();
}

void DisplayObject::setMatrix3D(const std::optional<Matrix3D>& m) {
    if (!m) {
        if (matrix3D_) {
            const Matrix3D& o = *matrix3D_;
            matrix_ = QTransform(o.m[0], o.m[1], o.m[4], o.m[5], o.m[12] * 20.0, o.m[13] * 20.0);
        }
        matrix3D_.reset();
    } else {
        matrix3D_ = m;
        matrix_ = inPerspective(*m);
    }
    scaleRotation_.reset();
}

DisplayObject::Perspective DisplayObject::perspectiveSeen() const {
    for (const DisplayObject* o = parent_; o; o = o->parent_)
        if (o->perspective) return *o->perspective;
    const QSize stage = player_.stageSize();
    return {55, QPointF(stage.width() / 2.0, stage.height() / 2.0)};
}

// The projection looks at the centre of the perspective the object sees
// from in front of the stage, its field of view across the stage's width.
// A point at depth z (pixels, away from the viewer) moves towards the
// centre by f / (f + z). In the parent's twips that is a projective
// transform.
QTransform DisplayObject::inPerspective(const Matrix3D& m) const {
    const Perspective seen = perspectiveSeen();
    const double focal =
        player_.stageSize().width() / 2.0 / std::tan(std::clamp(seen.fieldOfView, 1.0, 179.0) / 2 * M_PI / 180);
    QPointF centre = seen.centre;
    if (parent_) {
        bool invertible = false;
        const QTransform toParent = parent_->worldMatrix().inverted(&invertible);
        if (invertible) centre = toParent.map(centre * 20.0) / 20.0;
    }
    const double a = m.m[0], b = m.m[1], e = m.m[2], c = m.m[4], d = m.m[5], g = m.m[6];
    const double tx = m.m[12], ty = m.m[13], tz = m.m[14];
    const double cx = centre.x() / focal, cy = centre.y() / focal;
    return QTransform(a + cx * e, b + cy * e, e / (20 * focal), c + cx * g, d + cy * g, g / (20 * focal),
                      20 * (tx + cx * tz), 20 * (ty + cy * tz), 1 + tz / focal);
}

QTransform DisplayObject::worldMatrix() const {
    QTransform m = matrix_;
    for (const DisplayObject* p = parent_; p; p = p->parent_) m = m * p->matrix_;
    return m;
}

void DisplayObject::applyPlacement(const swf::PlaceObject& p, bool update) {
    const bool keepTransform = update && transformedByScript;
    if (p.matrix && !keepTransform) setMatrix(toQTransform(*p.matrix));
    if (p.colorTransform && !keepTransform) colorTransform = ColorTransform::from(*p.colorTransform);
    if (p.ratio) ratio = *p.ratio;
    if (p.name && !update)
        name = kinolux::script::String::fromSwf(*p.name, parent_ ? parent_->swfVersion() : swfVersion());
    if (p.clipDepth) clipDepth = *p.clipDepth;
    if (p.blendMode) blendMode = *p.blendMode;
    if (p.filters) filters = *p.filters;
    if (p.cacheAsBitmap) cacheAsBitmap = *p.cacheAsBitmap;
    if (p.visible) visible = *p.visible;
    if (p.backgroundColor) {
        if (p.backgroundColor->a)
            opaqueBackground = p.backgroundColor;
        else
            opaqueBackground.reset();
    }
}

bool DisplayObject::replaceCharacter(const Character*) { return false; }

bool DisplayObject::handlesEvent(std::uint32_t clipEvent) const {
    if (!clipActions) return false;
    for (const auto& a : *clipActions)
        if (a.events & clipEvent) return true;
    return false;
}

QRectF DisplayObject::localBounds() const { return characterBounds(character_, ratio); }

bool DisplayObject::hitTestLocal(QPointF p, bool) const { return localBounds().contains(p); }

QRectF DisplayObject::boundsInParent() const { return matrix_.mapRect(localBounds()); }

// Positions are whole twips in the player; the fraction is dropped.
void DisplayObject::setX(double v) {
    if (matrix3D_) {
        Matrix3D m = *matrix3D_;
        m.m[12] = float(v);
        return setMatrix3D(m);
    }
    matrix_ = QTransform(matrix_.m11(), matrix_.m12(), matrix_.m21(), matrix_.m22(), std::trunc(v * 20.0), matrix_.dy());
}
void DisplayObject::setY(double v) {
    if (matrix3D_) {
        Matrix3D m = *matrix3D_;
        m.m[13] = float(v);
        return setMatrix3D(m);
    }
    matrix_ = QTransform(matrix_.m11(), matrix_.m12(), matrix_.m21(), matrix_.m22(), matrix_.dx(), std::trunc(v * 20.0));
}

const DisplayObject::ScaleRotation& DisplayObject::scaleRotation() const {
    if (!scaleRotation_) {
        const QTransform& m = matrix_;
        scaleRotation_ = ScaleRotation{std::hypot(m.m11(), m.m12()), std::hypot(m.m21(), m.m22()),
                                       std::atan2(m.m12(), m.m11()), std::atan2(-m.m21(), m.m22())};
    }
    return *scaleRotation_;
}

void DisplayObject::setScaleRotation(const ScaleRotation& s) {
    // Scaled or turned flat, the object leaves the third dimension.
    setMatrix3D(std::nullopt);
    scaleRotation_ = s;
    matrix_ = QTransform(s.xScale * std::cos(s.rotationX), s.xScale * std::sin(s.rotationX),
                         -s.yScale * std::sin(s.rotationY), s.yScale * std::cos(s.rotationY), matrix_.dx(),
                         matrix_.dy());
}

double DisplayObject::xScale() const { return scaleRotation().xScale * 100.0; }
double DisplayObject::yScale() const { return scaleRotation().yScale * 100.0; }
double DisplayObject::rotation() const { return scaleRotation().rotationX * 180.0 / M_PI; }

void DisplayObject::setXScale(double percent) {
    ScaleRotation s = scaleRotation();
    s.xScale = percent / 100.0;
    setScaleRotation(s);
}

void DisplayObject::setYScale(double percent) {
    ScaleRotation s = scaleRotation();
    s.yScale = percent / 100.0;
    setScaleRotation(s);
}

void DisplayObject::setRotation(double degrees) {
    ScaleRotation s = scaleRotation();
    double r = degrees * M_PI / 180.0;
    s.rotationY += r - s.rotationX;  // the skew stays
    s.rotationX = r;
    setScaleRotation(s);
}

// The player keeps the alpha multiplier in 16-bit fixed point (8.8), so
// values wrap and lose precision the way it shows them.
void DisplayObject::setAlpha(double percent) {
    double fixed = std::isfinite(percent)
                       ? static_cast<std::int16_t>(static_cast<std::uint16_t>(
                             static_cast<std::int64_t>(std::trunc(std::fmod(percent * 2.56, 65536.0))))) /
                             256.0
                       : 0.0;
    colorTransform.mul[3] = float(fixed);
}

// The player measures in whole twips: each edge of the bounds is rounded.
double DisplayObject::width() const {
    const QRectF b = boundsInParent();
    return (std::round(b.right()) - std::round(b.left())) / 20.0;
}
double DisplayObject::height() const {
    const QRectF b = boundsInParent();
    return (std::round(b.bottom()) - std::round(b.top())) / 20.0;
}

// Changing the width scales the object so that its bounds in the parent
// take that width, with its rotation and skew kept.
// An object that shows nothing has no proportions to keep: sizing it
// collapses both scales, so what it shows later stays invisible.
bool DisplayObject::collapseIfEmpty() {
    const QRectF local = localBounds();
    if (local.width() > 0 || local.height() > 0) return false;
    setXScale(0);
    setYScale(0);
    return true;
}

namespace {

// The scale that gives an extent of `pixels`: the present scale in
// proportion, or, where the object spans nothing in its parent, the one
// that stretches its own bounds (in twips) to it. None where neither can.
std::optional<double> scaleForExtent(double pixels, double current, double scale, double ownTwips) {
    if (current > 0) return scale * pixels / current;
    const double own = ownTwips / 20.0;
    if (own > 0) return pixels / own * 100.0;
    return std::nullopt;
}

}  // namespace

void DisplayObject::setWidth(double pixels) {
    if (collapseIfEmpty()) return;
    if (auto scale = scaleForExtent(pixels, width(), xScale(), localBounds().width())) setXScale(*scale);
}

void DisplayObject::setHeight(double pixels) {
    if (collapseIfEmpty()) return;
    if (auto scale = scaleForExtent(pixels, height(), yScale(), localBounds().height())) setYScale(*scale);
}

Graphic::Graphic(ObjectKind kind, const Character* c, Player& player) : DisplayObject(kind, c, player) {
    setBinding(makeGraphicBinding(*this));
}

bool Graphic::replaceCharacter(const Character* c) {
    switch (c->kind) {
    case CharacterKind::Shape:
    case CharacterKind::MorphShape:
    case CharacterKind::Text:
    case CharacterKind::Bitmap:
        if (kind() == ObjectKind::Video) return false;
        character_ = c;
        return true;
    default: return false;
    }
}

bool Graphic::hitTestLocal(QPointF p, bool shapeFlag) const {
    if (!localBounds().contains(p)) return false;
    if (!shapeFlag) return true;
    if (kind() == ObjectKind::Shape) {
        if (const auto* shape = character_->as<swf::DefineShape>())
            return player().shapeOutline(*shape).contains(p);
    }
    if (kind() == ObjectKind::MorphShape) {
        if (const auto* morph = character_->as<swf::DefineMorphShape>())
            return player().morphOutline(*morph, ratio).contains(p);
    }
    return true;
}

bool DisplayObject::takesInstanceName() const {
    if (character_ && character_->owner && !character_->owner->runsActionScript1()) return true;
    return kind_ != ObjectKind::Shape && kind_ != ObjectKind::MorphShape && kind_ != ObjectKind::Text &&
           kind_ != ObjectKind::Bitmap && kind_ != ObjectKind::Video;
}

namespace {

std::shared_ptr<DisplayObject> makeDisplayObject(const Character* c, Player& player) {
    switch (c->kind) {
    case CharacterKind::Shape: return std::make_shared<Graphic>(ObjectKind::Shape, c, player);
    case CharacterKind::MorphShape: return std::make_shared<Graphic>(ObjectKind::MorphShape, c, player);
    case CharacterKind::Text: return std::make_shared<Graphic>(ObjectKind::Text, c, player);
    case CharacterKind::Bitmap: return std::make_shared<Graphic>(ObjectKind::Bitmap, c, player);
    case CharacterKind::Video: return std::make_shared<Graphic>(ObjectKind::Video, c, player);
    case CharacterKind::EditText: return std::make_shared<EditText>(c, player);
    case CharacterKind::Button: return std::make_shared<Button>(c, player);
    case CharacterKind::Sprite: return std::make_shared<MovieClip>(c, c->timeline.get(), *c->owner, player);
    default: return nullptr;
    }
}

}  // namespace

std::shared_ptr<DisplayObject> createDisplayObject(const Character* c, Player& player) {
    if (!c) return nullptr;
    auto token = player.objectToken();
    if (!token) return nullptr;
    auto object = makeDisplayObject(c, player);
    if (object) object->holdToken(std::move(token));
    else --*token;
    return object;
}

}  // namespace flash
