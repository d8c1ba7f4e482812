// Pieces of the reader shared between its source files.
#pragma once

#include <string>
#include <vector>

#include "flash/swf/byte_reader.h"
#include "flash/swf/types.h"

namespace swf::detail {

struct ReadContext {
    std::uint8_t version = 10;
    int spriteDepth = 0;
    std::vector<std::string>* warnings = nullptr;
    std::size_t* budget = nullptr;  // see ByteReader::charge
};

std::vector<Tag> readTagList(Bytes data, const ReadContext& ctx);
TagBody readTagBody(std::uint16_t code, Bytes body, const ReadContext& ctx);

// shapes
ShapeStyles readShapeStyles(ByteReader& r, int shapeVersion);
FillStyle readFillStyle(ByteReader& r, int shapeVersion);
Gradient readGradient(ByteReader& r, int shapeVersion);
std::vector<ShapeRecord> readShapeRecords(ByteReader& r, int shapeVersion);  // from the bit counts on
DefineShape readDefineShape(ByteReader& r, int version);
DefineMorphShape readDefineMorphShape(ByteReader& r, int version);

// text
DefineFont readDefineFont1(ByteReader& r);
DefineFont readDefineFont23(ByteReader& r, int version);
DefineFontInfo readDefineFontInfo(ByteReader& r, int version);
DefineText readDefineText(ByteReader& r, int version);
DefineEditText readDefineEditText(ByteReader& r);

// display list, filters and buttons
PlaceObject readPlaceObject(ByteReader& r, int version, std::uint8_t swfVersion);
std::vector<Filter> readFilters(ByteReader& r);
DefineButton readDefineButton(ByteReader& r, int version);
SoundInfo readSoundInfo(ByteReader& r);

// bitmaps, sound and video
SoundFormatInfo readSoundFormat(ByteReader& r);
DefineSound readDefineSound(ByteReader& r);
SoundStreamHead readSoundStreamHead(ByteReader& r, int version);
DefineBitsJpeg readDefineBitsJpeg(ByteReader& r, int version);
DefineBitsLossless readDefineBitsLossless(ByteReader& r, int version);
DefineVideoStream readDefineVideoStream(ByteReader& r);

}  // namespace swf::detail
