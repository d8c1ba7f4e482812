// Plain data for everything a SWF file holds. The reader fills these, the
// writer writes them back; nothing here draws or plays.
//
// Byte ranges (Bytes) point into the buffer of the Movie they were read from
// (or, for the writer, into whatever the caller owns), so a Movie must outlive
// the tags taken from it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace swf {

using Bytes = std::span<const std::uint8_t>;
using Twips = std::int32_t;  // 1/20 pixel
using CharacterId = std::uint16_t;
using Depth = std::uint16_t;
using Fixed16 = std::int32_t;  // 16.16 fixed point
using Fixed8 = std::int16_t;   // 8.8 fixed point

constexpr Fixed16 kFixed16One = 0x10000;
constexpr Fixed8 kFixed8One = 0x100;

struct Rect {
    Twips xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool operator==(const Rect&) const = default;
};

struct Color {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Color&) const = default;
};

// a c tx
// b d ty
struct Matrix {
    Fixed16 a = kFixed16One, b = 0, c = 0, d = kFixed16One;
    Twips tx = 0, ty = 0;
    bool operator==(const Matrix&) const = default;
};

// Multipliers are 8.8 fixed point (256 = 1.0); additions are added after.
struct ColorTransform {
    Fixed8 rMul = kFixed8One, gMul = kFixed8One, bMul = kFixed8One, aMul = kFixed8One;
    std::int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
    bool operator==(const ColorTransform&) const = default;
};

enum class Compression : std::uint8_t { None, Zlib, Lzma };

struct Header {
    Compression compression = Compression::None;
    std::uint8_t version = 10;
    std::uint32_t uncompressedLength = 0;  // as declared in the file
    Rect stageSize;
    std::uint16_t frameRate = 0x1800;      // 8.8 fixed point frames per second
    std::uint16_t frameCount = 1;
    bool operator==(const Header&) const = default;
};

// ---- shapes -----------------------------------------------------------------

enum class SpreadMode : std::uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : std::uint8_t { Rgb = 0, LinearRgb = 1 };

struct GradientRecord {
    std::uint8_t ratio = 0;
    Color color;
    bool operator==(const GradientRecord&) const = default;
};

struct Gradient {
    Matrix matrix;
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Rgb;
    std::vector<GradientRecord> records;
    bool operator==(const Gradient&) const = default;
};

enum class FillType : std::uint8_t {
    Solid = 0x00,
    LinearGradient = 0x10,
    RadialGradient = 0x12,
    FocalGradient = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    NonSmoothedRepeatingBitmap = 0x42,
    NonSmoothedClippedBitmap = 0x43,
};

struct FillStyle {
    FillType type = FillType::Solid;
    Color color;              // Solid
    Gradient gradient;        // gradients
    Fixed8 focalPoint = 0;    // FocalGradient, -1.0 .. 1.0
    CharacterId bitmapId = 0; // bitmaps (0xFFFF: no bitmap)
    Matrix bitmapMatrix;
    bool operator==(const FillStyle&) const = default;
};

bool isGradient(FillType);

enum class LineCap : std::uint8_t { Round = 0, None = 1, Square = 2 };
enum class LineJoin : std::uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    std::uint16_t width = 20;
    Color color;
    // LineStyle2 (DefineShape4 / DefineMorphShape2) only:
    LineCap startCap = LineCap::Round, endCap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
    Fixed8 miterLimit = 3 * kFixed8One;
    std::optional<FillStyle> fill;  // replaces color when present
    bool operator==(const LineStyle&) const = default;
};

struct ShapeStyles {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    bool operator==(const ShapeStyles&) const = default;
};

// Style indices are 1-based into the current styles; 0 means none.
struct StyleChange {
    std::optional<std::pair<Twips, Twips>> moveTo;
    std::optional<std::uint32_t> fill0, fill1, line;
    std::optional<ShapeStyles> newStyles;
    bool operator==(const StyleChange&) const = default;
};

struct StraightEdge {
    Twips dx = 0, dy = 0;
    bool operator==(const StraightEdge&) const = default;
};

struct CurvedEdge {
    Twips controlDx = 0, controlDy = 0, anchorDx = 0, anchorDy = 0;
    bool operator==(const CurvedEdge&) const = default;
};

using ShapeRecord = std::variant<StyleChange, StraightEdge, CurvedEdge>;

