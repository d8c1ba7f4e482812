// flash.net's requests and loaders: URLRequest, URLVariables, and URLLoader,
// which reads a file from the movie's own folder as text, bytes or
// variables and tells its listeners at the end of the frame that asked.
// Anything else (another folder, the network) ends in an ioError: a movie
// being converted never waits on the world outside. navigateToURL and
// sendToURL check their request and go nowhere.
#include <array>

#include "flash/avm1/url_encoding.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/load_events.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

constexpr char16_t kMethod[] = u"__method";

void requireRequest(Vm& vm, const Value& request) { requireNonNull(vm, request, "request"); }

// ---- URLRequest ----

Value urlRequestInit(Vm& vm, const Value& self, Args a) {
    vm.setPublic(self, u"url", a.empty() || a[0].isNullish() ? Value::null() : Value(vm.toString(a[0])));
    vm.setPublic(self, u"data", Value::null());
    vm.setPublic(self, u"contentType", Value::null());
    vm.setPublic(self, u"requestHeaders", Value(vm.newArray()));
    return Value();
}

Value method(Vm&, const Value& self, Args) {
    const Value* held = self.object() ? self.object()->dynamic.get(kMethod) : nullptr;
    return held ? *held : Value(String(u"GET"));
}

// Only the two methods the player sends, in capitals or in small letters.
Value setMethod(Vm& vm, const Value& self, Args a) {
    const String m = vm.toString(arg(a, 0));
    if (m.view() != u"GET" && m.view() != u"get" && m.view() != u"POST" && m.view() != u"post")
        throwNotAccepted(vm, "method");
    if (Object* o = self.object()) o->dynamic.set(String(kMethod), Value(m), false);
    return Value();
}

// ---- URLVariables ----

// A name met again collects its values in an array.
Value decode(Vm& vm, const Value& self, Args a) {
    const std::string text = vm.toString(arg(a, 0)).toUtf8();
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('&', start);
        if (end == std::string::npos) end = text.size();
        if (end > start && text.substr(start, end - start).find('=') == std::string::npos)
            vm.throwError(ErrorType::Error,
                          "Error #2101: The String passed to URLVariables.decode() must be a URL-encoded query "
                          "string containing name/value pairs.",
                          2101);
        start = end + 1;
    }
    Object* o = self.object();
    if (!o) return Value();
    for (auto& [name, value] : kinolux::avm1::decodeUrlVariables(text, vm.swfVersion())) {
        const Value* old = o->dynamic.get(name.view());
        if (!old || old->isNullish()) {
            o->dynamic.set(name, Value(value));
        } else if (old->object() && old->object()->kind == kinolux::avm2::ObjectKind::Array) {
            Value push[] = {Value(value)};
            vm.callProperty(*old, kinolux::avm2::Multiname::publicName(String(u"push")), push);
        } else {
            o->dynamic.set(name, Value(vm.newArray({*old, Value(value)})));
        }
    }
    return Value();
}

Value urlVariablesInit(Vm& vm, const Value& self, Args a) {
    if (!a.empty() && !a[0].isNullish()) decode(vm, self, a);
    return Value();
}

// An array gives one pair for each of its elements.
Value urlVariablesToString(Vm& vm, const Value& self, Args) {
    Object* o = self.object();
    if (!o) return Value(String());
    std::vector<std::pair<String, String>> pairs;
    for (const auto& entry : std::vector(o->dynamic.entries())) {
        if (!entry.enumerable) continue;
        const Value& v = entry.value;
        if (v.object() && v.object()->kind == kinolux::avm2::ObjectKind::Array) {
            const double length = vm.toNumber(vm.getPublic(v, u"length"));
            for (double i = 0; i < length; ++i)
                pairs.emplace_back(entry.name, vm.toString(vm.getProperty(
                                                   v, kinolux::avm2::Multiname::publicName(vm.toString(Value(i))))));
        } else {
            pairs.emplace_back(entry.name, vm.toString(v));
        }
    }
    return Value(String::fromAscii(kinolux::avm1::encodeUrlVariables(pairs)));
}

// ---- URLLoader ----

Value newByteArray(Vm& vm, const std::vector<std::uint8_t>& bytes) {
    Object* array = vm.construct(vm.findClass(u"flash.utils.ByteArray"), {});
    static_cast<kinolux::avm2::BoxObject*>(array)->bytes.assign(bytes.begin(), bytes.end());
    return Value(array);
}

// The file as the loader's dataFormat asks: text (UTF-8, its mark dropped),
// a ByteArray, or URLVariables.
Value dataOf(Vm& vm, const Value& loader, const std::vector<std::uint8_t>& bytes) {
    const String format = vm.toString(vm.getPublic(loader, u"dataFormat"));
    if (format.view() == u"binary") return newByteArray(vm, bytes);
    std::string text(bytes.begin(), bytes.end());
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    Value string(String::fromUtf8(text));
    if (format.view() != u"variables") return string;
    Value args[] = {string};
    return Value(vm.construct(vm.findClass(u"flash.net.URLVariables"), args));
}

void loaded(Vm& vm, const Value& loader, LoadedFile bytes) {
    if (!bytes) {
        dispatchHttpStatus(vm, loader, 0);
        dispatchIoError(vm, loader, "Error #2032: Stream Error");
        return;
    }
    const double total = double(bytes->size());
    dispatchEvent(vm, loader, u"flash.events.Event", u"open");
    vm.setPublic(loader, u"bytesLoaded", Value(total));
    vm.setPublic(loader, u"bytesTotal", Value(total));
    dispatchProgress(vm, loader, total, total);
    dispatchHttpStatus(vm, loader, 0);
    vm.setPublic(loader, u"data", dataOf(vm, loader, *bytes));
    dispatchEvent(vm, loader, u"flash.events.Event", u"complete");
}

