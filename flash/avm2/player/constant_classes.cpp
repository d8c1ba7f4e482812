// The player's classes that hold only names for values scripts pass to it
// (BlendMode.MULTIPLY, LineScaleMode.NONE...), the event classes of the
// display list with their type names, and the interfaces display objects
// and bitmaps share. Each is one row of a table.
#include <variant>

#include "flash/avm2/player/natives.h"
#include "flash/avm2/player/display_bridge.h"

namespace flash {
namespace {

using namespace as3;

struct Constant {
    const char16_t* name;
    std::variant<const char16_t*, double> value;
};

struct ConstantClass {
    const char16_t* package;
    const char16_t* name;
    std::vector<Constant> constants;
};

const std::vector<ConstantClass>& constantClasses() {
    static const std::vector<ConstantClass> table{
        {u"flash.display", u"BlendMode",
         {{u"NORMAL", u"normal"}, {u"LAYER", u"layer"}, {u"MULTIPLY", u"multiply"}, {u"SCREEN", u"screen"},
          {u"LIGHTEN", u"lighten"}, {u"DARKEN", u"darken"}, {u"DIFFERENCE", u"difference"}, {u"ADD", u"add"},
          {u"SUBTRACT", u"subtract"}, {u"INVERT", u"invert"}, {u"ALPHA", u"alpha"}, {u"ERASE", u"erase"},
          {u"OVERLAY", u"overlay"}, {u"HARDLIGHT", u"hardlight"}, {u"SHADER", u"shader"}}},
        {u"flash.display", u"LineScaleMode",
         {{u"NORMAL", u"normal"}, {u"NONE", u"none"}, {u"VERTICAL", u"vertical"}, {u"HORIZONTAL", u"horizontal"}}},
        {u"flash.display", u"CapsStyle", {{u"ROUND", u"round"}, {u"NONE", u"none"}, {u"SQUARE", u"square"}}},
        {u"flash.display", u"JointStyle", {{u"ROUND", u"round"}, {u"BEVEL", u"bevel"}, {u"MITER", u"miter"}}},
        {u"flash.display", u"GradientType", {{u"LINEAR", u"linear"}, {u"RADIAL", u"radial"}}},
        {u"flash.display", u"SpreadMethod", {{u"PAD", u"pad"}, {u"REFLECT", u"reflect"}, {u"REPEAT", u"repeat"}}},
        {u"flash.display", u"InterpolationMethod", {{u"RGB", u"rgb"}, {u"LINEAR_RGB", u"linearRGB"}}},
        {u"flash.display", u"GraphicsPathWinding", {{u"EVEN_ODD", u"evenOdd"}, {u"NON_ZERO", u"nonZero"}}},
        {u"flash.display", u"GraphicsPathCommand",
         {{u"NO_OP", 0.0}, {u"MOVE_TO", 1.0}, {u"LINE_TO", 2.0}, {u"CURVE_TO", 3.0}, {u"WIDE_MOVE_TO", 4.0},
          {u"WIDE_LINE_TO", 5.0}, {u"CUBIC_CURVE_TO", 6.0}}},
        {u"flash.display", u"PixelSnapping", {{u"NEVER", u"never"}, {u"ALWAYS", u"always"}, {u"AUTO", u"auto"}}},
        {u"flash.display", u"BitmapDataChannel", {{u"RED", 1.0}, {u"GREEN", 2.0}, {u"BLUE", 4.0}, {u"ALPHA", 8.0}}},
        {u"flash.display", u"StageScaleMode",
         {{u"SHOW_ALL", u"showAll"}, {u"EXACT_FIT", u"exactFit"}, {u"NO_BORDER", u"noBorder"},
          {u"NO_SCALE", u"noScale"}}},
        {u"flash.display", u"StageAlign",
         {{u"TOP", u"T"}, {u"BOTTOM", u"B"}, {u"LEFT", u"L"}, {u"RIGHT", u"R"}, {u"TOP_LEFT", u"TL"},
          {u"TOP_RIGHT", u"TR"}, {u"BOTTOM_LEFT", u"BL"}, {u"BOTTOM_RIGHT", u"BR"}}},
        {u"flash.display", u"StageQuality",
         {{u"LOW", u"low"}, {u"MEDIUM", u"medium"}, {u"HIGH", u"high"}, {u"BEST", u"best"}}},
        {u"flash.display", u"StageDisplayState",
         {{u"NORMAL", u"normal"}, {u"FULL_SCREEN", u"fullScreen"}, {u"FULL_SCREEN_INTERACTIVE",
                                                                   u"fullScreenInteractive"}}},
        {u"flash.display", u"TriangleCulling", {{u"NONE", u"none"}, {u"POSITIVE", u"positive"}, {u"NEGATIVE", u"negative"}}},
        {u"flash.text.engine", u"CFFHinting", {{u"NONE", u"none"}, {u"HORIZONTAL_STEM", u"horizontalStem"}}},
        {u"flash.text.engine", u"FontLookup", {{u"DEVICE", u"device"}, {u"EMBEDDED_CFF", u"embeddedCFF"}}},
        {u"flash.text.engine", u"FontPosture", {{u"NORMAL", u"normal"}, {u"ITALIC", u"italic"}}},
        {u"flash.text.engine", u"FontWeight", {{u"NORMAL", u"normal"}, {u"BOLD", u"bold"}}},
        {u"flash.text.engine", u"RenderingMode", {{u"NORMAL", u"normal"}, {u"CFF", u"cff"}}},
        {u"flash.text.engine", u"TextLineValidity",
         {{u"INVALID", u"invalid"}, {u"POSSIBLY_INVALID", u"possiblyInvalid"}, {u"STATIC", u"static"},
          {u"VALID", u"valid"}}},
    };
    return table;
}

struct EventClass {
    const char16_t* name;
    std::vector<std::pair<const char16_t*, const char16_t*>> types;
};

const std::vector<EventClass>& eventClasses() {
    static const std::vector<EventClass> table{
        {u"TextEvent", {{u"LINK", u"link"}, {u"TEXT_INPUT", u"textInput"}}},
        {u"ErrorEvent", {{u"ERROR", u"error"}}},
        {u"ProgressEvent", {{u"PROGRESS", u"progress"}, {u"SOCKET_DATA", u"socketData"}}},
        {u"HTTPStatusEvent", {{u"HTTP_STATUS", u"httpStatus"}, {u"HTTP_RESPONSE_STATUS", u"httpResponseStatus"}}},
        {u"NetStatusEvent", {{u"NET_STATUS", u"netStatus"}}},
    };
    return table;
}

// Events whose class extends ErrorEvent: class, constant, type.
constexpr const char16_t* kErrorEvents[][3] = {{u"IOErrorEvent", u"IO_ERROR", u"ioError"},
                                               {u"SecurityErrorEvent", u"SECURITY_ERROR", u"securityError"}};

}  // namespace

void installConstantClasses(Vm& vm) {
    for (const ConstantClass& row : constantClasses()) {
        Class* c = vm.defineClass(row.package, row.name, vm.findClass(u"Object"), nullptr);
        for (const Constant& k : row.constants)
            vm.defineConstant(c, k.name,
                              std::holds_alternative<double>(k.value) ? Value(std::get<double>(k.value))
                                                                      : Value(String(std::get<const char16_t*>(k.value))));
    }
    Class* event = vm.findClass(u"flash.events.Event");
    auto eventClass = [&](const char16_t* name, Class* super) {
        Class* c = vm.defineClass(u"flash.events", name, super, nullptr);
        c->init = super->init;
        return c;
    };
    for (const EventClass& row : eventClasses()) {
        Class* c = eventClass(row.name, event);
        for (const auto& [name, type] : row.types) vm.defineConstant(c, name, Value(String(type)));
    }
    Class* errorEvent = vm.findClass(u"flash.events.ErrorEvent");
    for (const auto& [name, constant, type] : kErrorEvents)
        vm.defineConstant(eventClass(name, errorEvent), constant, Value(String(type)));

    installInputEventClasses(vm);

    Class* drawable = interfaceClass(vm, u"flash.display", u"IBitmapDrawable");
    Class* dispatcher = interfaceClass(vm, u"flash.events", u"IEventDispatcher");
    vm.findClass(u"flash.events.EventDispatcher")->interfaces.push_back(dispatcher);
    for (const char16_t* name : {u"flash.display.DisplayObject", u"flash.display.BitmapData"})
        vm.findClass(name)->interfaces.push_back(drawable);
}

}  // namespace flash