struct DefineShape {
    std::uint8_t version = 1;  // 1..4 for DefineShape..DefineShape4
    CharacterId id = 0;
    Rect bounds;
    Rect edgeBounds;  // version 4
    bool usesFillWindingRule = false, usesNonScalingStrokes = false, usesScalingStrokes = false;
    ShapeStyles styles;
    std::vector<ShapeRecord> records;
    bool operator==(const DefineShape&) const = default;
};

// One end of a morph; start and end carry styles of the same count and order.
struct MorphEnd {
    Rect bounds, edgeBounds;
    ShapeStyles styles;
    std::vector<ShapeRecord> records;
    bool operator==(const MorphEnd&) const = default;
};

struct DefineMorphShape {
    std::uint8_t version = 1;  // 1 or 2
    CharacterId id = 0;
    bool usesNonScalingStrokes = false, usesScalingStrokes = false;
    MorphEnd start, end;
    bool operator==(const DefineMorphShape&) const = default;
};

// ---- bitmaps ----------------------------------------------------------------

struct JpegTables { Bytes data; };

// DefineBits (version 1, needs JPEGTables), DefineBitsJPEG2/3/4.
struct DefineBitsJpeg {
    std::uint8_t version = 2;
    CharacterId id = 0;
    Bytes data;        // JPEG, PNG or GIF
    Bytes alphaData;   // zlib compressed, versions 3 and 4
    Fixed8 deblocking = 0;  // version 4
};

enum class LosslessFormat : std::uint8_t { ColorMap8 = 3, Rgb15 = 4, Rgb32 = 5 };

struct DefineBitsLossless {
    std::uint8_t version = 1;  // 2 carries alpha
    CharacterId id = 0;
    LosslessFormat format = LosslessFormat::Rgb32;
    std::uint16_t width = 0, height = 0;
    std::uint16_t colorTableSize = 0;  // entries, ColorMap8 only (1..256)
    Bytes zlibData;
};

// ---- text -------------------------------------------------------------------

struct KerningRecord {
    std::uint16_t left = 0, right = 0;
    std::int16_t adjustment = 0;
    bool operator==(const KerningRecord&) const = default;
};

struct Glyph {
    std::vector<ShapeRecord> shape;
    std::uint16_t code = 0;
    std::int16_t advance = 0;  // with layout
    Rect bounds;               // with layout
    bool operator==(const Glyph&) const = default;
};

struct FontLayout {
    std::uint16_t ascent = 0, descent = 0;
    std::int16_t leading = 0;
    std::vector<KerningRecord> kerning;
    bool operator==(const FontLayout&) const = default;
};

struct FontFlags {
    bool shiftJis = false, smallText = false, ansi = false, italic = false, bold = false;
    bool wideCodes = true, wideOffsets = false;
    bool operator==(const FontFlags&) const = default;
};

// DefineFont (1: glyph shapes only), DefineFont2 and DefineFont3 (glyphs in
// units twenty times finer).
struct DefineFont {
    std::uint8_t version = 2;
    CharacterId id = 0;
    std::string name;
    FontFlags flags;
    std::uint8_t language = 0;
    std::vector<Glyph> glyphs;
    std::optional<FontLayout> layout;
    bool operator==(const DefineFont&) const = default;
};

struct DefineFontInfo {
    std::uint8_t version = 1;
    CharacterId fontId = 0;
    std::string name;
    FontFlags flags;
    std::uint8_t language = 0;  // version 2
    std::vector<std::uint16_t> codes;
    bool operator==(const DefineFontInfo&) const = default;
};

struct DefineFontName {
    CharacterId fontId = 0;
    std::string name, copyright;
};

struct DefineFont4 {
    CharacterId id = 0;
    bool italic = false, bold = false;
    std::string name;
    Bytes data;
};

struct GlyphEntry {
    std::uint32_t index = 0;
    std::int32_t advance = 0;
    bool operator==(const GlyphEntry&) const = default;
};

struct TextRecord {
    std::optional<CharacterId> fontId;
    std::optional<Color> color;
    std::optional<Twips> xOffset, yOffset;
    std::uint16_t height = 0;  // with fontId
    std::vector<GlyphEntry> glyphs;
    bool operator==(const TextRecord&) const = default;
};

struct DefineText {
    std::uint8_t version = 1;  // 2 has alpha in record colours
    CharacterId id = 0;
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
    bool operator==(const DefineText&) const = default;
};

