// flash.display.Loader and LoaderInfo: a Loader reads a picture or a movie
// from the movie's own folder (or takes the bytes a script holds) and shows
// it as its child, telling its LoaderInfo's listeners as the file arrives
// (at the end of the frame that asked for it). A movie's scripts join the
// machine's classes and its document class is constructed on its main
// timeline, which plays inside the Loader; an ActionScript 1/2 movie shows
// as an AVM1Movie. Files elsewhere, missing or of no known kind end in an
// ioError event.
#include <QFileInfo>
#include <cmath>

#include "flash/avm2/display_binding.h"
#include "flash/avm2/player/as3_scripts.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/load_events.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/bitmap_data.h"
#include "flash/core/geometry.h"
#include "flash/core/movie_clip.h"
#include "flash/core/movie_loader.h"
#include "flash/core/player.h"

namespace flash {
namespace {

using namespace as3;

// Hidden properties of the script objects, as the other player classes
// keep theirs.
constexpr char16_t kInfo[] = u"__contentLoaderInfo";
constexpr char16_t kLoader[] = u"__loader";
constexpr char16_t kContent[] = u"__content";
constexpr char16_t kMovieInfo[] = u"__loaderInfo";  // on the root of a movie
constexpr char16_t kDynamicLoads[] = u"__dynamicLoads";

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
// What only a movie tells, asked of a LoaderInfo that holds none.
template <const char16_t* Name>
Value movieNumber(Vm& vm, const Value& self, Args) {
    Value known = hiddenProperty(self, Name, Value());
    if (known.isUndefined())
        vm.throwError(ErrorType::Error,
                      "Error #2099: The loading object is not sufficiently loaded to provide this information.", 2099);
    return known;
}
constexpr char16_t kUrl[] = u"__url";
constexpr char16_t kLoaderUrl[] = u"__loaderURL";
constexpr char16_t kContentType[] = u"__contentType";
constexpr char16_t kBytesLoaded[] = u"__bytesLoaded";
constexpr char16_t kBytesTotal[] = u"__bytesTotal";
constexpr char16_t kBytes[] = u"__bytes";
constexpr char16_t kWidth[] = u"__width";
constexpr char16_t kHeight[] = u"__height";
constexpr char16_t kSwfVersion[] = u"__swfVersion";
constexpr char16_t kFrameRate[] = u"__frameRate";
constexpr char16_t kScriptVersion[] = u"__actionScriptVersion";
constexpr char16_t kDomain[] = u"__applicationDomain";
constexpr char16_t kSharedEvents[] = u"__sharedEvents";

Value parameters(Vm& vm, const Value& self, Args) {
    return hiddenPropertyMadeOnce(self, u"__parameters", [&] { return Value(vm.newObject()); });
}

// The EventDispatcher a loaded movie and its loader talk through.
Value sharedEvents(Vm& vm, const Value& self, Args) {
    return hiddenPropertyMadeOnce(
        self, kSharedEvents, [&] { return Value(vm.construct(vm.findClass(u"flash.events.EventDispatcher"), {})); });
}

Value scriptVersion(Vm&, const Value& self, Args) { return hiddenProperty(self, kScriptVersion, Value(3)); }

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

bool isMovie(const char16_t* contentType) {
    return contentType && std::u16string_view(contentType) == u"application/x-shockwave-flash";
}

// The address of a file beside the movie, as the player writes it.
std::string fileUrl(Player& player, const std::string& url) {
    QFileInfo where(QString::fromStdString(player.moviePath()));
    const std::string name = url.substr(0, url.find_first_of("?#"));
    return "file:///" + where.absolutePath().toStdString() + "/" + name;
}

// What a file the loader asked for is: where it came from (a script's bytes
// when `fromBytes`), and the settings a script gave with it.
struct Request {
    std::string url;
    bool fromBytes = false;
    Value context;
};

// The movie a loaded one is shown in: the LoaderInfo of the movie holding
// the loader.
Value loaderInfoOf(Vm& vm, const Value& loader);

Value newDomain(Vm& vm) { return Value(vm.construct(vm.findClass(u"flash.system.ApplicationDomain"), {})); }

// A loaded movie's classes live beside the loading movie's: the domain a
// script named in its LoaderContext, or a new one.
Value domainFor(Vm& vm, const Value& context) {
    if (context.object()) {
        Value named = vm.getPublic(context, u"applicationDomain");
        if (named.object()) return named;
    }
    return newDomain(vm);
}

// A picture: a Bitmap of its pixels.
Value showImage(Vm& vm, const Value& info, const std::vector<std::uint8_t>& bytes) {
    std::string error;
    std::shared_ptr<BitmapData> pixels = BitmapData::decode(bytes, &error);
    if (!pixels) return Value::null();
    Object* data = newBitmapDataObject(vm, pixels);
    Value bitmapArgs[] = {Value(data)};
    Value bitmap(vm.construct(vm.findClass(u"flash.display.Bitmap"), bitmapArgs));
    setHiddenProperty(info, kWidth, Value(pixels->width()));
    setHiddenProperty(info, kHeight, Value(pixels->height()));
    return bitmap;
}

// A movie: its scripts join the machine's and its main timeline becomes
// the content, of its document class; null when its document class's
// constructor failed.
Value showMovie(Vm& vm, DisplayBridge& bridge, const Value& info, const std::shared_ptr<const Library>& library) {
    Player& player = bridge.player();
    const swf::Header& header = library->movie().header;
    const QRectF stage = toQRectF(header.stageSize);
    setHiddenProperty(info, kWidth, Value(double(std::lround(stage.width() / 20.0))));
    setHiddenProperty(info, kHeight, Value(double(std::lround(stage.height() / 20.0))));
    setHiddenProperty(info, kSwfVersion, Value(int(header.version)));
    setHiddenProperty(info, kFrameRate, Value(header.frameRate / 256.0));
    auto root = std::make_shared<MovieClip>(nullptr, &library->timeline(), *library, player);
    Class* cls = nullptr;
    if (library->runsActionScript1()) {
        setHiddenProperty(info, kScriptVersion, Value(2));
        cls = vm.findClass(u"flash.display.AVM1Movie");
    } else {
        auto* scripts = dynamic_cast<As3Scripts*>(&vm.host());
        const std::string documentClass = scripts ? scripts->loadLibrary(*library) : std::string();
        if (!documentClass.empty()) cls = vm.findClass(String::fromUtf8(documentClass).view());
        if (!cls) cls = vm.findClass(u"flash.display.MovieClip");
    }
    Object* made = bridge.constructMovie(root, cls);
    if (!made) return Value::null();
    setHiddenProperty(Value(made), kMovieInfo, info);
    return Value(made);
}

Value newByteArray(Vm& vm, std::span<const std::uint8_t> bytes) {
    Object* array = vm.construct(vm.findClass(u"flash.utils.ByteArray"), {});
    static_cast<kinolux::avm2::BoxObject*>(array)->bytes.assign(bytes.begin(), bytes.end());
    return Value(array);
}

// The file has come (or not): its listeners hear how far it got, the
// content goes into the loader, then they hear it is there.
void arrive(Vm& vm, const Value& loader, const Request& request, LoadedFile bytes) {
    Value info = infoOf(loader);
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bytes || !bridge) {
        dispatchIoError(vm, info, "Error #2035: URL Not Found. URL: " + request.url);
        return;
    }
    const double total = double(bytes->size());
    // Bytes a script holds were counted as loadBytes took them.
    auto progress = [&](double loaded) {
        if (request.fromBytes) return;
        setHiddenProperty(info, loaded > 0 ? kBytesLoaded : kBytesTotal, Value(total));
        dispatchProgress(vm, info, loaded, total);
    };
    if (!request.fromBytes) dispatchEvent(vm, info, u"flash.events.Event", u"open");
    progress(0);
    const char16_t* type = contentTypeOf(*bytes);
    const std::string url = request.fromBytes ? request.url : fileUrl(bridge->player(), request.url);
    const std::string unknownType = "Error #2124: Loaded file is an unknown type. URL: " + url;
    if (!type) {
        progress(total);
        dispatchIoError(vm, info, unknownType);
        return;
    }
    Value content;
    if (isMovie(type)) {
        std::string error;
        std::shared_ptr<const Library> library = bridge->player().loader().keepMovie(*bytes, request.url, &error);
        if (!library) {
            vm.host().scriptError("cannot load " + request.url + ": " + error);
            progress(total);
            dispatchIoError(vm, info, unknownType);
            return;
        }
        // What a movie loads counts against the memory a run may use.
        vm.charge(library->movie().data.size());
        // A movie's bytes are read uncompressed.
        setHiddenProperty(info, kBytes, newByteArray(vm, library->movie().data));
        progress(total);
        setHiddenProperty(info, kDomain, domainFor(vm, request.context));
        setHiddenProperty(info, kLoaderUrl, vm.getPublic(loaderInfoOf(vm, loader), u"url"));
        content = showMovie(vm, *bridge, info, library);
    } else {
        progress(total);
        content = showImage(vm, info, *bytes);
    }
    if (content.isNull()) {
        if (!isMovie(type)) dispatchIoError(vm, info, unknownType);
        return;
    }
    setHiddenProperty(info, kContent, content);
    setHiddenProperty(info, kContentType, Value(String(type)));
    setHiddenProperty(info, kUrl, Value(String::fromUtf8(url)));
    Value addArgs[] = {content};
    vm.callProperty(loader, kinolux::avm2::Multiname::publicName(String(u"addChild")), addArgs);
    dispatchEvent(vm, info, u"flash.events.Event", u"init");
    if (!request.fromBytes) dispatchHttpStatus(vm, info, 0);
    dispatchEvent(vm, info, u"flash.events.Event", u"complete");
}

// Takes the loaded content out of the loader; its LoaderInfo forgets it.
Value unload(Vm& vm, const Value& self, Args) {
    Value info = infoOf(self);
    Value content = hiddenProperty(info, kContent);
    if (content.isNull()) return Value();
    Value args[] = {content};
    if (DisplayObject* shown = DisplayBridge::displayOf(content); shown && shown->parent())
        vm.callProperty(self, kinolux::avm2::Multiname::publicName(String(u"removeChild")), args);
    for (const char16_t* name : {kContent, kDomain, kBytes, kUrl, kContentType})
        setHiddenProperty(info, name, Value::null());
    for (const char16_t* name : {kBytesLoaded, kBytesTotal}) setHiddenProperty(info, name, Value(0));
    dispatchEvent(vm, info, u"flash.events.Event", u"unload");
    return Value();
}

// A new load starts over: what the loader showed goes, and the file's
// bytes are empty until it comes.
void restart(Vm& vm, const Value& loader, Args a) {
    unload(vm, loader, a);
    setHiddenProperty(infoOf(loader), kBytes, newByteArray(vm, {}));
}

Value load(Vm& vm, const Value& self, Args a) {
    Value request = arg(a, 0);
    requireNonNull(vm, request, "request");
    restart(vm, self, a);
    Request what{vm.toString(vm.getPublic(request, u"url")).toUtf8(), false, arg(a, 1)};
    Object* loader = self.object();
    queueLoad(vm, what.url,
              [&vm, loader, what](LoadedFile bytes) { arrive(vm, Value(loader), what, std::move(bytes)); });
    return Value();
}

// Bytes a script holds arrive as a file would, named after the loading
// movie and a count of such loads.
Value loadBytes(Vm& vm, const Value& self, Args a) {
    auto* source = dynamic_cast<kinolux::avm2::BoxObject*>(arg(a, 0).object());
    if (!source || source->kind != kinolux::avm2::ObjectKind::ByteArray) throwNullParameter(vm, "bytes");
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return Value();
    restart(vm, self, a);
    Object* counter = vm.findClass(u"flash.display.Loader")->object;
    const int serial = int(vm.toNumber(hiddenProperty(Value(counter), kDynamicLoads, Value(0)))) + 1;
    setHiddenProperty(Value(counter), kDynamicLoads, Value(serial));
    QFileInfo where(QString::fromStdString(bridge->player().moviePath()));
    Request what{"file:///" + where.absoluteFilePath().toStdString() + "/[[DYNAMIC]]/" + std::to_string(serial), true,
                 arg(a, 1)};
    LoadedFile bytes(std::in_place, source->bytes.begin(), source->bytes.end());
    if (!bridge->canQueue(bytes->size())) {
        vm.host().scriptError("A script asked for more files in one frame than the player keeps; the rest are dropped.");
        return Value();
    }
    const double total = double(bytes->size());
    Value info = infoOf(self);
    setHiddenProperty(info, kBytesTotal, Value(total));
    dispatchProgress(vm, info, 0, total);
    setHiddenProperty(info, kBytesLoaded, Value(total));
    dispatchProgress(vm, info, total, total);
    Object* loader = self.object();
    const std::size_t size = bytes->size();
    bridge->queue([&vm, loader, what, bytes = std::move(bytes)]() mutable { arrive(vm, Value(loader), what, std::move(bytes)); },
                  size);
    return Value();
}

// The main movie's LoaderInfo, made when first asked for.
Value mainMovieInfo(Vm& vm, DisplayBridge& bridge) {
    Player& player = bridge.player();
    Object* root = bridge.objectOf(player.root());
    if (!root) return Value::null();
    if (const Value* known = root->dynamic.get(kMovieInfo)) return *known;
    Value info(vm.construct(vm.findClass(u"flash.display.LoaderInfo"), {}));
    QFileInfo where(QString::fromStdString(player.moviePath()));
    const Value url(String::fromUtf8("file:///" + where.absoluteFilePath().toStdString()));
    setHiddenProperty(info, kUrl, url);
    setHiddenProperty(info, kLoaderUrl, url);
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
    setHiddenProperty(info, kDomain, vm.getPublic(Value(vm.findClass(u"flash.system.ApplicationDomain")->object),
                                                  u"currentDomain"));
    root->dynamic.set(String(kMovieInfo), info, false);
    return info;
}

}  // namespace

