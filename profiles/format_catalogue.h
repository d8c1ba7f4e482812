// The catalogue of output formats the format chooser offers: groups of
// buttons, each standing for one profile file or opening a menu of variants
// that each stand for one.
#pragma once

#include <span>

namespace kinolux {

struct FormatVariant {
    int command;           // the menu command; items sharing one pick the same file
    const char* text;      // shown as it stands, never translated
    const char* fileName;  // the profile file in the program's ini/ folder
    bool separatorAfter;
};

struct FormatButton {
    int id;
    const char* labelKey;
    const char* tooltipKey;
    const char* fileName;  // null when the button opens its variants
    int menu;              // the variants' menu number, 0 for a direct pick
};

struct FormatGroup {
    int labelId;
    const char* labelKey;
    std::span<const FormatButton> buttons;
};

std::span<const FormatGroup> FormatGroups();
// The variants of menu `menu`, in menu order.
std::span<const FormatVariant> FormatVariants(int menu);

}  // namespace kinolux