enum class TextAlign : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditTextLayout {
    TextAlign align = TextAlign::Left;
    std::uint16_t leftMargin = 0, rightMargin = 0, indent = 0;
    std::int16_t leading = 0;
    bool operator==(const EditTextLayout&) const = default;
};

struct DefineEditText {
    CharacterId id = 0;
    Rect bounds;
    bool wordWrap = false, multiline = false, password = false, readOnly = false;
    bool autoSize = false, noSelect = false, border = false, wasStatic = false;
    bool html = false, useOutlines = false;
    std::optional<CharacterId> fontId;
    std::optional<std::string> fontClass;
    std::optional<std::uint16_t> fontHeight;
    std::optional<Color> color;
    std::optional<std::uint16_t> maxLength;
    std::optional<EditTextLayout> layout;
    std::string variableName;
    std::optional<std::string> initialText;
    bool operator==(const DefineEditText&) const = default;
};

struct CsmTextSettings {
    CharacterId id = 0;
    std::uint8_t flags = 0;
    float thickness = 0, sharpness = 0;
};

// ---- sound and video --------------------------------------------------------

enum class SoundFormat : std::uint8_t {
    UncompressedNativeEndian = 0, Adpcm = 1, Mp3 = 2, UncompressedLittleEndian = 3,
    Nellymoser16k = 4, Nellymoser8k = 5, Nellymoser = 6, Speex = 11,
};

// Rates: 0 = 5512 Hz, 1 = 11025, 2 = 22050, 3 = 44100.
struct SoundFormatInfo {
    SoundFormat compression = SoundFormat::UncompressedLittleEndian;
    std::uint8_t rate = 3;
    bool is16Bit = true, stereo = true;
    bool operator==(const SoundFormatInfo&) const = default;
};

struct DefineSound {
    CharacterId id = 0;
    SoundFormatInfo format;
    std::uint32_t sampleCount = 0;
    Bytes data;
};

struct SoundEnvelopePoint {
    std::uint32_t pos44 = 0;  // position in 44 kHz samples
    std::uint16_t leftLevel = 32768, rightLevel = 32768;
    bool operator==(const SoundEnvelopePoint&) const = default;
};

struct SoundInfo {
    bool syncStop = false, syncNoMultiple = false;
    std::optional<std::uint32_t> inPoint, outPoint;
    std::optional<std::uint16_t> loopCount;
    std::optional<std::vector<SoundEnvelopePoint>> envelope;
    bool operator==(const SoundInfo&) const = default;
};

struct StartSound {
    CharacterId soundId = 0;
    SoundInfo info;
};

struct StartSound2 {
    std::string className;
    SoundInfo info;
};

struct SoundStreamHead {
    std::uint8_t version = 1;  // 2 for SoundStreamHead2
    SoundFormatInfo playback;
    SoundFormatInfo stream;
    std::uint16_t samplesPerFrame = 0;
    std::int16_t latencySeek = 0;  // MP3 only
};

struct SoundStreamBlock { Bytes data; };

struct DefineVideoStream {
    CharacterId id = 0;
    std::uint16_t numFrames = 0, width = 0, height = 0;
    std::uint8_t deblocking = 0;
    bool smoothing = false;
    std::uint8_t codec = 0;  // 2 H.263, 3 screen, 4 VP6, 5 VP6 alpha, 6 screen 2
};

struct VideoFrame {
    CharacterId streamId = 0;
    std::uint16_t frameNum = 0;
    Bytes data;
};

// ---- display list -----------------------------------------------------------

struct DropShadowFilter {
    Color color;
    Fixed16 blurX = 0, blurY = 0, angle = 0, distance = 0;
    Fixed8 strength = kFixed8One;
    bool inner = false, knockout = false, compositeSource = true;
    std::uint8_t passes = 1;
    bool operator==(const DropShadowFilter&) const = default;
};

struct BlurFilter {
    Fixed16 blurX = 0, blurY = 0;
    std::uint8_t passes = 1;
    bool operator==(const BlurFilter&) const = default;
};

struct GlowFilter {
    Color color;
    Fixed16 blurX = 0, blurY = 0;
    Fixed8 strength = kFixed8One;
    bool inner = false, knockout = false, compositeSource = true;
    std::uint8_t passes = 1;
    bool operator==(const GlowFilter&) const = default;
};

