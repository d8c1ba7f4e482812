#include "flash/core/display_object.h"

#include <atomic>
#include <cmath>

#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/geometry.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {
namespace {
std::atomic<std::uint64_t> nextInstanceId{1};
}

DisplayObject::DisplayObject(ObjectKind kind, const Character* character)
    : character_(character), kind_(kind), instanceId_(nextInstanceId++) {}

DisplayObject::~DisplayObject() {
    if (token_) --*token_;
}

void DisplayObject::applyPlacement(const swf::PlaceObject& p) {
    if (p.matrix) matrix = toQTransform(*p.matrix);
    if (p.colorTransform) colorTransform = ColorTransform::from(*p.colorTransform);
    if (p.ratio) ratio = *p.ratio;
    if (p.name) name = *p.name;
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

QRectF DisplayObject::localBounds() const { return characterBounds(character_, ratio); }

QRectF DisplayObject::boundsInParent() const { return matrix.mapRect(localBounds()); }

void DisplayObject::setX(double v) { matrix = QTransform(matrix.m11(), matrix.m12(), matrix.m21(), matrix.m22(), v * 20.0, matrix.dy()); }
void DisplayObject::setY(double v) { matrix = QTransform(matrix.m11(), matrix.m12(), matrix.m21(), matrix.m22(), matrix.dx(), v * 20.0); }

double DisplayObject::xScale() const { return std::hypot(matrix.m11(), matrix.m12()) * 100.0; }

double DisplayObject::yScale() const {
    double s = std::hypot(matrix.m21(), matrix.m22()) * 100.0;
    return matrix.determinant() < 0 ? -s : s;
}

double DisplayObject::rotation() const { return std::atan2(matrix.m12(), matrix.m11()) * 180.0 / M_PI; }

void DisplayObject::setScaleRotation(double xs, double ys, double rx, double skew) {
    double ry = rx + skew;
    matrix = QTransform(xs * std::cos(rx), xs * std::sin(rx), -ys * std::sin(ry), ys * std::cos(ry),
                        matrix.dx(), matrix.dy());
}

namespace {
double skewOf(const QTransform& m) {
    double rx = std::atan2(m.m12(), m.m11());
    double ry = std::atan2(-m.m21(), m.m22());
    return ry - rx;
}
}  // namespace

void DisplayObject::setXScale(double percent) {
    setScaleRotation(percent / 100.0, yScale() / 100.0, rotation() * M_PI / 180.0, skewOf(matrix));
}

void DisplayObject::setYScale(double percent) {
    setScaleRotation(xScale() / 100.0, percent / 100.0, rotation() * M_PI / 180.0, skewOf(matrix));
}

void DisplayObject::setRotation(double degrees) {
    setScaleRotation(xScale() / 100.0, yScale() / 100.0, degrees * M_PI / 180.0, skewOf(matrix));
}

double DisplayObject::width() const { return boundsInParent().width() / 20.0; }
double DisplayObject::height() const { return boundsInParent().height() / 20.0; }

void DisplayObject::setWidth(double pixels) {
    double w = localBounds().width() / 20.0;
    if (w > 0) setXScale(pixels / w * 100.0);
}

void DisplayObject::setHeight(double pixels) {
    double h = localBounds().height() / 20.0;
    if (h > 0) setYScale(pixels / h * 100.0);
}

namespace {

std::shared_ptr<DisplayObject> makeDisplayObject(const Character* c, Player& player) {
    switch (c->kind) {
    case CharacterKind::Shape: return std::make_shared<Graphic>(ObjectKind::Shape, c);
    case CharacterKind::MorphShape: return std::make_shared<Graphic>(ObjectKind::MorphShape, c);
    case CharacterKind::Text: return std::make_shared<Graphic>(ObjectKind::Text, c);
    case CharacterKind::Bitmap: return std::make_shared<Graphic>(ObjectKind::Bitmap, c);
    case CharacterKind::Video: return std::make_shared<Graphic>(ObjectKind::Video, c);
    case CharacterKind::EditText: return std::make_shared<EditText>(c, player.swfVersion());
    case CharacterKind::Button: return std::make_shared<Button>(c, player);
    case CharacterKind::Sprite: return std::make_shared<MovieClip>(c, c->timeline.get());
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
