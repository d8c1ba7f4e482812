// The filters scripts make, machine-free: each filter class's settings in
// constructor order with their defaults, the ranges the player keeps them
// in, and the file's filter records they stand for. Both script machines'
// filter classes are built on these.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "flash/swf/types.h"

namespace flash {

enum class FilterClass : std::uint8_t { Blur, DropShadow, Glow, Bevel, ColorMatrix, Convolution, GradientGlow, GradientBevel };

enum class FilterFieldKind : std::uint8_t { Number, Integer, Color, Boolean, Text, Numbers };

struct FilterField {
    FilterField(std::u16string_view n, FilterFieldKind k, double defaultNumber = 0, std::u16string_view defaultText = {})
        : name(n), kind(k), number(defaultNumber), text(defaultText) {}
    std::u16string_view name;
    FilterFieldKind kind;
    double number;          // default for numbers, colours and booleans
    std::u16string_view text;   // default for text
};

struct FilterClassInfo {
    FilterClass id;
    std::u16string_view name;
    std::vector<FilterField> fields;  // in constructor order
};

const std::vector<FilterClassInfo>& filterClasses();
const FilterClassInfo& filterClassInfo(FilterClass id);
const FilterClassInfo* filterClassNamed(std::u16string_view name);

struct FilterSetting {
    double number = 0;
    std::u16string text;
    std::vector<double> numbers;
};

// One filter's settings, in its class's field order.
struct FilterSettings {
    explicit FilterSettings(FilterClass id);  // the defaults
    FilterClass id;
    std::vector<FilterSetting> values;
    const FilterSetting& at(std::u16string_view name) const;
};

// A value a script stored, kept in range as the player keeps it.
void keepInRange(FilterSetting& s, const FilterField& f);
swf::Filter filterRecord(const FilterSettings& f);
FilterSettings filterSettingsOf(const swf::Filter& filter);

}  // namespace flash
