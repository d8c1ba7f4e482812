// Pieces of the writer shared between its source files.
#pragma once

#include "flash/swf/byte_writer.h"
#include "flash/swf/types.h"

namespace swf::detail {

struct StyleBits {
    unsigned fill = 0, line = 0;
};

void writeShapeStyles(ByteWriter& w, const ShapeStyles& s, int shapeVersion);
// Writes the fill/line bit counts and the records up to the end record.
void writeShapeRecords(ByteWriter& w, const std::vector<ShapeRecord>& records, StyleBits bits, int shapeVersion);
StyleBits styleBitsFor(const ShapeStyles& s);
void writeDefineShape(ByteWriter& w, const DefineShape& s);
void writeDefineMorphShape(ByteWriter& w, const DefineMorphShape& m);

void writeDefineFont(ByteWriter& w, const DefineFont& f);
void writeDefineFontInfo(ByteWriter& w, const DefineFontInfo& f);
void writeDefineText(ByteWriter& w, const DefineText& t);
void writeDefineEditText(ByteWriter& w, const DefineEditText& t);

void writePlaceObject(ByteWriter& w, const PlaceObject& p, std::uint8_t swfVersion);
void writeFilters(ByteWriter& w, const std::vector<Filter>& filters);
void writeDefineButton(ByteWriter& w, const DefineButton& b);
void writeSoundInfo(ByteWriter& w, const SoundInfo& i);
void writeSoundFormat(ByteWriter& w, const SoundFormatInfo& f);

}  // namespace swf::detail
