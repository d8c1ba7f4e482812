#include "flash/swf/read_internal.h"

namespace swf::detail {

SoundFormatInfo readSoundFormat(ByteReader& r) {
    SoundFormatInfo f;
    f.compression = SoundFormat(r.ubits(4));
    f.rate = std::uint8_t(r.ubits(2));
    f.is16Bit = r.bit();
    f.stereo = r.bit();
    return f;
}

DefineSound readDefineSound(ByteReader& r) {
    DefineSound s;
    s.id = r.u16();
    s.format = readSoundFormat(r);
    s.sampleCount = r.u32();
    s.data = r.rest();
    return s;
}

SoundStreamHead readSoundStreamHead(ByteReader& r, int version) {
    SoundStreamHead h;
    h.version = std::uint8_t(version);
    r.ubits(4);
    h.playback.rate = std::uint8_t(r.ubits(2));
    h.playback.is16Bit = r.bit();
    h.playback.stereo = r.bit();
    h.playback.compression = SoundFormat::UncompressedLittleEndian;
    h.stream = readSoundFormat(r);
    h.samplesPerFrame = r.u16();
    if (h.stream.compression == SoundFormat::Mp3 && r.remaining() >= 2) h.latencySeek = r.i16();
    return h;
}

DefineBitsJpeg readDefineBitsJpeg(ByteReader& r, int version) {
    DefineBitsJpeg j;
    j.version = std::uint8_t(version);
    j.id = r.u16();
    if (version <= 2) {
        j.data = r.rest();
        return j;
    }
    std::uint32_t alphaOffset = r.u32();
    if (version == 4) j.deblocking = r.i16();
    if (alphaOffset > r.remaining()) r.fail("JPEG alpha offset beyond the tag");
    j.data = r.bytes(alphaOffset);
    j.alphaData = r.rest();
    return j;
}

DefineBitsLossless readDefineBitsLossless(ByteReader& r, int version) {
    DefineBitsLossless b;
    b.version = std::uint8_t(version);
    b.id = r.u16();
    std::uint8_t format = r.u8();
    if (format != 3 && format != 4 && format != 5) r.fail("unknown lossless bitmap format " + std::to_string(format));
    b.format = LosslessFormat(format);
    b.width = r.u16();
    b.height = r.u16();
    if (b.format == LosslessFormat::ColorMap8) b.colorTableSize = std::uint16_t(r.u8() + 1);
    b.zlibData = r.rest();
    return b;
}

DefineVideoStream readDefineVideoStream(ByteReader& r) {
    DefineVideoStream v;
    v.id = r.u16();
    v.numFrames = r.u16();
    v.width = r.u16();
    v.height = r.u16();
    r.ubits(4);
    v.deblocking = std::uint8_t(r.ubits(3));
    v.smoothing = r.bit();
    v.codec = r.u8();
    return v;
}

}  // namespace swf::detail