struct BevelFilter {
    Color shadowColor, highlightColor;
    Fixed16 blurX = 0, blurY = 0, angle = 0, distance = 0;
    Fixed8 strength = kFixed8One;
    bool inner = false, knockout = false, compositeSource = true, onTop = false;
    std::uint8_t passes = 1;
    bool operator==(const BevelFilter&) const = default;
};

// Gradient glow (glow = true) and gradient bevel.
struct GradientFilter {
    bool bevel = false;
    std::vector<GradientRecord> colors;
    Fixed16 blurX = 0, blurY = 0, angle = 0, distance = 0;
    Fixed8 strength = kFixed8One;
    bool inner = false, knockout = false, compositeSource = true, onTop = false;
    std::uint8_t passes = 1;
    bool operator==(const GradientFilter&) const = default;
};

struct ConvolutionFilter {
    std::uint8_t columns = 0, rows = 0;
    float divisor = 1, bias = 0;
    std::vector<float> matrix;
    Color defaultColor;
    bool clamp = true, preserveAlpha = true;
    bool operator==(const ConvolutionFilter&) const = default;
};

struct ColorMatrixFilter {
    float matrix[20] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
    bool operator==(const ColorMatrixFilter&) const = default;
};

using Filter = std::variant<DropShadowFilter, BlurFilter, GlowFilter, BevelFilter,
                            GradientFilter, ConvolutionFilter, ColorMatrixFilter>;

enum class BlendMode : std::uint8_t {
    Normal = 0, Layer = 2, Multiply = 3, Screen = 4, Lighten = 5, Darken = 6,
    Difference = 7, Add = 8, Subtract = 9, Invert = 10, Alpha = 11, Erase = 12,
    Overlay = 13, HardLight = 14,
};

// Clip event bits as stored (the 32-bit form; SWF 5 files store the low 16).
namespace ClipEvent {
constexpr std::uint32_t Load = 0x1, EnterFrame = 0x2, Unload = 0x4, MouseMove = 0x8,
    MouseDown = 0x10, MouseUp = 0x20, KeyDown = 0x40, KeyUp = 0x80, Data = 0x100,
    Initialize = 0x200, Press = 0x400, Release = 0x800, ReleaseOutside = 0x1000,
    RollOver = 0x2000, RollOut = 0x4000, DragOver = 0x8000, DragOut = 0x10000,
    KeyPress = 0x20000, Construct = 0x40000;
}

struct ClipAction {
    std::uint32_t events = 0;
    std::uint8_t keyCode = 0;  // with ClipEvent::KeyPress
    Bytes actions;             // raw action bytecode
};

enum class PlaceAction : std::uint8_t { Place, Modify, Replace };

// PlaceObject, PlaceObject2 and PlaceObject3.
struct PlaceObject {
    std::uint8_t version = 2;
    PlaceAction action = PlaceAction::Place;
    Depth depth = 0;
    CharacterId characterId = 0;  // Place and Replace
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<Depth> clipDepth;
    std::optional<std::string> className;
    bool hasImage = false;
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Color> backgroundColor;
    std::optional<std::vector<ClipAction>> clipActions;
};

struct RemoveObject {
    std::uint8_t version = 2;
    Depth depth = 0;
    CharacterId characterId = 0;  // version 1 only
};

struct ShowFrame {};
struct End {};

struct FrameLabel {
    std::string name;
    bool anchor = false;
};

struct SetBackgroundColor { Color color; };

struct DoAction { Bytes actions; };

struct DoInitAction {
    CharacterId spriteId = 0;
    Bytes actions;
};

struct Tag;

struct DefineSprite {
    CharacterId id = 0;
    std::uint16_t frameCount = 0;
    std::vector<Tag> tags;
};

// ---- buttons ----------------------------------------------------------------

namespace ButtonState {
constexpr std::uint8_t Up = 1, Over = 2, Down = 4, HitTest = 8;
}

struct ButtonRecord {
    std::uint8_t states = 0;  // ButtonState bits
    CharacterId characterId = 0;
    Depth depth = 0;
    Matrix matrix;
    ColorTransform colorTransform;  // DefineButton2 only
    std::vector<Filter> filters;
    BlendMode blendMode = BlendMode::Normal;
};

