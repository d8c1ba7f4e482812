// flash.display's drawing commands as objects (the IGraphicsData classes):
// GraphicsSolidFill, GraphicsGradientFill, GraphicsBitmapFill,
// GraphicsShaderFill, GraphicsEndFill, GraphicsStroke, GraphicsPath and
// GraphicsTrianglePath. Their public fields are plain properties set from
// the constructor's arguments; Graphics.drawGraphicsData reads them.
#include "flash/avm2/player/graphics_data.h"

#include <cmath>

#include "flash/avm2/player/natives.h"

namespace flash {
namespace {

using namespace as3;
using kinolux::avm2::ArrayObject;

struct Field {
    const char16_t* name;
    Value fallback;
};
using Fields = std::vector<Field>;

// The constructor of a class whose fields `fields` lists, in parameter order.
template <const Fields& fields>
Value fieldsInit(Vm&, const Value& self, Args a) {
    Object* o = self.object();
    if (!o) return Value();
    for (std::size_t i = 0; i < fields.size(); ++i)
        o->dynamic.set(String(fields[i].name), i < a.size() && !a[i].isUndefined() ? a[i] : fields[i].fallback);
    return Value();
}

const Fields kSolidFill{{u"color", Value(0)}, {u"alpha", Value(1.0)}};
const Fields kGradientFill{{u"type", Value(String(u"linear"))},     {u"colors", Value::null()},
                           {u"alphas", Value::null()},              {u"ratios", Value::null()},
                           {u"matrix", Value::null()},              {u"spreadMethod", Value(String(u"pad"))},
                           {u"interpolationMethod", Value(String(u"rgb"))}, {u"focalPointRatio", Value(0.0)}};
const Fields kBitmapFill{{u"bitmapData", Value::null()}, {u"matrix", Value::null()}, {u"repeat", Value(true)},
                         {u"smooth", Value(false)}};
const Fields kShaderFill{{u"shader", Value::null()}, {u"matrix", Value::null()}};
const Fields kEndFill{};
const Fields kStroke{{u"thickness", Value(NAN)},          {u"pixelHinting", Value(false)},
                     {u"scaleMode", Value(String(u"normal"))}, {u"caps", Value(String(u"none"))},
                     {u"joints", Value(String(u"round"))},     {u"miterLimit", Value(3.0)},
                     {u"fill", Value::null()}};
const Fields kPath{{u"commands", Value::null()}, {u"data", Value::null()}};
const Fields kTrianglePath{{u"vertices", Value::null()}, {u"indices", Value::null()}, {u"uvtData", Value::null()},
                           {u"culling", Value(String(u"none"))}};

// ---- GraphicsPath: its winding is checked, its drawing calls add to its vectors ----

Value winding(Vm&, const Value& self, Args) { return hiddenProperty(self, u"__winding", Value(String(u"evenOdd"))); }

Value setWinding(Vm& vm, const Value& self, Args a) {
    const Value given = arg(a, 0);
    const String name = given.isString() ? vm.toString(given) : String();
    if (name != u"evenOdd" && name != u"nonZero") throwNotAccepted(vm, "winding");
    setHiddenProperty(self, u"__winding", Value(name));
    return Value();
}

Value pathInit(Vm& vm, const Value& self, Args a) {
    fieldsInit<kPath>(vm, self, a);
    return a.size() > 2 ? setWinding(vm, self, a.subspan(2, 1)) : Value();
}

// The path's Vector.<int> or Vector.<Number> in `field`, made when it has none.
ArrayObject& vectorField(Vm& vm, const Value& self, const char16_t* field, Class* element) {
    Object* o = self.object();
    if (const Value* held = o->dynamic.get(field))
        if (auto* vector = dynamic_cast<ArrayObject*>(held->object())) return *vector;
    Class& cls = vm.vectorClassFor(Value(static_cast<Object*>(element->object)));
    auto* made = static_cast<ArrayObject*>(vm.construct(&cls, {}));
    o->dynamic.set(String(field), Value(static_cast<Object*>(made)));
    return *made;
}

// GraphicsPathCommand values, with how many numbers each takes.
template <int command, std::size_t numbers>
Value appendCommand(Vm& vm, const Value& self, Args a) {
    if (!self.object()) return Value();
    ArrayObject& commands = vectorField(vm, self, u"commands", vm.builtins().intClass);
    ArrayObject& data = vectorField(vm, self, u"data", vm.builtins().number);
    vm.charge(sizeof(Value) * (numbers + 1));
    commands.elements.push_back(Value(command));
    // wideMoveTo and wideLineTo leave room for a control point first.
    const std::size_t skipped = command == 4 || command == 5 ? 2 : 0;
    for (std::size_t i = 0; i < skipped; ++i) data.elements.push_back(Value(0.0));
    for (std::size_t i = 0; i < numbers - skipped; ++i) data.elements.push_back(Value(vm.toNumber(arg(a, i))));
    return Value();
}

Class* interfaceIn(Vm& vm, std::u16string_view name, std::vector<Class*> supers = {}) {
    Class* c = interfaceClass(vm, u"flash.display", name);
    c->interfaces = std::move(supers);
    return c;
}

}  // namespace

void installGraphicsDataClasses(Vm& vm) {
    Class* data = interfaceIn(vm, u"IGraphicsData");
    Class* fill = interfaceIn(vm, u"IGraphicsFill", {data});
    Class* stroke = interfaceIn(vm, u"IGraphicsStroke", {data});
    Class* path = interfaceIn(vm, u"IGraphicsPath", {data});
    struct Row {
        const char16_t* name;
        kinolux::avm2::NativeFunction init;
        std::vector<Class*> interfaces;
    };
    const Row rows[] = {
        {u"GraphicsSolidFill", fieldsInit<kSolidFill>, {data, fill}},
        {u"GraphicsGradientFill", fieldsInit<kGradientFill>, {data, fill}},
        {u"GraphicsBitmapFill", fieldsInit<kBitmapFill>, {data, fill}},
        {u"GraphicsShaderFill", fieldsInit<kShaderFill>, {data, fill}},
        {u"GraphicsEndFill", fieldsInit<kEndFill>, {data, fill}},
        {u"GraphicsStroke", fieldsInit<kStroke>, {data, stroke}},
        {u"GraphicsPath", pathInit, {data, path}},
        {u"GraphicsTrianglePath", fieldsInit<kTrianglePath>, {data, path}},
    };
    for (const Row& row : rows) {
        Class* c = vm.defineClass(u"flash.display", row.name, vm.findClass(u"Object"), nullptr);
        vm.defineConstructor(c, row.init);
        c->interfaces = row.interfaces;
        // The fields are properties of every instance, as declared ones are.
        c->sealed = false;
    }
    Class* graphicsPath = vm.findClass(u"flash.display.GraphicsPath");
    vm.defineGetter(graphicsPath, u"winding", winding, setWinding);
    vm.defineTraitMethod(graphicsPath, u"moveTo", appendCommand<1, 2>);
    vm.defineTraitMethod(graphicsPath, u"lineTo", appendCommand<2, 2>);
    vm.defineTraitMethod(graphicsPath, u"curveTo", appendCommand<3, 4>);
    vm.defineTraitMethod(graphicsPath, u"wideMoveTo", appendCommand<4, 4>);
    vm.defineTraitMethod(graphicsPath, u"wideLineTo", appendCommand<5, 4>);
    vm.defineTraitMethod(graphicsPath, u"cubicCurveTo", appendCommand<6, 6>);
}

}  // namespace flash
