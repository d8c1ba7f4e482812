#include "flash/control/dispatch.h"

#include "flash/control/flash_control.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace flash {

namespace {

constexpr std::int32_t kVariantTrue = -1;  // VARIANT_TRUE

// The arguments of a call, checked against the operation's signature.
struct Arguments {
    std::span<const FlashVariant> values;
    std::int32_t integer(std::size_t i) const { return values[i].value; }
    std::string text(std::size_t i) const { return values[i].text ? values[i].text : ""; }
};

using Handler = std::int32_t (*)(FlashControl&, const Arguments&, FlashVariant&);

struct Operation {
    std::int32_t dispid;
    std::uint16_t kind;     // FLASH_DISPATCH_*
    const char* signature;  // per argument: 'i' an integer (a boolean will do), 's' a text
    Handler run;
};

std::int32_t integerResult(FlashVariant& result, std::int32_t value)
{
    result = {FLASH_VT_I4, value, nullptr};
    return FLASH_S_OK;
}

std::int32_t booleanResult(FlashVariant& result, bool value)
{
    result = {FLASH_VT_BOOL, value ? kVariantTrue : 0, nullptr};
    return FLASH_S_OK;
}

std::int32_t textResult(FlashVariant& result, const std::string& value)
{
    char* copy = static_cast<char*>(std::malloc(value.size() + 1));
    if (!copy) return FLASH_E_FAIL;
    std::memcpy(copy, value.c_str(), value.size() + 1);
    result = {FLASH_VT_BSTR, 0, copy};
    return FLASH_S_OK;
}

std::int32_t done()
{
    return FLASH_S_OK;
}

// The handlers that two operations share.
std::int32_t currentFrame(FlashControl& c, const Arguments&, FlashVariant& r)
{
    return integerResult(r, c.currentFrame());
}

std::int32_t gotoFrame(FlashControl& c, const Arguments& a, FlashVariant&)
{
    c.gotoFrame(a.integer(0));
    return done();
}

std::int32_t stop(FlashControl& c, const Arguments&, FlashVariant&)
{
    c.stop();
    return done();
}

constexpr std::uint16_t kGet = FLASH_DISPATCH_PROPERTYGET;
constexpr std::uint16_t kPut = FLASH_DISPATCH_PROPERTYPUT;
constexpr std::uint16_t kMethod = FLASH_DISPATCH_METHOD;

const Operation kOperations[] = {
    {FLASH_DISPID_TOTALFRAMES, kGet, "",
     [](FlashControl& c, const Arguments&, FlashVariant& r) { return integerResult(r, c.totalFrames()); }},
    {FLASH_DISPID_SCALEMODE, kPut, "i",
     [](FlashControl& c, const Arguments& a, FlashVariant&) {
         const std::int32_t mode = a.integer(0);
         if (mode < 0 || mode > int(render::ScaleMode::NoScale)) return FLASH_E_INVALIDARG;
         c.setScaleMode(render::ScaleMode(mode));
         return done();
     }},
    {FLASH_DISPID_BACKGROUNDCOLOR, kPut, "i",
     [](FlashControl& c, const Arguments& a, FlashVariant&) {
         c.setBackgroundColor(a.integer(0));
         return done();
     }},
    {FLASH_DISPID_MOVIE, kGet, "",
     [](FlashControl& c, const Arguments&, FlashVariant& r) { return textResult(r, c.movie()); }},
    {FLASH_DISPID_MOVIE, kPut, "s",
     [](FlashControl& c, const Arguments& a, FlashVariant&) {
         c.setMovie(a.text(0));
         return done();
     }},
    {FLASH_DISPID_FRAMENUM, kGet, "", currentFrame},
    {FLASH_DISPID_FRAMENUM, kPut, "i", gotoFrame},
    {FLASH_DISPID_ZOOM, kMethod, "i",
     [](FlashControl& c, const Arguments& a, FlashVariant&) {
         return c.zoom(a.integer(0)) ? done() : FLASH_E_INVALIDARG;
     }},
    {FLASH_DISPID_PLAY, kMethod, "",
     [](FlashControl& c, const Arguments&, FlashVariant&) {
         c.play();
         return done();
     }},
    {FLASH_DISPID_STOP, kMethod, "", stop},
    {FLASH_DISPID_STOPPLAY, kMethod, "", stop},
    {FLASH_DISPID_GOTOFRAME, kMethod, "i", gotoFrame},
    {FLASH_DISPID_CURRENTFRAME, kMethod, "", currentFrame},
    {FLASH_DISPID_ISPLAYING, kMethod, "",
     [](FlashControl& c, const Arguments&, FlashVariant& r) { return booleanResult(r, c.isPlaying()); }},
    {FLASH_DISPID_LOADMOVIE, kMethod, "is",
     [](FlashControl& c, const Arguments& a, FlashVariant&) {
         return c.loadMovie(a.integer(0), a.text(1)) ? done() : FLASH_E_INVALIDARG;
     }},
};

bool fits(const FlashVariant& value, char wanted)
{
    if (wanted == 'i') return value.type == FLASH_VT_I4 || value.type == FLASH_VT_BOOL;
    return value.type == FLASH_VT_BSTR;
}

}  // namespace

std::int32_t invokeOperation(FlashControl& control, std::int32_t dispid, std::uint16_t flags,
                             std::span<const FlashVariant> args, FlashVariant* result)
{
    if (result) *result = {FLASH_VT_EMPTY, 0, nullptr};
    for (const Operation& operation : kOperations) {
        if (operation.dispid != dispid || !(operation.kind & flags)) continue;
        const std::string_view signature = operation.signature;
        if (args.size() != signature.size()) return FLASH_DISP_E_BADPARAMCOUNT;
        for (std::size_t i = 0; i < args.size(); ++i)
            if (!fits(args[i], signature[i])) return FLASH_DISP_E_TYPEMISMATCH;
        if (result) return operation.run(control, Arguments{args}, *result);
        FlashVariant unwanted{};
        const std::int32_t outcome = operation.run(control, Arguments{args}, unwanted);
        std::free(unwanted.text);
        return outcome;
    }
    return FLASH_DISP_E_MEMBERNOTFOUND;
}

}  // namespace flash
