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
#include "flash/core/matrix3d.h"
#include "flash/core/script_binding.h"
#include "flash/core/script_sound.h"

namespace flash {

class MovieClip;
class Player;

enum class ObjectKind { Shape, MorphShape, Text, Bitmap, Video, EditText, Button, MovieClip };

// Depths as the file stores them sit above the ones scripts use: a script
// sees timeline depth d as d - 16384, and the player keeps script depth s
// at s + 16384, so that one ordering serves both.
constexpr int kTimelineDepthOffset = 16384;

class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    DisplayObject(ObjectKind kind, const Character* character, Player& player);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    ObjectKind kind() const { return kind_; }
    // Whether an unnamed placement gets an "instanceN" name: in
    // ActionScript 1/2 movies shapes, static text, bitmaps and videos do
    // not (nor use up a number); ActionScript 3 names every object.
    bool takesInstanceName() const;
    const Character* character() const { return character_; }
    swf::CharacterId characterId() const { return character_ ? character_->id : 0; }
    std::uint64_t instanceId() const { return instanceId_; }
    Player& player() const { return player_; }
    // The clip or button whose display list holds this object.
    DisplayObject* parent() const { return parent_; }
    MovieClip* parentClip() const;
    // How many containers hold this object (0 for the root of a level).
    int nesting() const;
    void setParent(DisplayObject* p) { parent_ = p; }
    // True from placement until removal.
    bool onStage() const { return onStage_; }
    void setOnStage(bool on) { onStage_ = on; }
    // The script face of this object (made with it, lives as long).
    ScriptBinding& binding() const { return *binding_; }
    // The SWF version of the movie this object comes from.
    int swfVersion() const;

    // Placement state, as the timeline or a script sets it.
    int depth = 0;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    kinolux::script::String name;
    int clipDepth = 0;  // > 0: this object masks the depths up to clipDepth
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    std::vector<swf::Filter> filters;
    bool cacheAsBitmap = false;
    bool visible = true;
    std::optional<swf::Color> opaqueBackground;
    // The visible part of the object in its own pixels (scrollRect).
    std::optional<QRectF> scrollRect;
    // How loud, and to which side, the sounds this object's timeline (and
    // its children's) start are heard, under its parents' own levels: what a
    // script's Sound on a clip sets.
    ScriptSoundLevels soundLevels;
    // The tag that placed this object; null when a script made it. Going
    // back on the timeline keeps only objects whose placement still holds.
    const swf::PlaceObject* placedBy = nullptr;
    // Set when a script moves, scales, turns or recolours the object: from
    // then on the timeline no longer changes its transform.
    bool transformedByScript = false;
    // Clip event handlers from the placing tag, and the library whose movie
    // holds their bytes.
    const std::vector<swf::ClipAction>* clipActions = nullptr;
    const Library* actionsLibrary = nullptr;
    bool handlesEvent(std::uint32_t clipEvent) const;
    // Taken off by the timeline or a script, waiting for its unload
    // handlers: its other queued scripts no longer run.
    bool removalPending = false;
    // Counts this object among its player's live objects until it goes.
    void holdToken(std::shared_ptr<std::size_t> token) { token_ = std::move(token); }

    // The object that masks this one (setMask), and whether this one masks
    // another and is therefore not drawn itself.
    DisplayObject* maskObject() const { return mask_.lock().get(); }
    void setMaskObject(DisplayObject* mask);
    bool isMask() const { return maskedBy_ > 0; }

    // The transform into the parent's coordinates (twips).
    const QTransform& matrix() const { return matrix_; }
    void setMatrix(const QTransform& m);
    // The transform into stage twips.
    QTransform worldMatrix() const;
    // The transform in three dimensions (pixels) once a script gave the
    // object one; matrix() is then what the stage's perspective makes of it,
    // and a two-dimensional matrix set later replaces it.
    const std::optional<Matrix3D>& matrix3D() const { return matrix3D_; }
    void setMatrix3D(const std::optional<Matrix3D>& m);
    // How this object's three-dimensional children are seen: a field of
    // view across the stage's width and a centre (pixels). Objects without
    // their own take their parent's; the root's is the stage's.
    struct Perspective {
        double fieldOfView = 55;  // degrees
        QPointF centre;
    };
    std::optional<Perspective> perspective;
    Perspective perspectiveSeen() const;

    // Applies the fields a PlaceObject tag carries. An update of an object
    // already there leaves its name, and the transform once a script set it.
    void applyPlacement(const swf::PlaceObject& p, bool update = false);
    // Switches to another character of a compatible kind (PlaceObject replace).
    virtual bool replaceCharacter(const Character* c);

    // Bounds in the object's own coordinates (twips), without children's
    // transforms applied for leaves; MovieClip unions its children.
    virtual QRectF localBounds() const;
    // Whether a point in the object's own twips falls on what it shows:
    // its shapes when shapeFlag, else its bounds.
    virtual bool hitTestLocal(QPointF p, bool shapeFlag) const;

    // Properties in the units scripts use: pixels, percent, degrees, 0..100.
    double x() const { return matrix3D_ ? matrix3D_->m[12] : matrix_.dx() / 20.0; }
    double y() const { return matrix3D_ ? matrix3D_->m[13] : matrix_.dy() / 20.0; }
    void setX(double pixels);
    void setY(double pixels);
    double xScale() const;
    double yScale() const;
    double rotation() const;
    void setXScale(double percent);
    void setYScale(double percent);
    void setRotation(double degrees);
    double alpha() const { return colorTransform.mul[3] * 100.0; }
    void setAlpha(double percent);
    double width() const;   // pixels, in the parent's coordinates
    double height() const;
    virtual void setWidth(double pixels);
    virtual void setHeight(double pixels);

protected:
    void setBinding(std::unique_ptr<ScriptBinding> b) { binding_ = std::move(b); }
    const Character* character_;

private:
    // Scale and rotation as scripts last set them: the player keeps these
    // beside the matrix, so a value reads back as it was written.
    struct ScaleRotation {
        double xScale, yScale;       // fractions, signed as set
        double rotationX, rotationY;  // radians
    };
    const ScaleRotation& scaleRotation() const;
    void setScaleRotation(const ScaleRotation& s);
    QRectF boundsInParent() const;
    QTransform inPerspective(const Matrix3D& m) const;
    bool collapseIfEmpty();

    ObjectKind kind_;
    std::uint64_t instanceId_;
    Player& player_;
    DisplayObject* parent_ = nullptr;
    bool onStage_ = false;
    QTransform matrix_;
    std::optional<Matrix3D> matrix3D_;
    mutable std::optional<ScaleRotation> scaleRotation_;
    std::weak_ptr<DisplayObject> mask_;
    int maskedBy_ = 0;
    std::shared_ptr<std::size_t> token_;
    std::unique_ptr<ScriptBinding> binding_;
};

// Shapes, morph shapes, static text, bitmaps and video: drawn from their
// character alone.
class Graphic : public DisplayObject {
public:
    Graphic(ObjectKind kind, const Character* c, Player& player);
    bool replaceCharacter(const Character* c) override;
    bool hitTestLocal(QPointF p, bool shapeFlag) const override;
};

// Every object the timeline can place for a character; null for characters
// that cannot be placed (fonts, sounds) and when the object budget is spent.
std::shared_ptr<DisplayObject> createDisplayObject(const Character* c, Player& player);

}  // namespace flash
