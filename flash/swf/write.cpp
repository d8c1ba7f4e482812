#include "flash/swf/write.h"

#include <lzma.h>
#include <zlib.h>

#include "flash/swf/error.h"
#include "flash/swf/tag_codes.h"
#include "flash/swf/write_internal.h"

namespace swf {
namespace {

using C = TagCode;
using namespace detail;

void writeIdNamePairs(ByteWriter& w, const std::vector<std::pair<CharacterId, std::string>>& pairs) {
    w.u16(std::uint16_t(pairs.size()));
    for (const auto& [id, name] : pairs) {
        w.u16(id);
        w.string(name);
    }
}

void writeFrameNames(ByteWriter& w, const std::vector<std::pair<std::uint32_t, std::string>>& names) {
    w.encodedU32(std::uint32_t(names.size()));
    for (const auto& [frame, name] : names) {
        w.encodedU32(frame);
        w.string(name);
    }
}

// Writes the body of one tag and says which code it carries.
struct BodyWriter {
    ByteWriter& w;
    std::uint8_t swfVersion;

    C operator()(const UnknownTag& t) { w.bytes(t.data); return C(t.code); }
    C operator()(const End&) { return C::End; }
    C operator()(const ShowFrame&) { return C::ShowFrame; }
    C operator()(const PlaceObject& p) {
        writePlaceObject(w, p, swfVersion);
        return p.version == 1 ? C::PlaceObject : p.version == 2 ? C::PlaceObject2 : C::PlaceObject3;
    }
    C operator()(const RemoveObject& r) {
        if (r.version == 1) w.u16(r.characterId);
        w.u16(r.depth);
        return r.version == 1 ? C::RemoveObject : C::RemoveObject2;
    }
    C operator()(const FrameLabel& l) {
        w.string(l.name);
        if (l.anchor) w.u8(1);
        return C::FrameLabel;
    }
    C operator()(const SetBackgroundColor& c) { w.rgb(c.color); return C::SetBackgroundColor; }
    C operator()(const DoAction& a) { w.bytes(a.actions); return C::DoAction; }
    C operator()(const DoInitAction& a) {
        w.u16(a.spriteId);
        w.bytes(a.actions);
        return C::DoInitAction;
    }
    C operator()(const DefineShape& s) {
        writeDefineShape(w, s);
        static const C codes[] = {C::DefineShape, C::DefineShape, C::DefineShape2, C::DefineShape3, C::DefineShape4};
        if (s.version < 1 || s.version > 4) throw Error("shape version must be 1 to 4");
        return codes[s.version];
    }
    C operator()(const DefineMorphShape& m) {
        writeDefineMorphShape(w, m);
        return m.version >= 2 ? C::DefineMorphShape2 : C::DefineMorphShape;
    }
    C operator()(const DefineBitsJpeg& j) {
        w.u16(j.id);
        if (j.version >= 3) {
            w.u32(std::uint32_t(j.data.size()));
            if (j.version == 4) w.i16(j.deblocking);
        }
        w.bytes(j.data);
        if (j.version >= 3) w.bytes(j.alphaData);
        static const C codes[] = {C::DefineBits, C::DefineBits, C::DefineBitsJpeg2, C::DefineBitsJpeg3, C::DefineBitsJpeg4};
        if (j.version < 1 || j.version > 4) throw Error("JPEG tag version must be 1 to 4");
        return codes[j.version];
    }
    C operator()(const JpegTables& t) { w.bytes(t.data); return C::JpegTables; }
    C operator()(const DefineBitsLossless& b) {
        w.u16(b.id);
        w.u8(std::uint8_t(b.format));
        w.u16(b.width);
        w.u16(b.height);
        if (b.format == LosslessFormat::ColorMap8) {
            if (b.colorTableSize < 1 || b.colorTableSize > 256) throw Error("a colour table holds 1 to 256 entries");
            w.u8(std::uint8_t(b.colorTableSize - 1));
        }
        w.bytes(b.zlibData);
        return b.version >= 2 ? C::DefineBitsLossless2 : C::DefineBitsLossless;
    }
    C operator()(const DefineFont& f) {
        writeDefineFont(w, f);
        return f.version == 1 ? C::DefineFont : f.version == 2 ? C::DefineFont2 : C::DefineFont3;
    }
    C operator()(const DefineFontInfo& f) {
        writeDefineFontInfo(w, f);
        return f.version >= 2 ? C::DefineFontInfo2 : C::DefineFontInfo;
    }
    C operator()(const DefineFontName& n) {
        w.u16(n.fontId);
        w.string(n.name);
        w.string(n.copyright);
        return C::DefineFontName;
    }
    C operator()(const DefineFont4& f) {
        w.u16(f.id);
        w.u8(std::uint8_t((f.italic ? 2 : 0) | (f.bold ? 1 : 0) | (f.data.empty() ? 0 : 4)));
        w.string(f.name);
        w.bytes(f.data);
        return C::DefineFont4;
    }
    C operator()(const DefineText& t) {
        writeDefineText(w, t);
        return t.version >= 2 ? C::DefineText2 : C::DefineText;
    }
    C operator()(const DefineEditText& t) { writeDefineEditText(w, t); return C::DefineEditText; }
    C operator()(const CsmTextSettings& s) {
        w.u16(s.id);
        w.u8(s.flags);
        w.f32(s.thickness);
        w.f32(s.sharpness);
        w.u8(0);
        return C::CsmTextSettings;
    }
    C operator()(const DefineSound& s) {
        w.u16(s.id);
        writeSoundFormat(w, s.format);
        w.u32(s.sampleCount);
        w.bytes(s.data);
        return C::DefineSound;
    }
    C operator()(const StartSound& s) {
        w.u16(s.soundId);
        writeSoundInfo(w, s.info);
        return C::StartSound;
    }
    C operator()(const StartSound2& s) {
        w.string(s.className);
        writeSoundInfo(w, s.info);
        return C::StartSound2;
    }
    C operator()(const SoundStreamHead& h) {
        w.ubits(4, 0);
        w.ubits(2, h.playback.rate);
        w.bit(h.playback.is16Bit);
        w.bit(h.playback.stereo);
        writeSoundFormat(w, h.stream);
        w.u16(h.samplesPerFrame);
        if (h.stream.compression == SoundFormat::Mp3) w.i16(h.latencySeek);
        return h.version >= 2 ? C::SoundStreamHead2 : C::SoundStreamHead;
    }
    C operator()(const SoundStreamBlock& b) { w.bytes(b.data); return C::SoundStreamBlock; }
    C operator()(const DefineVideoStream& v) {
        w.u16(v.id);
        w.u16(v.numFrames);
        w.u16(v.width);
        w.u16(v.height);
        w.ubits(4, 0);
        w.ubits(3, v.deblocking);
        w.bit(v.smoothing);
        w.u8(v.codec);
        return C::DefineVideoStream;
    }
    C operator()(const VideoFrame& f) {
        w.u16(f.streamId);
        w.u16(f.frameNum);
        w.bytes(f.data);
        return C::VideoFrame;
    }
    C operator()(const DefineSprite& s) {
        w.u16(s.id);
        w.u16(s.frameCount);
        std::vector<std::uint8_t> inner;
        for (const auto& t : s.tags) appendTag(inner, t.body, swfVersion);
        w.bytes(inner);
        return C::DefineSprite;
    }
    C operator()(const DefineButton& b) {
        writeDefineButton(w, b);
        return b.version >= 2 ? C::DefineButton2 : C::DefineButton;
    }
    C operator()(const DefineButtonCxform& c) {
        w.u16(c.buttonId);
        w.colorTransform(c.colorTransform, false);
        return C::DefineButtonCxform;
    }
    C operator()(const DefineButtonSound& s) {
        w.u16(s.buttonId);
        for (const auto& sound : s.sounds) {
            w.u16(sound.soundId);
            if (sound.soundId) writeSoundInfo(w, sound.info);
        }
        return C::DefineButtonSound;
    }
    C operator()(const ExportAssets& e) { writeIdNamePairs(w, e.assets); return C::ExportAssets; }
    C operator()(const ImportAssets& i) {
        w.string(i.url);
        if (i.version >= 2) {
            w.u8(1);
            w.u8(0);
        }
        writeIdNamePairs(w, i.assets);
        return i.version >= 2 ? C::ImportAssets2 : C::ImportAssets;
    }
    C operator()(const SymbolClass& s) { writeIdNamePairs(w, s.symbols); return C::SymbolClass; }
    C operator()(const FileAttributes& f) { w.u32(f.flags); return C::FileAttributes; }
    C operator()(const Metadata& m) { w.string(m.xml); return C::Metadata; }
    C operator()(const ScriptLimits& l) {
        w.u16(l.maxRecursionDepth);
        w.u16(l.timeoutSeconds);
        return C::ScriptLimits;
    }
    C operator()(const SetTabIndex& t) {
        w.u16(t.depth);
        w.u16(t.tabIndex);
        return C::SetTabIndex;
    }
    C operator()(const DefineScalingGrid& g) {
        w.u16(g.id);
        w.rect(g.splitter);
        return C::DefineScalingGrid;
    }
    C operator()(const SceneAndFrameLabelData& d) {
        writeFrameNames(w, d.scenes);
        writeFrameNames(w, d.labels);
        return C::DefineSceneAndFrameLabelData;
    }
    C operator()(const DefineBinaryData& d) {
        w.u16(d.id);
        w.u32(0);
        w.bytes(d.data);
        return C::DefineBinaryData;
    }
    C operator()(const DoAbc& d) { w.bytes(d.data); return C::DoAbc; }
};

// Tags that Flash tools always write with a long length field.
bool needsLongHeader(C code) {
    return code == C::DefineBitsLossless || code == C::DefineBitsLossless2 || code == C::DefineBits ||
           code == C::DefineBitsJpeg2 || code == C::DefineBitsJpeg3 || code == C::DefineBitsJpeg4 ||
           code == C::SoundStreamBlock;
}

std::vector<std::uint8_t> lzmaCompress(Bytes body, std::vector<std::uint8_t> out) {
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::uint8_t props[5];
    if (lzma_properties_encode(&filters[0], props) != LZMA_OK) throw Error("LZMA properties could not be encoded");
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&s, filters) != LZMA_OK) throw Error("the LZMA encoder could not be started");
    std::size_t lengthAt = out.size();
    out.resize(out.size() + 4);
    out.insert(out.end(), props, props + 5);
    std::size_t start = out.size();
    out.resize(start + body.size() + body.size() / 2 + 1024);
    s.next_in = body.data();
    s.avail_in = body.size();
    s.next_out = out.data() + start;
    s.avail_out = out.size() - start;
    lzma_ret rc = lzma_code(&s, LZMA_FINISH);
    while (rc == LZMA_OK) {
        std::size_t used = out.size() - s.avail_out;
        out.resize(out.size() * 2);
        s.next_out = out.data() + used;
        s.avail_out = out.size() - used;
        rc = lzma_code(&s, LZMA_FINISH);
    }
    std::size_t end = out.size() - s.avail_out;
    lzma_end(&s);
    if (rc != LZMA_STREAM_END) throw Error("LZMA compression failed");
    out.resize(end);
    std::uint32_t compressed = std::uint32_t(end - start);
    for (int i = 0; i < 4; ++i) out[lengthAt + i] = std::uint8_t(compressed >> (8 * i));
    return out;
}

}  // namespace

