// flash.display.Loader and LoaderInfo: a Loader
// reads a picture from the movie's own folder and shows it as a Bitmap
// child, telling its LoaderInfo's listeners as the file arrives (at the end
// of the frame that asked for it). Files elsewhere, and movies, which this
// player does not load into another, end in an ioError event.
#include <QFileInfo>

#include "flash/avm2/display_binding.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/load_events.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/bitmap_data.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

// Hidden properties of the script objects, as the other player classes
// keep theirs.
constexpr char16_t kInfo[] = u"__contentLoaderInfo";
constexpr char16_t kLoader[] = u"__loader";
constexpr char16_t kContent[] = u"__content";

// A LoaderInfo holds what it knows as hidden properties: null until the
// file has come.
template <const char16_t* Name>
Value infoGetter(Vm&, const Value& self, Args) {
    return hiddenProperty(self, Name);
}
template <const char16_t* Name>
Value infoNumber(Vm&, const Value& self, Args) {
    return hiddenProperty(self, Name, Value(0));
}
constexpr char16_t kUrl[] = u"__url";
constexpr char16_t kContentType[] = u"__contentType";
constexpr char16_t kBytesLoaded[] = u"__bytesLoaded";
constexpr char16_t kBytesTotal[] = u"__bytesTotal";
constexpr char16_t kWidth[] = u"__width";
constexpr char16_t kHeight[] = u"__height";

Value parameters(Vm& vm, const Value& self, Args) {
    Value held = hiddenProperty(self, u"__parameters", Value());
    if (held.isUndefined()) {
        held = Value(vm.newObject());
        setHiddenProperty(self, u"__parameters", held);
    }
    return held;
}

Value infoOf(const Value& loader) { return hiddenProperty(loader, kInfo); }

Value loaderInit(Vm& vm, const Value& self, Args) {
    Object* info = vm.construct(vm.findClass(u"flash.display.LoaderInfo"), {});
    setHiddenProperty(Value(info), kLoader, self);
    setHiddenProperty(self, kInfo, Value(info));
    return Value();
}

const char16_t* contentTypeOf(const std::vector<std::uint8_t>& bytes) {
    auto starts = [&](std::string_view magic) {
        return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin(),
                                                          [](char c, std::uint8_t b) { return std::uint8_t(c) == b; });
    };
    if (starts("\x89PNG")) return u"image/png";
    if (starts("GIF8")) return u"image/gif";
    if (starts("\xFF\xD8")) return u"image/jpeg";
    if (starts("FWS") || starts("CWS") || starts("ZWS")) return u"application/x-shockwave-flash";
    return nullptr;
}

// The file has come (or not): the picture goes into the loader, then its
// listeners hear of it.
void arrive(Vm& vm, const Value& loader, const std::string& url, std::optional<std::vector<std::uint8_t>> bytes) {
    Value info = infoOf(loader);
    DisplayBridge* bridge = DisplayBridge::of(vm);
    std::string error;
    std::shared_ptr<BitmapData> pixels;
    if (bytes && bridge) pixels = BitmapData::decode(*bytes, &error);
    if (!pixels) {
        dispatchIoError(vm, info, "Error #2035: URL Not Found. URL: " + url);
        return;
    }
    const double total = double(bytes->size());
    dispatchEvent(vm, info, u"flash.events.Event", u"open");
    dispatchProgress(vm, info, 0, total);
    dispatchProgress(vm, info, total, total);
    Object* data = newBitmapDataObject(vm, pixels);
    Value bitmapArgs[] = {Value(data)};
    Value bitmap(vm.construct(vm.findClass(u"flash.display.Bitmap"), bitmapArgs));
    setHiddenProperty(info, kContent, bitmap);
    setHiddenProperty(info, kBytesLoaded, Value(total));
    setHiddenProperty(info, kBytesTotal, Value(total));
    setHiddenProperty(info, kWidth, Value(pixels->width()));
    setHiddenProperty(info, kHeight, Value(pixels->height()));
    setHiddenProperty(info, kContentType, Value(String(contentTypeOf(*bytes) ? contentTypeOf(*bytes) : u"image/png")));
    QFileInfo where(QString::fromStdString(bridge->player().moviePath()));
    const std::string name = url.substr(0, url.find_first_of("?#"));
    setHiddenProperty(info, kUrl, Value(String::fromUtf8("file:///" + where.absolutePath().toStdString() + "/" + name)));
    Value addArgs[] = {bitmap};
    vm.callProperty(loader, kinolux::avm2::Multiname::publicName(String(u"addChild")), addArgs);
    dispatchEvent(vm, info, u"flash.events.Event", u"init");
    dispatchEvent(vm, info, u"flash.events.Event", u"complete");
}

