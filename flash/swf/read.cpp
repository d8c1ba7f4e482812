#include "flash/swf/read.h"

#include "flash/swf/header.h"
#include "flash/swf/limits.h"
#include "flash/swf/read_internal.h"
#include "flash/swf/tag_codes.h"

namespace swf {

bool isGradient(FillType t) {
    return t == FillType::LinearGradient || t == FillType::RadialGradient || t == FillType::FocalGradient;
}


namespace detail {
namespace {

using C = TagCode;

std::vector<std::pair<CharacterId, std::string>> readIdNamePairs(ByteReader& r) {
    std::size_t n = r.u16();
    std::vector<std::pair<CharacterId, std::string>> pairs;
    for (std::size_t i = 0; i < n; ++i) {
        CharacterId id = r.u16();
        pairs.emplace_back(id, r.string());
    }
    return pairs;
}

TagBody readSprite(ByteReader& r, const ReadContext& ctx) {
    if (ctx.spriteDepth >= limits::kMaxSpriteNesting)
        r.fail("sprites nested deeper than " + std::to_string(limits::kMaxSpriteNesting));
    DefineSprite s;
    s.id = r.u16();
    s.frameCount = r.u16();
    ReadContext inner = ctx;
    ++inner.spriteDepth;
    s.tags = readTagList(r.rest(), inner);
    return s;
}

// Scenes and frame labels are both a count and (frame, name) records.
std::vector<std::pair<std::uint32_t, std::string>> readFrameNames(ByteReader& r) {
    std::uint32_t n = r.encodedU32();
    std::vector<std::pair<std::uint32_t, std::string>> names;
    for (std::uint32_t i = 0; i < n; ++i) {
        std::uint32_t frame = r.encodedU32();
        names.emplace_back(frame, r.string());
    }
    return names;
}

TagBody readSceneData(ByteReader& r) {
    SceneAndFrameLabelData d;
    d.scenes = readFrameNames(r);
    d.labels = readFrameNames(r);
    return d;
}

}  // namespace

TagBody readTagBody(std::uint16_t code, Bytes body, const ReadContext& ctx) {
    ByteReader r(body);
    r.setBudget(ctx.budget);
    switch (C(code)) {
    case C::End: return End{};
    case C::ShowFrame: return ShowFrame{};
    case C::DefineShape: return readDefineShape(r, 1);
    case C::DefineShape2: return readDefineShape(r, 2);
    case C::DefineShape3: return readDefineShape(r, 3);
    case C::DefineShape4: return readDefineShape(r, 4);
    case C::DefineMorphShape: return readDefineMorphShape(r, 1);
    case C::DefineMorphShape2: return readDefineMorphShape(r, 2);
    case C::PlaceObject: return readPlaceObject(r, 1, ctx.version);
    case C::PlaceObject2: return readPlaceObject(r, 2, ctx.version);
    case C::PlaceObject3: return readPlaceObject(r, 3, ctx.version);
    case C::RemoveObject: {
        RemoveObject o;
        o.version = 1;
        o.characterId = r.u16();
        o.depth = r.u16();
        return o;
    }
    case C::RemoveObject2: {
        RemoveObject o;
        o.depth = r.u16();
        return o;
    }
    case C::FrameLabel: {
        FrameLabel l;
        l.name = r.string();
        l.anchor = !r.atEnd() && r.u8() == 1;
        return l;
    }
    case C::SetBackgroundColor: return SetBackgroundColor{r.rgb()};
    case C::DoAction: return DoAction{r.rest()};
    case C::DoInitAction: {
        DoInitAction a;
        a.spriteId = r.u16();
        a.actions = r.rest();
        return a;
    }
    case C::DefineBits: return readDefineBitsJpeg(r, 1);
    case C::DefineBitsJpeg2: return readDefineBitsJpeg(r, 2);
    case C::DefineBitsJpeg3: return readDefineBitsJpeg(r, 3);
    case C::DefineBitsJpeg4: return readDefineBitsJpeg(r, 4);
    case C::JpegTables: return JpegTables{r.rest()};
    case C::DefineBitsLossless: return readDefineBitsLossless(r, 1);
    case C::DefineBitsLossless2: return readDefineBitsLossless(r, 2);
    case C::DefineFont: return readDefineFont1(r);
    case C::DefineFont2: return readDefineFont23(r, 2);
    case C::DefineFont3: return readDefineFont23(r, 3);
    case C::DefineFontInfo: return readDefineFontInfo(r, 1);
    case C::DefineFontInfo2: return readDefineFontInfo(r, 2);
    case C::DefineFontName: {
        DefineFontName n;
        n.fontId = r.u16();
        n.name = r.string();
        n.copyright = r.string();
        return n;
    }
    case C::DefineFont4: {
        DefineFont4 f;
        f.id = r.u16();
        std::uint8_t flags = r.u8();
        f.italic = flags & 0x02;
        f.bold = flags & 0x01;
        f.name = r.string();
        f.data = r.rest();
        return f;
    }
    case C::DefineText: return readDefineText(r, 1);
    case C::DefineText2: return readDefineText(r, 2);
    case C::DefineEditText: return readDefineEditText(r);
    case C::CsmTextSettings: {
        CsmTextSettings s;
        s.id = r.u16();
        s.flags = r.u8();
        s.thickness = r.f32();
        s.sharpness = r.f32();
        return s;
    }
    case C::DefineSound: return readDefineSound(r);
    case C::StartSound: {
        StartSound s;
        s.soundId = r.u16();
        s.info = readSoundInfo(r);
        return s;
    }
    case C::StartSound2: {
        StartSound2 s;
        s.className = r.string();
        s.info = readSoundInfo(r);
        return s;
    }
    case C::SoundStreamHead: return readSoundStreamHead(r, 1);
    case C::SoundStreamHead2: return readSoundStreamHead(r, 2);
    case C::SoundStreamBlock: return SoundStreamBlock{r.rest()};
    case C::DefineVideoStream: return readDefineVideoStream(r);
    case C::VideoFrame: {
        VideoFrame f;
        f.streamId = r.u16();
        f.frameNum = r.u16();
        f.data = r.rest();
        return f;
    }
    case C::DefineSprite: return readSprite(r, ctx);
    case C::DefineButton: return readDefineButton(r, 1);
    case C::DefineButton2: return readDefineButton(r, 2);
    case C::DefineButtonCxform: {
        DefineButtonCxform c;
        c.buttonId = r.u16();
        c.colorTransform = r.colorTransform(false);
        return c;
    }
    case C::DefineButtonSound: {
        DefineButtonSound s;
        s.buttonId = r.u16();
        for (auto& sound : s.sounds) {
            if (r.atEnd()) break;
            sound.soundId = r.u16();
            if (sound.soundId) sound.info = readSoundInfo(r);
        }
        return s;
    }
    case C::ExportAssets: return ExportAssets{readIdNamePairs(r)};
    case C::ImportAssets:
    case C::ImportAssets2: {
        ImportAssets i;
        i.version = code == std::uint16_t(C::ImportAssets) ? 1 : 2;
        i.url = r.string();
        if (i.version == 2) r.skip(2);
        i.assets = readIdNamePairs(r);
        return i;
    }
    case C::SymbolClass: return SymbolClass{readIdNamePairs(r)};
    case C::FileAttributes: return FileAttributes{r.remaining() >= 4 ? r.u32() : r.u8()};
    case C::Metadata: return Metadata{r.string()};
    case C::ScriptLimits: {
        ScriptLimits l;
        l.maxRecursionDepth = r.u16();
        l.timeoutSeconds = r.u16();
        return l;
    }
    case C::SetTabIndex: {
        SetTabIndex t;
        t.depth = r.u16();
        t.tabIndex = r.u16();
        return t;
    }
    case C::DefineScalingGrid: {
        DefineScalingGrid g;
        g.id = r.u16();
        g.splitter = r.rect();
        return g;
    }
    case C::DefineSceneAndFrameLabelData: return readSceneData(r);
    case C::DefineBinaryData: {
        DefineBinaryData d;
        d.id = r.u16();
        r.u32();
        d.data = r.rest();
        return d;
    }
    case C::DoAbc: return DoAbc{r.rest()};
    default: return UnknownTag{code, body};
    }
}

std::vector<Tag> readTagList(Bytes data, const ReadContext& ctx) {
    std::vector<Tag> tags;
    ByteReader r(data);
    r.setBudget(ctx.budget);
    auto warn = [&](const std::string& text) {
        if (ctx.warnings) ctx.warnings->push_back(text);
    };
    while (!r.atEnd()) {
        std::size_t at = r.position();
        if (r.remaining() < 2) {
            warn("a stray byte after the last tag was ignored");
            break;
        }
        std::uint16_t codeAndLength = r.u16();
        std::uint16_t code = codeAndLength >> 6;
        std::size_t length = codeAndLength & 0x3f;
        if (length == 0x3f) {
            if (r.remaining() < 4) {
                warn("the tag list is cut short at byte " + std::to_string(at));
                break;
            }
            length = r.u32();
        }
        if (length > r.remaining()) {
            warn(std::string("tag ") + tagName(code) + " at byte " + std::to_string(at) +
                 " is cut short; the rest of the tag list was dropped");
            break;
        }
        Bytes body = r.bytes(length);
        r.charge(sizeof(Tag));
        try {
            tags.emplace_back(readTagBody(code, body, ctx));
        } catch (const Error& e) {
            // A budget overrun concerns the whole movie, not this tag.
            if (ctx.budget && *ctx.budget == 0) throw;
            warn(std::string("tag ") + tagName(code) + " at byte " + std::to_string(at) +
                 " was skipped: " + e.what());
            tags.emplace_back(UnknownTag{code, body});
        }
        if (code == std::uint16_t(TagCode::End)) break;
    }
    return tags;
}

}  // namespace detail

TagBody readTag(std::uint16_t code, Bytes body, std::uint8_t swfVersion) {
    detail::ReadContext ctx;
    ctx.version = swfVersion;
    return detail::readTagBody(code, body, ctx);
}

Movie readMovie(Bytes file, std::size_t structureBudget) {
    Movie movie;
    movie.fileSize = file.size();
    Uncompressed u = decompress(file);
    movie.data = std::move(u.file);
    std::size_t bodyOffset = 0;
    movie.header = readHeader(movie.data, &bodyOffset);
    movie.header.compression = readSignature(file).compression;
    if (u.truncated) movie.warnings.push_back("the movie is shorter than its header declares");
    std::size_t budget = structureBudget;
    detail::ReadContext ctx;
    ctx.version = movie.header.version;
    ctx.warnings = &movie.warnings;
    ctx.budget = &budget;
    movie.tags = detail::readTagList(Bytes(movie.data).subspan(bodyOffset), ctx);
    return movie;
}

}  // namespace swf