std::vector<std::uint8_t> zlibCompress(Bytes data) {
    uLongf size = compressBound(uLong(data.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), uLong(data.size()), 9) != Z_OK) throw Error("zlib compression failed");
    out.resize(size);
    return out;
}

void appendTag(std::vector<std::uint8_t>& out, const TagBody& tag, std::uint8_t swfVersion) {
    ByteWriter body;
    C code = std::visit(BodyWriter{body, swfVersion}, tag);
    auto& bytes = body.data();
    ByteWriter head;
    std::uint16_t c = std::uint16_t(code);
    if (bytes.size() < 0x3f && !needsLongHeader(code)) {
        head.u16(std::uint16_t(c << 6 | bytes.size()));
    } else {
        head.u16(std::uint16_t(c << 6 | 0x3f));
        head.u32(std::uint32_t(bytes.size()));
    }
    out.insert(out.end(), head.data().begin(), head.data().end());
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> compressFile(const std::vector<std::uint8_t>& fws, Compression to) {
    if (to == Compression::None || fws.size() < 8) return fws;
    std::vector<std::uint8_t> out(fws.begin(), fws.begin() + 8);
    Bytes body = Bytes(fws).subspan(8);
    if (to == Compression::Zlib) {
        out[0] = 'C';
        auto z = zlibCompress(body);
        out.insert(out.end(), z.begin(), z.end());
        return out;
    }
    out[0] = 'Z';
    return lzmaCompress(body, std::move(out));
}

std::vector<std::uint8_t> writeMovie(const Header& header, const std::vector<Tag>& tags) {
    ByteWriter w;
    w.u8('F');
    w.u8('W');
    w.u8('S');
    w.u8(header.version);
    w.u32(0);
    w.rect(header.stageSize);
    w.u16(header.frameRate);
    w.u16(header.frameCount);
    auto& out = w.data();
    for (const auto& t : tags) appendTag(out, t.body, header.version);
    if (tags.empty() || !tags.back().get<End>()) appendTag(out, End{}, header.version);
    w.patchU32(4, std::uint32_t(out.size()));
    return compressFile(out, header.compression);
}

}  // namespace swf
