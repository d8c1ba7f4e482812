// Formats crossing between text fields (TextStyle, pixels) and scripts'
// TextFormat objects (fields that may be unset).
#pragma once

#include "flash/avm1/host.h"
#include "flash/core/rich_text.h"

namespace flash {

// Every field set.
kinolux::avm1::TextFormat formatOf(const TextStyle& style);
// Leaves in `f` only the fields `other` has the same.
void keepCommon(kinolux::avm1::TextFormat& f, const kinolux::avm1::TextFormat& other);
// Whether `f` sets any field that belongs to whole paragraphs.
bool setsParagraph(const kinolux::avm1::TextFormat& f);
// Only the fields the format sets change; numbers that are no finite
// number are ignored.
void applyCharacterFields(const kinolux::avm1::TextFormat& f, TextStyle& style);
void applyParagraphFields(const kinolux::avm1::TextFormat& f, TextStyle& style);
void apply(const kinolux::avm1::TextFormat& f, TextStyle& style);

}  // namespace flash
