#include "flash/core/library.h"

#include <QString>

namespace flash {

Library::Library(std::shared_ptr<const swf::Movie> movie, const ImportResolver& imports)
    : movie_(std::move(movie)), timeline_(Timeline::build(movie_->tags)) {
    for (const auto& tag : movie_->tags)
        if (const auto* fa = tag.get<swf::FileAttributes>(); fa && (fa->flags & swf::FileAttribute::ActionScript3))
            actionScript3_ = true;
    addDefinitions(movie_->tags, imports);
}

void Library::define(CharacterKind kind, swf::CharacterId id, const swf::Tag& tag) {
    if (characters_.count(id)) return;
    Character c;
    c.kind = kind;
    c.id = id;
    c.tag = &tag.body;
    c.owner = this;
    characters_.emplace(id, std::move(c));
}

void Library::addDefinitions(const std::vector<swf::Tag>& tags, const ImportResolver& imports) {
    using K = CharacterKind;
    for (const auto& tag : tags) {
        const auto& b = tag.body;
        if (auto* t = std::get_if<swf::DefineShape>(&b)) define(K::Shape, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineMorphShape>(&b)) define(K::MorphShape, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineText>(&b)) define(K::Text, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineEditText>(&b)) define(K::EditText, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineBitsJpeg>(&b)) define(K::Bitmap, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineBitsLossless>(&b)) define(K::Bitmap, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineButton>(&b)) define(K::Button, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineVideoStream>(&b)) define(K::Video, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineFont>(&b)) define(K::Font, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineSound>(&b)) define(K::Sound, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineBinaryData>(&b)) define(K::BinaryData, t->id, tag);
        else if (auto* t = std::get_if<swf::DefineSprite>(&b)) {
            if (characters_.count(t->id)) continue;
            define(K::Sprite, t->id, tag);
            characters_[t->id].timeline = std::make_shared<Timeline>(Timeline::build(t->tags));
            addDefinitions(t->tags, imports);
        } else if (auto* t = std::get_if<swf::JpegTables>(&b)) {
            if (jpegTables_.empty()) jpegTables_ = t->data;
        } else if (auto* t = std::get_if<swf::DefineFontInfo>(&b)) {
            auto it = characters_.find(t->fontId);
            if (it != characters_.end()) it->second.fontInfo = t;
        } else if (auto* t = std::get_if<swf::DefineButtonCxform>(&b)) {
            auto it = characters_.find(t->buttonId);
            if (it != characters_.end()) it->second.buttonCxform = t;
        } else if (auto* t = std::get_if<swf::DefineButtonSound>(&b)) {
            auto it = characters_.find(t->buttonId);
            if (it != characters_.end()) it->second.buttonSound = t;
        } else if (auto* t = std::get_if<swf::VideoFrame>(&b)) {
            auto it = characters_.find(t->streamId);
            if (it != characters_.end()) it->second.videoFrames.emplace(t->frameNum, t->data);
        } else if (auto* t = std::get_if<swf::DefineScalingGrid>(&b)) {
            auto it = characters_.find(t->id);
            if (it != characters_.end()) it->second.scalingGrid = t;
        } else if (auto* t = std::get_if<swf::ExportAssets>(&b)) {
            for (const auto& [id, name] : t->assets) {
                auto it = characters_.find(id);
                if (it == characters_.end()) continue;
                // A character may be exported under several names; the
                // first is the one scripts read back.
                auto exportName = kinolux::script::String::fromSwf(name, swfVersion());
                if (it->second.exportName.empty()) it->second.exportName = exportName;
                exports_.emplace_back(std::move(exportName), &it->second);
            }
        } else if (auto* t = std::get_if<swf::ImportAssets>(&b)) {
            const Library* from = imports ? imports(t->url) : nullptr;
            if (!from) continue;
            for (const auto& [id, name] : t->assets) {
                auto wanted = kinolux::script::String::fromSwf(name, swfVersion());
                const Character* source = from->exported(wanted);
                if (!source || characters_.count(id)) continue;
                Character& copy = characters_.emplace(id, *source).first->second;
                copy.exportName = wanted;
                exports_.emplace_back(wanted, &copy);
            }
        }
    }
}

const Character* Library::get(swf::CharacterId id) const {
    auto it = characters_.find(id);
    return it == characters_.end() ? nullptr : &it->second;
}

const Character* Library::exported(const kinolux::script::String& name) const {
    for (const auto& [exportName, c] : exports_)
        if (exportName.equalsIgnoreCase(name.view())) return c;
    return nullptr;
}

bool Library::exportsAs(const Character& c, const kinolux::script::String& name, bool caseSensitive) const {
    for (const auto& [exportName, exported] : exports_)
        if (exported == &c && exportName.equals(name.view(), caseSensitive)) return true;
    return false;
}

const Character* Library::fontByName(const std::string& name, bool bold, bool italic) const {
    const Character* loose = nullptr;
    QString wanted = QString::fromStdString(name);
    for (const auto& [id, c] : characters_) {
        const auto* font = c.as<swf::DefineFont>();
        if (!font) continue;
        std::string fontName = c.fontInfo ? c.fontInfo->name : font->name;
        if (QString::fromStdString(fontName).compare(wanted, Qt::CaseInsensitive) != 0) continue;
        if (font->glyphs.empty()) continue;
        if (font->flags.bold == bold && font->flags.italic == italic) return &c;
        if (!loose) loose = &c;
    }
    return loose;
}

}  // namespace flash