Value load(Vm& vm, const Value& self, Args a) {
    Value request = arg(a, 0);
    if (request.isNullish())
        vm.throwError(ErrorType::TypeError, "Error #2007: Parameter request must be non-null.", 2007);
    const std::string url = vm.toString(vm.getPublic(request, u"url")).toUtf8();
    Object* loader = self.object();
    queueLoad(vm, url, [&vm, loader, url](LoadedFile bytes) { arrive(vm, Value(loader), url, std::move(bytes)); });
    return Value();
}

constexpr char16_t kSwfVersion[] = u"__swfVersion";
constexpr char16_t kFrameRate[] = u"__frameRate";

}  // namespace

// The main movie's LoaderInfo, for everything on the stage; null for what
// is off it.
Value loaderInfoGetter(Vm& vm, const Value& self, Args) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    DisplayObject* d = DisplayBridge::displayOf(self);
    if (!bridge || !d || !d->onStage()) return Value::null();
    Player& player = bridge->player();
    Object* root = bridge->objectOf(player.root());
    if (!root) return Value::null();
    if (const Value* known = root->dynamic.get(u"__loaderInfo")) return *known;
    Value info(vm.construct(vm.findClass(u"flash.display.LoaderInfo"), {}));
    QFileInfo where(QString::fromStdString(player.moviePath()));
    setHiddenProperty(info, kUrl, Value(String::fromUtf8("file:///" + where.absoluteFilePath().toStdString())));
    setHiddenProperty(info, kContent, Value(root));
    setHiddenProperty(info, kContentType, Value(String(u"application/x-shockwave-flash")));
    // The file as it lies on disk, compressed; a movie read from elsewhere
    // counts by the length its header declares.
    const double length = where.exists() ? double(where.size()) : double(player.header().uncompressedLength);
    setHiddenProperty(info, kBytesLoaded, Value(length));
    setHiddenProperty(info, kBytesTotal, Value(length));
    setHiddenProperty(info, kWidth, Value(player.stageSize().width()));
    setHiddenProperty(info, kHeight, Value(player.stageSize().height()));
    setHiddenProperty(info, kSwfVersion, Value(int(player.swfVersion())));
    setHiddenProperty(info, kFrameRate, Value(player.frameRate()));
    root->dynamic.set(String(u"__loaderInfo"), info, false);
    return info;
}

namespace {

Value content(Vm&, const Value& self, Args) { return hiddenProperty(infoOf(self), kContent); }
Value contentLoaderInfo(Vm&, const Value& self, Args) { return infoOf(self); }
Value nothing(Vm&, const Value&, Args) { return Value(); }

}  // namespace

void installLoaderClasses(Vm& vm) {
    Class* info =
        vm.defineClass(u"flash.display", u"LoaderInfo", vm.findClass(u"flash.events.EventDispatcher"), nullptr);
    info->init = vm.nativeMethod(nothing, String(u"LoaderInfo"));
    vm.defineGetter(info, u"content", infoGetter<kContent>);
    vm.defineGetter(info, u"loader", infoGetter<kLoader>);
    vm.defineGetter(info, u"url", infoGetter<kUrl>);
    vm.defineGetter(info, u"contentType", infoGetter<kContentType>);
    vm.defineGetter(info, u"bytesLoaded", infoNumber<kBytesLoaded>);
    vm.defineGetter(info, u"bytesTotal", infoNumber<kBytesTotal>);
    vm.defineGetter(info, u"width", infoNumber<kWidth>);
    vm.defineGetter(info, u"height", infoNumber<kHeight>);
    vm.defineGetter(info, u"parameters", parameters);
    vm.defineGetter(info, u"swfVersion", infoNumber<kSwfVersion>);
    vm.defineGetter(info, u"frameRate", infoNumber<kFrameRate>);
    vm.defineGetter(info, u"actionScriptVersion", [](Vm&, const Value&, Args) { return Value(3); });

    Class* loader =
        vm.defineClass(u"flash.display", u"Loader", vm.findClass(u"flash.display.DisplayObjectContainer"), nullptr);
    loader->init = vm.nativeMethod(loaderInit, String(u"Loader"));
    loader->init->owner = loader;
    vm.defineTraitMethod(loader, u"load", load);
    vm.defineTraitMethod(loader, u"unload", nothing);
    vm.defineTraitMethod(loader, u"close", nothing);
    vm.defineGetter(loader, u"content", content);
    vm.defineGetter(loader, u"contentLoaderInfo", contentLoaderInfo);
}

}  // namespace flash
