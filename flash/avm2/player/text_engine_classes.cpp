// flash.text.engine as far as scripts build on it: fonts described by
// name and style, element formats, text elements and blocks, and the text
// lines a block makes, which are display containers of their own.
#include <algorithm>

#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/natives.h"

namespace flash {
namespace {

using namespace as3;

// A property that takes one of a few names, kept as a hidden property of
// the object; an empty list takes any name.
struct Choice {
    std::u16string_view name;
    const char16_t* hidden;
    const char16_t* fallback;
    std::initializer_list<std::u16string_view> accepted;
};

template <const Choice& C>
Value choiceGetter(Vm&, const Value& t, Args) {
    return hiddenProperty(t, C.hidden, Value(String(C.fallback)));
}

void setChoice(Vm& vm, const Value& t, const Choice& c, const Value& v) {
    const std::string name = String(c.name).toUtf8();
    requireNonNull(vm, v, name);
    const String text = vm.toString(v);
    if (c.accepted.size() && std::find(c.accepted.begin(), c.accepted.end(), text.view()) == c.accepted.end())
        throwNotAccepted(vm, name);
    setHiddenProperty(t, c.hidden, Value(text));
}

template <const Choice& C>
Value choiceSetter(Vm& vm, const Value& t, Args a) {
    setChoice(vm, t, C, arg(a, 0));
    return Value();
}

template <const Choice& C>
void defineChoice(Vm& vm, Class* c) {
    vm.defineGetter(c, C.name, choiceGetter<C>, choiceSetter<C>);
}

// ---- FontDescription(fontName, fontWeight, fontPosture, fontLookup, renderingMode, cffHinting) ----

constexpr Choice kFontName{u"fontName", u"__fontName", u"_serif", {}};
constexpr Choice kFontWeight{u"fontWeight", u"__fontWeight", u"normal", {u"normal", u"bold"}};
constexpr Choice kFontPosture{u"fontPosture", u"__fontPosture", u"normal", {u"normal", u"italic"}};
constexpr Choice kFontLookup{u"fontLookup", u"__fontLookup", u"device", {u"device", u"embeddedCFF"}};
constexpr Choice kRenderingMode{u"renderingMode", u"__renderingMode", u"cff", {u"normal", u"cff"}};
constexpr Choice kCffHinting{u"cffHinting", u"__cffHinting", u"horizontalStem", {u"none", u"horizontalStem"}};
constexpr const Choice* kFontDescriptionParameters[] = {&kFontName,  &kFontWeight,    &kFontPosture,
                                                        &kFontLookup, &kRenderingMode, &kCffHinting};

Value fontDescriptionInit(Vm& vm, const Value& t, Args a) {
    for (std::size_t i = 0; i < a.size() && i < std::size(kFontDescriptionParameters); ++i)
        setChoice(vm, t, *kFontDescriptionParameters[i], a[i]);
    return Value();
}

// ---- EastAsianJustifier(locale, lineJustification, justificationStyle) ----

constexpr Choice kLocale{u"locale", u"__locale", u"ja", {}};
constexpr Choice kLineJustification{u"lineJustification", u"__lineJustification", u"allButLast",
                                    {u"unjustified", u"allButLast", u"allIncludingLast", u"allButMandatoryBreak"}};
constexpr Choice kJustificationStyle{u"justificationStyle", u"__justificationStyle", u"pushInKinsoku",
                                     {u"pushInKinsoku", u"pushOutOnly", u"prioritizeLeastAdjustment"}};
constexpr const Choice* kJustifierParameters[] = {&kLocale, &kLineJustification, &kJustificationStyle};

Value justifierInit(Vm& vm, const Value& t, Args a) {
    for (std::size_t i = 0; i < a.size() && i < std::size(kJustifierParameters); ++i)
        setChoice(vm, t, *kJustifierParameters[i], a[i]);
    vm.setPublic(t, u"composeTrailingIdeographicSpaces", Value(false));
    return Value();
}

Value justifierClone(Vm& vm, const Value& t, Args) {
    Value args[] = {vm.getPublic(t, kLocale.name), vm.getPublic(t, kLineJustification.name),
                    vm.getPublic(t, kJustificationStyle.name)};
    Value copy(vm.construct(vm.findClass(u"flash.text.engine.EastAsianJustifier"), args));
    vm.setPublic(copy, u"composeTrailingIdeographicSpaces", vm.getPublic(t, u"composeTrailingIdeographicSpaces"));
    return copy;
}

// ---- ElementFormat, TextElement and TextBlock: what a line is made of ----

constexpr std::initializer_list<std::u16string_view> kBaselines = {
    u"roman", u"ascent", u"descent", u"ideographicTop", u"ideographicCenter", u"ideographicBottom"};
constexpr Choice kTextRotation{u"textRotation", u"__textRotation", u"auto",
                               {u"rotate0", u"rotate90", u"rotate180", u"rotate270", u"auto"}};
constexpr Choice kDominantBaseline{u"dominantBaseline", u"__dominantBaseline", u"roman", kBaselines};
constexpr Choice kAlignmentBaseline{u"alignmentBaseline", u"__alignmentBaseline", u"useDominantBaseline",
                                    {u"roman", u"ascent", u"descent", u"ideographicTop", u"ideographicCenter",
                                     u"ideographicBottom", u"useDominantBaseline"}};
constexpr Choice kKerning{u"kerning", u"__kerning", u"on", {u"on", u"off", u"auto"}};
constexpr Choice kFormatLocale{u"locale", u"__locale", u"en", {}};
constexpr Choice kBreakOpportunity{u"breakOpportunity", u"__breakOpportunity", u"auto",
                                   {u"auto", u"any", u"none", u"all"}};
constexpr Choice kDigitCase{u"digitCase", u"__digitCase", u"default", {u"default", u"lining", u"oldStyle"}};
constexpr Choice kDigitWidth{u"digitWidth", u"__digitWidth", u"default", {u"default", u"proportional", u"tabular"}};
constexpr Choice kLigatureLevel{u"ligatureLevel", u"__ligatureLevel", u"common",
                                {u"none", u"minimum", u"common", u"uncommon", u"exotic"}};
constexpr Choice kTypographicCase{u"typographicCase", u"__typographicCase", u"default",
                                  {u"default", u"title", u"caps", u"uppercase", u"lowercase", u"capsAndSmallCaps",
                                   u"smallCaps"}};

// The constructor's named parameters by position, set last to first as
// the player sets them.
struct FormatParameter {
    std::size_t position;
    const Choice* choice;
};
constexpr FormatParameter kFormatChoices[] = {{16, &kTypographicCase}, {15, &kLigatureLevel},
                                              {14, &kDigitWidth},      {13, &kDigitCase},
                                              {12, &kBreakOpportunity}, {11, &kFormatLocale},
                                              {8, &kKerning},          {6, &kAlignmentBaseline},
                                              {5, &kDominantBaseline}, {4, &kTextRotation}};

// ElementFormat(fontDescription, fontSize, color, alpha, textRotation, dominantBaseline,
// alignmentBaseline, baselineShift, kerning, trackingRight, trackingLeft, locale,
// breakOpportunity, digitCase, digitWidth, ligatureLevel, typographicCase)
Value elementFormatInit(Vm& vm, const Value& t, Args a) {
    for (const auto& [position, choice] : kFormatChoices)
        if (position < a.size()) setChoice(vm, t, *choice, a[position]);
    Value description = arg(a, 0);
    if (description.isNullish()) description = Value(vm.construct(vm.findClass(u"flash.text.engine.FontDescription"), {}));
    auto number = [&](std::size_t i, double fallback) { return i < a.size() ? Value(vm.toNumber(a[i])) : Value(fallback); };
    vm.setPublic(t, u"fontDescription", description);
    vm.setPublic(t, u"fontSize", number(1, 12));
    vm.setPublic(t, u"color", number(2, 0));
    vm.setPublic(t, u"alpha", number(3, 1));
    vm.setPublic(t, u"baselineShift", number(7, 0));
    vm.setPublic(t, u"trackingRight", number(9, 0));
    vm.setPublic(t, u"trackingLeft", number(10, 0));
    vm.setPublic(t, u"locked", Value(false));
    return Value();
}

Value textElementInit(Vm& vm, const Value& t, Args a) {
    vm.setPublic(t, u"text", a.empty() || a[0].isNullish() ? Value::null() : Value(vm.toString(a[0])));
    vm.setPublic(t, u"elementFormat", arg(a, 1).isUndefined() ? Value::null() : arg(a, 1));
    return Value();
}

Value textBlockInit(Vm& vm, const Value& t, Args a) {
    vm.setPublic(t, u"content", arg(a, 0).isUndefined() ? Value::null() : arg(a, 0));
    return Value();
}

// The block's next line: its whole content on one line, or null when the
// block has nothing (more) to set.
Value createTextLine(Vm& vm, const Value& t, Args a) {
    if (vm.getPublic(t, u"content").isNullish() || !arg(a, 0).isNullish()) return Value::null();
    Value line(vm.construct(vm.findClass(u"flash.text.engine.TextLine"), {}));
    setHiddenProperty(line, u"__textBlock", t);
    return line;
}

// ---- TextLine ----

Value textLineBlock(Vm&, const Value& t, Args) { return hiddenProperty(t, u"__textBlock"); }

Value textLineValidity(Vm&, const Value& t, Args) {
    return hiddenProperty(t, u"__validity", Value(String(u"valid")));
}

// Lines take no part in focus or menus: reading says so, setting refuses.
Value notImplemented(Vm& vm, const Value&, Args) {
    vm.throwError(ErrorType::Error, "Error #2181: The TextLine class does not implement this property or method.",
                  2181);
}
Value noTabIndex(Vm&, const Value&, Args) { return Value(-1.0); }

Class* engineClass(Vm& vm, std::u16string_view name, kinolux::avm2::NativeFunction init) {
    Class* c = vm.defineClass(u"flash.text.engine", name, vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(c, init);
    return c;
}

}  // namespace

void installTextEngine(Vm& vm) {
    Class* description = engineClass(vm, u"FontDescription", fontDescriptionInit);
    defineChoice<kFontName>(vm, description);
    defineChoice<kFontWeight>(vm, description);
    defineChoice<kFontPosture>(vm, description);
    defineChoice<kFontLookup>(vm, description);
    defineChoice<kRenderingMode>(vm, description);
    defineChoice<kCffHinting>(vm, description);

    Class* justifier = engineClass(vm, u"EastAsianJustifier", justifierInit);
    defineChoice<kLocale>(vm, justifier);
    defineChoice<kLineJustification>(vm, justifier);
    defineChoice<kJustificationStyle>(vm, justifier);
    vm.defineMethod(justifier, u"clone", justifierClone);

    Class* format = engineClass(vm, u"ElementFormat", elementFormatInit);
    defineChoice<kTextRotation>(vm, format);
    defineChoice<kDominantBaseline>(vm, format);
    defineChoice<kAlignmentBaseline>(vm, format);
    defineChoice<kKerning>(vm, format);
    defineChoice<kFormatLocale>(vm, format);
    defineChoice<kBreakOpportunity>(vm, format);
    defineChoice<kDigitCase>(vm, format);
    defineChoice<kDigitWidth>(vm, format);
    defineChoice<kLigatureLevel>(vm, format);
    defineChoice<kTypographicCase>(vm, format);
    engineClass(vm, u"TextElement", textElementInit);
    Class* block = engineClass(vm, u"TextBlock", textBlockInit);
    vm.defineMethod(block, u"createTextLine", createTextLine);

    Class* line = vm.defineClass(u"flash.text.engine", u"TextLine",
                                 vm.findClass(u"flash.display.DisplayObjectContainer"), nullptr);
    vm.defineGetter(line, u"textBlock", textLineBlock);
    vm.defineGetter(line, u"validity", textLineValidity);
    vm.defineGetter(line, u"contextMenu", nullValue, notImplemented);
    vm.defineGetter(line, u"focusRect", nullValue, notImplemented);
    vm.defineGetter(line, u"tabChildren", falseValue, notImplemented);
    vm.defineGetter(line, u"tabEnabled", falseValue, notImplemented);
    vm.defineGetter(line, u"tabIndex", noTabIndex, notImplemented);
}

}  // namespace flash
