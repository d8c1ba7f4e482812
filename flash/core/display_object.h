// What sits on a display list: the common state of every object, and the
// simple objects that only show their character (shapes, morph shapes,
// static text, bitmaps, video).
#pragma once

#include <QRectF>
#include <QTransform>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "flash/core/color_transform.h"
#include "flash/core/library.h"

namespace flash {

class MovieClip;

enum class ObjectKind { Shape, MorphShape, Text, Bitmap, Video, EditText, Button, MovieClip };

class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    DisplayObject(ObjectKind kind, const Character* character);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    ObjectKind kind() const { return kind_; }
    const Character* character() const { return character_; }
    swf::CharacterId characterId() const { return character_ ? character_->id : 0; }
    std::uint64_t instanceId() const { return instanceId_; }
    MovieClip* parent() const { return parent_; }
    void setParent(MovieClip* p) { parent_ = p; }

    // Placement state, as the timeline or a script sets it. Matrix in twips.
    int depth = 0;
    QTransform matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    std::string name;
    int clipDepth = 0;  // > 0: this object masks the depths up to clipDepth
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    std::vector<swf::Filter> filters;
    bool cacheAsBitmap = false;
    bool visible = true;
    std::optional<swf::Color> opaqueBackground;
    // The parent's frame (0-based) whose tags placed this object; -1 when a
    // script created it. Going back on the timeline keeps only objects
    // placed at or before the target frame.
    int placeFrame = -1;
    // Clip event handlers from the placing tag (owned by the movie's tags).
    const std::vector<swf::ClipAction>* clipActions = nullptr;
    bool handlesEvent(std::uint32_t clipEvent) const;
    // Counts this object among its player's live objects until it goes.
    void holdToken(std::shared_ptr<std::size_t> token) { token_ = std::move(token); }

    // Applies the fields a PlaceObject tag carries.
    void applyPlacement(const swf::PlaceObject& p);
    // Switches to another character of a compatible kind (PlaceObject replace).
    virtual bool replaceCharacter(const Character* c);

    // Bounds in the object's own coordinates (twips), without children's
    // transforms applied for leaves; MovieClip unions its children.
    virtual QRectF localBounds() const;

    // Properties in the units scripts use: pixels, percent, degrees, 0..100.
    double x() const { return matrix.dx() / 20.0; }
    double y() const { return matrix.dy() / 20.0; }
    void setX(double v);
    void setY(double v);
    double xScale() const;
    double yScale() const;
    double rotation() const;
    void setXScale(double percent);
    void setYScale(double percent);
    void setRotation(double degrees);
    double alpha() const { return colorTransform.mul[3] * 100.0; }
    void setAlpha(double percent) { colorTransform.mul[3] = float(percent / 100.0); }
    double width() const;   // pixels, in the parent's coordinates
    double height() const;
    void setWidth(double pixels);
    void setHeight(double pixels);

protected:
    const Character* character_;

private:
    void setScaleRotation(double xs, double ys, double rotationRad, double skewRad);
    QRectF boundsInParent() const;

    ObjectKind kind_;
    std::uint64_t instanceId_;
    MovieClip* parent_ = nullptr;
    std::shared_ptr<std::size_t> token_;
};

// Shapes, morph shapes, static text, bitmaps and video: drawn from their
// character alone.
class Graphic : public DisplayObject {
public:
    Graphic(ObjectKind kind, const Character* c) : DisplayObject(kind, c) {}
    bool replaceCharacter(const Character* c) override;
};

// Every object the timeline can place for a character; null for characters
// that cannot be placed (fonts, sounds).
class Player;
std::shared_ptr<DisplayObject> createDisplayObject(const Character* c, Player& player);
}  // namespace flash