// The LoaderInfo of the movie an object belongs to: the nearest main
// timeline of a movie holding it; null for what no movie holds.
Value loaderInfoGetter(Vm& vm, const Value& self, Args) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    if (!bridge) return Value::null();
    for (DisplayObject* d = DisplayBridge::displayOf(self); d; d = d->parent()) {
        if (d == &bridge->player().root()) return mainMovieInfo(vm, *bridge);
        if (auto* made = bridge->madeObjectOf(*d))
            if (const Value* known = made->dynamic.get(kMovieInfo)) return *known;
    }
    return Value::null();
}

void announceMovieLoaded(Vm& vm) {
    DisplayBridge* bridge = DisplayBridge::of(vm);
    Object* root = bridge ? bridge->madeObjectOf(bridge->player().root()) : nullptr;
    const Value* info = root ? root->dynamic.get(kMovieInfo) : nullptr;
    if (!info) return;
    const Value held = *info;
    dispatchEvent(vm, held, u"flash.events.Event", u"init");
    dispatchEvent(vm, held, u"flash.events.Event", u"complete");
}

namespace {

Value loaderInfoOf(Vm& vm, const Value& loader) {
    Value info = loaderInfoGetter(vm, loader, {});
    if (DisplayBridge* bridge = DisplayBridge::of(vm); info.isNull() && bridge) return mainMovieInfo(vm, *bridge);
    return info;
}

Value content(Vm&, const Value& self, Args) { return hiddenProperty(infoOf(self), kContent); }
Value contentLoaderInfo(Vm&, const Value& self, Args) { return infoOf(self); }

// A LoaderContext's settings are plain properties scripts set.
Value contextInit(Vm& vm, const Value& self, Args a) {
    vm.setPublic(self, u"checkPolicyFile", Value(a.size() > 0 && kinolux::avm2::toBoolean(a[0])));
    vm.setPublic(self, u"applicationDomain", a.size() > 1 ? a[1] : Value::null());
    vm.setPublic(self, u"securityDomain", a.size() > 2 ? a[2] : Value::null());
    vm.setPublic(self, u"allowCodeImport", Value(true));
    vm.setPublic(self, u"parameters", Value::null());
    return Value();
}

}  // namespace