// Transition bits of a DefineButton2 action condition.
namespace ButtonCondition {
constexpr std::uint16_t IdleToOverUp = 0x1, OverUpToIdle = 0x2, OverUpToOverDown = 0x4,
    OverDownToOverUp = 0x8, OverDownToOutDown = 0x10, OutDownToOverDown = 0x20,
    OutDownToIdle = 0x40, IdleToOverDown = 0x80, OverDownToIdle = 0x100;
}

struct ButtonAction {
    std::uint16_t conditions = ButtonCondition::OverDownToOverUp;
    std::uint8_t keyCode = 0;
    Bytes actions;
};

struct DefineButton {
    std::uint8_t version = 2;
    CharacterId id = 0;
    bool trackAsMenu = false;
    std::vector<ButtonRecord> records;
    std::vector<ButtonAction> actions;
};

struct DefineButtonCxform {
    CharacterId buttonId = 0;
    ColorTransform colorTransform;
};

// Sounds for OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp.
struct ButtonSound {
    CharacterId soundId = 0;
    SoundInfo info;
};

struct DefineButtonSound {
    CharacterId buttonId = 0;
    ButtonSound sounds[4];
};

// ---- the rest ---------------------------------------------------------------

struct ExportAssets {
    std::vector<std::pair<CharacterId, std::string>> assets;
};

struct ImportAssets {
    std::uint8_t version = 1;
    std::string url;
    std::vector<std::pair<CharacterId, std::string>> assets;
};

struct SymbolClass {
    std::vector<std::pair<CharacterId, std::string>> symbols;
};

struct FileAttributes { std::uint32_t flags = 0; };

namespace FileAttribute {
constexpr std::uint32_t UseNetwork = 0x1, ActionScript3 = 0x8, HasMetadata = 0x10,
    UseGpu = 0x20, UseDirectBlit = 0x40;
}

struct Metadata { std::string xml; };

struct ScriptLimits {
    std::uint16_t maxRecursionDepth = 256, timeoutSeconds = 15;
};

struct SetTabIndex {
    Depth depth = 0;
    std::uint16_t tabIndex = 0;
};

struct DefineScalingGrid {
    CharacterId id = 0;
    Rect splitter;
};

struct SceneAndFrameLabelData {
    std::vector<std::pair<std::uint32_t, std::string>> scenes;  // first frame, name
    std::vector<std::pair<std::uint32_t, std::string>> labels;  // frame, label
};

struct DefineBinaryData {
    CharacterId id = 0;
    Bytes data;
};

struct DoAbc { Bytes data; };

// Anything this reader does not interpret, kept as it stood.
struct UnknownTag {
    std::uint16_t code = 0;
    Bytes data;
};

using TagBody = std::variant<
    UnknownTag, End, ShowFrame, PlaceObject, RemoveObject, FrameLabel, SetBackgroundColor,
    DoAction, DoInitAction, DefineShape, DefineMorphShape, DefineBitsJpeg, JpegTables,
    DefineBitsLossless, DefineFont, DefineFontInfo, DefineFontName, DefineFont4, DefineText,
    DefineEditText, CsmTextSettings, DefineSound, StartSound, StartSound2, SoundStreamHead,
    SoundStreamBlock, DefineVideoStream, VideoFrame, DefineSprite, DefineButton,
    DefineButtonCxform, DefineButtonSound, ExportAssets, ImportAssets, SymbolClass,
    FileAttributes, Metadata, ScriptLimits, SetTabIndex, DefineScalingGrid,
    SceneAndFrameLabelData, DefineBinaryData, DoAbc>;

struct Tag {
    TagBody body;
    template <class T> Tag(T value) : body(std::move(value)) {}
    Tag() = default;
    template <class T> const T* get() const { return std::get_if<T>(&body); }
    template <class T> T* get() { return std::get_if<T>(&body); }
};

// A movie read from a file: the header, the uncompressed bytes that every
// Bytes in the tags points into, the tags, and what was skipped on the way.
struct Movie {
    Header header;
    std::vector<std::uint8_t> data;
    std::vector<Tag> tags;
    std::vector<std::string> warnings;
    // The size of the file as read, compressed when it was.
    std::size_t fileSize = 0;

    Movie() = default;
    Movie(Movie&&) = default;
    Movie& operator=(Movie&&) = default;
    Movie(const Movie&) = delete;
    Movie& operator=(const Movie&) = delete;
};

}  // namespace swf