Value urlLoad(Vm& vm, const Value& self, Args a) {
    const Value request = arg(a, 0);
    requireRequest(vm, request);
    const std::string url = vm.toString(vm.getPublic(request, u"url")).toUtf8();
    Object* loader = self.object();
    queueLoad(vm, url, [&vm, loader](LoadedFile bytes) { loaded(vm, Value(loader), std::move(bytes)); });
    return Value();
}

// URLLoader's fields, kept as hidden properties so that a sealed subclass
// still has them.
template <const char16_t* Name>
Value field(Vm&, const Value& self, Args) {
    const Value* held = self.object() ? self.object()->dynamic.get(Name) : nullptr;
    return held ? *held : Value();
}
template <const char16_t* Name>
Value setField(Vm&, const Value& self, Args a) {
    if (Object* o = self.object()) o->dynamic.set(String(Name), arg(a, 0), false);
    return Value();
}
constexpr char16_t kData[] = u"__data", kDataFormat[] = u"__dataFormat", kLoaded[] = u"__bytesLoaded",
                   kTotal[] = u"__bytesTotal";

Value urlLoaderInit(Vm& vm, const Value& self, Args a) {
    setField<kDataFormat>(vm, self, std::array{Value(String(u"text"))});
    setField<kLoaded>(vm, self, std::array{Value(0)});
    setField<kTotal>(vm, self, std::array{Value(0)});
    if (!a.empty() && !a[0].isNullish()) urlLoad(vm, self, a);
    return Value();
}

Value checkRequest(Vm& vm, const Value&, Args a) {
    requireRequest(vm, arg(a, 0));
    return Value();
}

// The fields an event class adds, after Event's own, in its toString.
template <const char16_t*... Fields>
Value eventToString(Vm& vm, const Value& self, Args) {
    Value args[] = {Value(vm.classOf(self)->name), Value(u"type"), Value(u"bubbles"), Value(u"cancelable"),
                    Value(u"eventPhase"), Value(Fields)...};
    return vm.callProperty(self, kinolux::avm2::Multiname::publicName(String(u"formatToString")), args);
}
constexpr char16_t kBytesLoaded[] = u"bytesLoaded", kBytesTotal[] = u"bytesTotal", kStatus[] = u"status",
                   kRedirected[] = u"redirected", kResponseUrl[] = u"responseURL", kText[] = u"text";

}  // namespace

void installNetClasses(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    Class* request = vm.defineClass(u"flash.net", u"URLRequest", object, nullptr);
    vm.defineConstructor(request, urlRequestInit);
    vm.defineGetter(request, u"method", method, setMethod);

    Class* variables = vm.defineClass(u"flash.net", u"URLVariables", object, nullptr);
    vm.defineConstructor(variables, urlVariablesInit);
    vm.defineTraitMethod(variables, u"decode", decode);
    vm.defineTraitMethod(variables, u"toString", urlVariablesToString);

    Class* loader = vm.defineClass(u"flash.net", u"URLLoader", vm.findClass(u"flash.events.EventDispatcher"), nullptr);
    vm.defineConstructor(loader, urlLoaderInit);
    vm.defineTraitMethod(loader, u"load", urlLoad);
    vm.defineGetter(loader, u"data", field<kData>, setField<kData>);
    vm.defineGetter(loader, u"dataFormat", field<kDataFormat>, setField<kDataFormat>);
    vm.defineGetter(loader, u"bytesLoaded", field<kLoaded>, setField<kLoaded>);
    vm.defineGetter(loader, u"bytesTotal", field<kTotal>, setField<kTotal>);
    vm.defineTraitMethod(loader, u"close", nothing);

    Class* format = vm.defineClass(u"flash.net", u"URLLoaderDataFormat", object, nullptr);
    for (auto [name, value] : {std::pair{u"TEXT", u"text"}, {u"BINARY", u"binary"}, {u"VARIABLES", u"variables"}})
        vm.defineConstant(format, name, Value(String(value)));
    Class* methods = vm.defineClass(u"flash.net", u"URLRequestMethod", object, nullptr);
    for (const char16_t* name : {u"GET", u"POST", u"PUT", u"DELETE", u"HEAD", u"OPTIONS"})
        vm.defineConstant(methods, name, Value(String(name)));

    vm.defineFunction(u"flash.net", u"navigateToURL", checkRequest, 1);
    vm.defineFunction(u"flash.net", u"sendToURL", checkRequest, 1);

    vm.defineTraitMethod(vm.findClass(u"flash.events.ProgressEvent"), u"toString",
                         eventToString<kBytesLoaded, kBytesTotal>);
    vm.defineTraitMethod(vm.findClass(u"flash.events.HTTPStatusEvent"), u"toString",
                         eventToString<kStatus, kRedirected, kResponseUrl>);
    // The error events were declared before this, each with Event's toString.
    for (const char16_t* name : {u"flash.events.ErrorEvent", u"flash.events.IOErrorEvent", u"flash.events.SecurityErrorEvent"})
        vm.defineTraitMethod(vm.findClass(name), u"toString", eventToString<kText>);
}

}  // namespace flash