void installLoaderClasses(Vm& vm) {
    Class* info =
        vm.defineClass(u"flash.display", u"LoaderInfo", vm.findClass(u"flash.events.EventDispatcher"), nullptr);
    vm.defineGetter(info, u"content", infoGetter<kContent>);
    vm.defineGetter(info, u"loader", infoGetter<kLoader>);
    vm.defineGetter(info, u"url", infoGetter<kUrl>);
    vm.defineGetter(info, u"loaderURL", infoGetter<kLoaderUrl>);
    vm.defineGetter(info, u"contentType", infoGetter<kContentType>);
    vm.defineGetter(info, u"bytes", infoGetter<kBytes>);
    vm.defineGetter(info, u"applicationDomain", infoGetter<kDomain>);
    vm.defineGetter(info, u"bytesLoaded", infoNumber<kBytesLoaded>);
    vm.defineGetter(info, u"bytesTotal", infoNumber<kBytesTotal>);
    vm.defineGetter(info, u"width", infoNumber<kWidth>);
    vm.defineGetter(info, u"height", infoNumber<kHeight>);
    vm.defineGetter(info, u"parameters", parameters);
    vm.defineGetter(info, u"sharedEvents", sharedEvents);
    vm.defineGetter(info, u"swfVersion", movieNumber<kSwfVersion>);
    vm.defineGetter(info, u"frameRate", movieNumber<kFrameRate>);
    vm.defineGetter(info, u"actionScriptVersion", scriptVersion);

    Class* loader =
        vm.defineClass(u"flash.display", u"Loader", vm.findClass(u"flash.display.DisplayObjectContainer"), nullptr);
    vm.defineConstructor(loader, loaderInit);
    vm.defineTraitMethod(loader, u"load", load);
    vm.defineTraitMethod(loader, u"loadBytes", loadBytes);
    vm.defineTraitMethod(loader, u"unload", unload);
    vm.defineTraitMethod(loader, u"unloadAndStop", unload);
    vm.defineTraitMethod(loader, u"close", nothing);
    vm.defineGetter(loader, u"content", content);
    vm.defineGetter(loader, u"contentLoaderInfo", contentLoaderInfo);

    vm.defineClass(u"flash.display", u"AVM1Movie", vm.findClass(u"flash.display.DisplayObject"), nullptr);
    Class* context = vm.defineClass(u"flash.system", u"LoaderContext", vm.findClass(u"Object"), nullptr);
    vm.defineConstructor(context, contextInit);
}

}  // namespace flash
