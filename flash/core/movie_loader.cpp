#include "flash/core/movie_loader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "flash/core/bitmap_data.h"
#include "flash/core/bitmap_object.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"
#include "flash/core/timeline_scripts.h"
#include "flash/swf/error.h"
#include "flash/swf/limits.h"
#include "flash/swf/read.h"

namespace flash {

namespace {

// Imports nest at most this deep (a movie importing from itself would
// otherwise never end), and a player keeps at most this many movies.
constexpr int kMaxImportDepth = 4;
constexpr std::size_t kMaxLibraries = 64;

bool looksLikeMovie(const std::vector<std::uint8_t>& b) {
    return b.size() >= 3 && (b[0] == 'F' || b[0] == 'C' || b[0] == 'Z') && b[1] == 'W' && b[2] == 'S';
}

// A relative path that stays below the movie's folder: no root, no drive,
// no scheme, no step up.
bool insideFolder(const std::string& name) {
    if (name.front() == '/' || name.front() == '\\' || name.find(':') != std::string::npos) return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

// Whether the bytes read as Shift-JIS text with Japanese in it: every lead
// byte followed by a trail byte, and more double-byte characters than
// half-width kana (which Latin text would turn into).
bool looksLikeShiftJis(const std::vector<std::uint8_t>& b) {
    std::size_t doubles = 0, kana = 0;
    for (std::size_t i = 0; i < b.size(); ++i) {
        const std::uint8_t c = b[i];
        if (c < 0x80) continue;
        if (c >= 0xA1 && c <= 0xDF) {
            ++kana;
            continue;
        }
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 >= b.size()) return false;
        const std::uint8_t t = b[++i];
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
        ++doubles;
    }
    return doubles > 0 && doubles >= kana;
}

// With System.useCodepage a file may come in the encoding of any system:
// taken as UTF-8 when it reads as such, as Shift-JIS when it reads as
// Japanese, else as Windows-1252; handed on as UTF-8.
std::string codepageText(const std::vector<std::uint8_t>& bytes) {
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(data);
    if (!utf8.hasError()) return data.toStdString();
    if (looksLikeShiftJis(bytes)) {
        QStringDecoder japanese("Shift_JIS");
        if (japanese.isValid()) {
            text = japanese.decode(data);
            if (!japanese.hasError()) return text.toUtf8().toStdString();
        }
    }
    QStringDecoder western("windows-1252");
    text = western.isValid() ? western.decode(data) : QString::fromLatin1(data);
    return text.toUtf8().toStdString();
}

// The variables of an address's query ("movie.swf?a=1&b=2"), which a
// loaded movie finds on its root.
std::string_view queryOf(const std::string& url) {
    std::size_t q = url.find('?');
    if (q == std::string::npos) return {};
    std::size_t end = url.find('#', q);
    return std::string_view(url).substr(q + 1, end == std::string::npos ? std::string::npos : end - q - 1);
}

}  // namespace

struct MovieLoader::Request {
    enum Kind { Movie, Unload, Variables, Text } kind = Movie;
    std::weak_ptr<DisplayObject> target;
    std::optional<int> level;
    std::string url;
    std::shared_ptr<LoadListener> listener;
    std::uint32_t id = 0;
};

MovieLoader::MovieLoader(Player& player, std::string moviePath) : player_(player) {
    if (!moviePath.empty()) folder_ = QFileInfo(QString::fromStdString(moviePath)).absolutePath().toStdString();
}

MovieLoader::~MovieLoader() = default;

std::optional<std::vector<std::uint8_t>> MovieLoader::read(const std::string& url) const {
    if (folder_.empty()) return std::nullopt;
    std::string name = url.substr(0, url.find_first_of("?#"));
    if (name.empty()) return std::nullopt;
    if (!insideFolder(name)) {
        player_.scriptError("refused to load " + name + ": only files in the movie's own folder are read");
        return std::nullopt;
    }
    QFile file(QString::fromStdString(folder_ + "/" + name));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    if (file.size() > qint64(swf::limits::kMaxMovieBytes)) {
        player_.scriptError("refused to load " + name + ": the file is too large");
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

std::shared_ptr<const Library> MovieLoader::parseMovie(const std::vector<std::uint8_t>& bytes, std::string* error) {
    if (libraries_.size() >= kMaxLibraries) {
        *error = "the movie loads more movies than the player keeps";
        return nullptr;
    }
    try {
        auto movie = std::make_shared<const swf::Movie>(swf::readMovie(bytes));
        return std::make_shared<const Library>(movie, [this](const std::string& url) { return importLibrary(url); });
    } catch (const swf::Error& e) {
        *error = e.what();
    } catch (const std::bad_alloc&) {
        *error = "not enough memory";
    }
    return nullptr;
}

std::shared_ptr<const Library> MovieLoader::keepMovie(const std::vector<std::uint8_t>& bytes, const std::string& url,
                                                     std::string* error) {
    auto library = parseMovie(bytes, error);
    if (library) libraries_.emplace_back(url, library);
    return library;
}

const Library* MovieLoader::importLibrary(const std::string& url) {
    for (const auto& [known, library] : libraries_)
        if (known == url) return library.get();
    if (importDepth_ >= kMaxImportDepth) return nullptr;
    libraries_.emplace_back(url, nullptr);  // a movie importing from itself finds nothing
    auto bytes = read(url);
    if (!bytes) return nullptr;
    ++importDepth_;
    std::string error;
    auto library = parseMovie(*bytes, &error);
    --importDepth_;
    if (!library) {
        player_.scriptError("cannot import from " + url + ": " + error);
        return nullptr;
    }
    for (auto& [known, slot] : libraries_)
        if (known == url) slot = library;
    return library.get();
}

void MovieLoader::loadMovie(std::weak_ptr<DisplayObject> target, std::optional<int> level, std::string url,
                            std::shared_ptr<LoadListener> listener) {
    auto r = std::make_unique<Request>();
    r->kind = Request::Movie;
    r->target = std::move(target);
    r->level = level;
    r->url = std::move(url);
    r->listener = std::move(listener);
    pending_.push_back(std::move(r));
}

void MovieLoader::unloadMovie(std::weak_ptr<DisplayObject> target, std::optional<int> level) {
    auto r = std::make_unique<Request>();
    r->kind = Request::Unload;
    r->target = std::move(target);
    r->level = level;
    pending_.push_back(std::move(r));
}

void MovieLoader::loadVariables(std::weak_ptr<DisplayObject> target, std::optional<int> level, std::string url) {
    auto r = std::make_unique<Request>();
    r->kind = Request::Variables;
    r->target = std::move(target);
    r->level = level;
    r->url = std::move(url);
    pending_.push_back(std::move(r));
}

void MovieLoader::requestText(std::uint32_t id, std::string url) {
    auto r = std::make_unique<Request>();
    r->kind = Request::Text;
    r->id = id;
    r->url = std::move(url);
    pending_.push_back(std::move(r));
}

std::string MovieLoader::textOf(const std::vector<std::uint8_t>& bytes) const {
    const bool codepage = player_.swfVersion() >= 6 && player_.timelineScripts().usesCodepage();
    return codepage ? codepageText(bytes) : std::string(bytes.begin(), bytes.end());
}

void MovieLoader::deliver() {
    auto due = std::move(pending_);
    pending_.clear();
    for (auto& r : due) complete(*r);
}

MovieClip* MovieLoader::targetClip(Request& r) {
    if (r.level) {
        auto it = player_.levels_.find(*r.level);
        return it == player_.levels_.end() ? nullptr : it->second.get();
    }
    auto target = r.target.lock();
    return target && target->onStage() && target->kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(target.get())
                                                                                      : nullptr;
}

void MovieLoader::complete(Request& r) {
    TimelineScripts& scripts = player_.timelineScripts();
    switch (r.kind) {
    case Request::Movie: completeMovie(r); break;
    case Request::Unload: {
        MovieClip* clip = targetClip(r);
        if (!clip) return;
        if (clip->level && *clip->level != 0) {
            auto keep = player_.levels_[*clip->level];
            player_.takeOffStage(*keep);
            player_.levels_.erase(*keep->level);
        } else {
            clip->replaceTimeline(&emptyTimeline(), clip->library());
        }
        break;
    }
    case Request::Variables: {
        MovieClip* clip = targetClip(r);
        auto bytes = read(r.url);
        if (clip && bytes) scripts.deliverVariables(*clip, textOf(*bytes));
        player_.runQueue();
        break;
    }
    case Request::Text: {
        // An empty file answers as a missing one does.
        auto bytes = read(r.url);
        scripts.completeRequest(r.id, bytes && !bytes->empty() ? std::optional<std::string>(textOf(*bytes)) : std::nullopt);
        player_.runQueue();
        break;
    }
    }
}

void MovieLoader::completeMovie(Request& r) {
    auto bytes = read(r.url);
    MovieClip* clip = targetClip(r);
    if (!bytes || (!clip && !r.level)) {
        if (r.listener) r.listener->failed(clip);
        return;
    }
    std::shared_ptr<const Library> library;
    std::shared_ptr<BitmapData> image;
    std::string error;
    if (looksLikeMovie(*bytes)) {
        library = keepMovie(*bytes, r.url, &error);
    } else {
        image = BitmapData::decode(*bytes, &error);
    }
    // What is neither a movie nor a picture leaves the clip empty, as
    // though nothing had arrived.
    double size = double(bytes->size());
    if (!library && !image) {
        player_.scriptError("cannot load " + r.url + ": " + error);
        size = 0;
    }
    std::shared_ptr<MovieClip> keep;
    if (clip) {
        keep = std::static_pointer_cast<MovieClip>(clip->shared_from_this());
        clip->replaceTimeline(library ? &library->timeline() : &emptyTimeline(), library ? *library : clip->library());
        player_.restartClip(*clip);
    } else {
        keep = std::make_shared<MovieClip>(nullptr, library ? &library->timeline() : &emptyTimeline(),
                                           library ? *library : player_.library(), player_);
        keep->level = *r.level;
        player_.addLevel(keep);
        clip = keep.get();
    }
    clip->url = r.url;
    if (image && clip->onStage()) clip->adopt(std::make_shared<BitmapObject>(player_, image), kTimelineDepthOffset, nullptr);
    if (std::string_view query = queryOf(r.url); !query.empty() && clip->onStage())
        player_.timelineScripts().deliverVariables(*clip, query);
    if (r.listener) {
        r.listener->loaded(*clip, size);
        awaitingInit_.push_back({keep, r.listener});
    }
    player_.runQueue();
}

void MovieLoader::frameDone() {
    if (awaitingInit_.empty()) return;
    std::vector<AwaitingInit> ready;
    for (auto it = awaitingInit_.end(); it != awaitingInit_.begin();) {
        --it;
        auto clip = std::static_pointer_cast<MovieClip>(it->clip.lock());
        if (clip && clip->onStage() && !clip->initialized()) continue;
        if (clip && clip->onStage()) ready.push_back(*it);
        it = awaitingInit_.erase(it);
    }
    for (AwaitingInit& done : ready) {
        auto clip = std::static_pointer_cast<MovieClip>(done.clip.lock());
        if (!clip || !clip->onStage()) continue;
        done.listener->initialized(*clip);
    }
    player_.runQueue();
}

}  // namespace flash
