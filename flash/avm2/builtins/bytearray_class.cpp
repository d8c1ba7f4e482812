// flash.utils.ByteArray, Endian and CompressionAlgorithm: a growable byte
// buffer read and written at a position, in either byte order.
#include <zlib.h>

#include <bit>
#include <cstring>

#include "flash/avm2/builtins/amf.h"
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

constexpr char16_t kBigEndian[] = u"bigEndian";
constexpr char16_t kLittleEndian[] = u"littleEndian";

BoxObject& bytesOf(Vm& vm, const Value& self) {
    Object* o = self.object();
    if (!o || o->kind != ObjectKind::ByteArray)
        vm.throwError(ErrorType::TypeError, "Error #1034: Type Coercion failed: the object is not a ByteArray.", 1034);
    return *static_cast<BoxObject*>(o);
}

[[noreturn]] void throwNamed(Vm& vm, std::u16string_view cls, const char* message, int id) {
    Value args[] = {Value(String::fromAscii(message)), Value(id)};
    Class* c = vm.findClass(cls);
    throw ScriptThrow{vm.constructValue(Value(static_cast<Object*>(c->object)), args)};
}

[[noreturn]] void endOfFile(Vm& vm) {
    throwNamed(vm, u"flash.errors.EOFError", "Error #2030: End of file was encountered.", 2030);
}

// Grows the buffer through the machine's memory budget.
void resize(Vm& vm, BoxObject& b, std::size_t size) {
    if (size > b.bytes.size()) {
        if (size > (std::size_t(1) << 30)) throw avm1::ScriptAbort(avm1::LimitMessage::kMemory, true);
        vm.charge(size - b.bytes.size());
    }
    b.bytes.resize(size);
}

void writeRaw(Vm& vm, BoxObject& b, const void* data, std::size_t n) {
    if (b.position + n > b.bytes.size()) resize(vm, b, std::size_t(b.position) + n);
    std::memcpy(b.bytes.data() + b.position, data, n);
    b.position += std::uint32_t(n);
}

const char* readRaw(Vm& vm, BoxObject& b, std::size_t n) {
    if (b.position > b.bytes.size() || b.bytes.size() - b.position < n) endOfFile(vm);
    const char* at = b.bytes.data() + b.position;
    b.position += std::uint32_t(n);
    return at;
}

template <class T>
void writeNumber(Vm& vm, BoxObject& b, T v) {
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, &v, sizeof(T));
    if (b.littleEndian != (std::endian::native == std::endian::little))
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    writeRaw(vm, b, raw, sizeof(T));
}

template <class T>
T readNumber(Vm& vm, BoxObject& b) {
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, readRaw(vm, b, sizeof(T)), sizeof(T));
    if (b.littleEndian != (std::endian::native == std::endian::little))
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    T v;
    std::memcpy(&v, raw, sizeof(T));
    return v;
}

double numberArg(Vm& vm, std::span<const Value> args) { return vm.toNumber(arg(args, 0)); }

// Text read from bytes: UTF-8, a leading byte-order mark skipped, ending at
// the first NUL as the player's strings do.
String decodeUtf8(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    return String::fromUtf8(bytes);
}

bool isLatin1(const String& charset) {
    std::string c = charset.toUtf8();
    for (char& ch : c) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return c == "iso-8859-1" || c == "latin1" || c == "us-ascii" || c == "ascii" || c == "windows-1252";
}

Value getLength(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(bytesOf(vm, self).bytes.size()));
}
Value setLength(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    resize(vm, b, toUint32(numberArg(vm, args)));
    if (b.position > b.bytes.size()) b.position = std::uint32_t(b.bytes.size());
    return Value();
}
Value getPosition(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(bytesOf(vm, self).position));
}
Value setPosition(Vm& vm, const Value& self, std::span<const Value> args) {
    bytesOf(vm, self).position = toUint32(numberArg(vm, args));
    return Value();
}
Value bytesAvailable(Vm& vm, const Value& self, std::span<const Value>) {
    BoxObject& b = bytesOf(vm, self);
    return Value(double(b.position < b.bytes.size() ? b.bytes.size() - b.position : 0));
}
Value getEndian(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(String(bytesOf(vm, self).littleEndian ? kLittleEndian : kBigEndian));
}
Value setEndian(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    requireNonNull(vm, arg(args, 0), "type");
    String e = vm.toString(arg(args, 0));
    if (e == kBigEndian) b.littleEndian = false;
    else if (e == kLittleEndian) b.littleEndian = true;
    else throwNotAccepted(vm, "type");
    return Value();
}
Value clear(Vm& vm, const Value& self, std::span<const Value>) {
    BoxObject& b = bytesOf(vm, self);
    b.bytes.clear();
    b.bytes.shrink_to_fit();
    b.position = 0;
    return Value();
}

Value writeBoolean(Vm& vm, const Value& self, std::span<const Value> args) {
    writeNumber<std::uint8_t>(vm, bytesOf(vm, self), toBoolean(arg(args, 0)) ? 1 : 0);
    return Value();
}
Value writeByte(Vm& vm, const Value& self, std::span<const Value> args) {
    writeNumber<std::uint8_t>(vm, bytesOf(vm, self), std::uint8_t(toInt32(numberArg(vm, args))));
    return Value();
}
Value writeShort(Vm& vm, const Value& self, std::span<const Value> args) {
    writeNumber<std::uint16_t>(vm, bytesOf(vm, self), std::uint16_t(toInt32(numberArg(vm, args))));
    return Value();
}
Value writeInt(Vm& vm, const Value& self, std::span<const Value> args) {
    writeNumber<std::uint32_t>(vm, bytesOf(vm, self), toUint32(numberArg(vm, args)));
    return Value();
}
Value writeFloat(Vm& vm, const Value& self, std::span<const Value> args) {
    writeNumber<float>(vm, bytesOf(vm, self), float(numberArg(vm, args)));
    return Value();
}
Value writeDouble(Vm& vm, const Value& self, std::span<const Value> args) {
    writeNumber<double>(vm, bytesOf(vm, self), numberArg(vm, args));
    return Value();
}
Value writeUtfBytes(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    requireNonNull(vm, arg(args, 0), "value");
    std::string text = vm.toString(arg(args, 0)).toUtf8();
    writeRaw(vm, b, text.data(), text.size());
    return Value();
}
Value writeUtf(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    requireNonNull(vm, arg(args, 0), "value");
    std::string text = vm.toString(arg(args, 0)).toUtf8();
    if (text.size() > 0xFFFF) throwOutOfBounds(vm);
    writeNumber<std::uint16_t>(vm, b, std::uint16_t(text.size()));
    writeRaw(vm, b, text.data(), text.size());
    return Value();
}
Value writeMultiByte(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    requireNonNull(vm, arg(args, 0), "value");
    requireNonNull(vm, arg(args, 1), "charSet");
    String text = vm.toString(arg(args, 0));
    if (isLatin1(vm.toString(arg(args, 1)))) {
        std::string raw;
        for (char16_t c : text.view()) raw.push_back(c < 256 ? char(c) : '?');
        writeRaw(vm, b, raw.data(), raw.size());
    } else {
        std::string raw = text.toUtf8();
        writeRaw(vm, b, raw.data(), raw.size());
    }
    return Value();
}

// readBytes' and writeBytes' arguments: the other array, a place in it and
// a length (0 for all there is).
struct OtherBytes {
    BoxObject& bytes;
    std::size_t offset;
    std::size_t length;
};

OtherBytes otherBytes(Vm& vm, std::span<const Value> args) {
    requireNonNull(vm, arg(args, 0), "bytes");
    BoxObject& other = bytesOf(vm, arg(args, 0));
    return {other, toUint32(vm.toNumber(arg(args, 1))), toUint32(vm.toNumber(arg(args, 2)))};
}

Value writeBytes(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    auto [from, offset, length] = otherBytes(vm, args);
    if (offset > from.bytes.size()) throwOutOfBounds(vm);
    if (length == 0) length = from.bytes.size() - offset;
    if (length > from.bytes.size() - offset) throwOutOfBounds(vm);
    std::string copy = from.bytes.substr(offset, length);
    writeRaw(vm, b, copy.data(), copy.size());
    return Value();
}

Value readBoolean(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(readNumber<std::uint8_t>(vm, bytesOf(vm, self)) != 0);
}
Value readByte(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(std::int8_t(readNumber<std::uint8_t>(vm, bytesOf(vm, self)))));
}
Value readUnsignedByte(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(readNumber<std::uint8_t>(vm, bytesOf(vm, self))));
}
Value readShort(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(std::int16_t(readNumber<std::uint16_t>(vm, bytesOf(vm, self)))));
}
Value readUnsignedShort(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(readNumber<std::uint16_t>(vm, bytesOf(vm, self))));
}
Value readInt(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(std::int32_t(readNumber<std::uint32_t>(vm, bytesOf(vm, self)))));
}
Value readUnsignedInt(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(readNumber<std::uint32_t>(vm, bytesOf(vm, self))));
}
Value readFloat(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(double(readNumber<float>(vm, bytesOf(vm, self))));
}
Value readDouble(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(readNumber<double>(vm, bytesOf(vm, self)));
}
Value readUtfBytes(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    std::size_t n = toUint32(numberArg(vm, args));
    return Value(decodeUtf8(std::string_view(readRaw(vm, b, n), n)));
}
Value readUtf(Vm& vm, const Value& self, std::span<const Value>) {
    BoxObject& b = bytesOf(vm, self);
    std::size_t n = readNumber<std::uint16_t>(vm, b);
    return Value(decodeUtf8(std::string_view(readRaw(vm, b, n), n)));
}
Value readMultiByte(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    std::size_t n = toUint32(numberArg(vm, args));
    requireNonNull(vm, arg(args, 1), "charSet");
    std::string_view raw(readRaw(vm, b, n), n);
    if (!isLatin1(vm.toString(arg(args, 1)))) return Value(decodeUtf8(raw));
    std::u16string text;
    for (char c : raw) {
        if (c == '\0') break;
        text.push_back(char16_t(static_cast<unsigned char>(c)));
    }
    return Value(String(text));
}
Value readBytes(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    auto [into, offset, length] = otherBytes(vm, args);
    std::size_t available = b.position < b.bytes.size() ? b.bytes.size() - b.position : 0;
    if (length == 0) length = available;
    std::string copy(readRaw(vm, b, length), length);
    if (offset + length > into.bytes.size()) resize(vm, into, offset + length);
    std::memcpy(into.bytes.data() + offset, copy.data(), length);
    return Value();
}

Value toString(Vm& vm, const Value& self, std::span<const Value>) {
    BoxObject& b = bytesOf(vm, self);
    return Value(decodeUtf8(b.bytes));
}

// ---- compression ----

enum class Algorithm { Zlib, Deflate };

Algorithm algorithmOf(Vm& vm, std::span<const Value> args) {
    if (args.empty() || args[0].isUndefined()) return Algorithm::Zlib;
    requireNonNull(vm, args[0], "algorithm");
    String name = vm.toString(args[0]);
    if (name == u"zlib") return Algorithm::Zlib;
    if (name == u"deflate") return Algorithm::Deflate;
    // The player reports an unknown algorithm as the compressor's failure.
    throwNamed(vm, u"flash.errors.IOError", "Error #2058: There was an error decompressing the data.", 2058);
}

void compressBytes(Vm& vm, BoxObject& b, Algorithm a) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, a == Algorithm::Zlib ? 15 : -15, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        throw std::bad_alloc();
    std::string out(deflateBound(&z, uLong(b.bytes.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(b.bytes.data());
    z.avail_in = uInt(b.bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    resize(vm, b, 0);
    resize(vm, b, out.size());
    b.bytes = std::move(out);
    b.position = std::uint32_t(b.bytes.size());
}

void uncompressBytes(Vm& vm, BoxObject& b, Algorithm a) {
    if (b.bytes.empty()) return;
    z_stream z{};
    if (inflateInit2(&z, a == Algorithm::Zlib ? 15 : -15) != Z_OK) throw std::bad_alloc();
    std::string out;
    char chunk[16384];
    z.next_in = reinterpret_cast<Bytef*>(b.bytes.data());
    z.avail_in = uInt(b.bytes.size());
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        std::size_t produced = sizeof chunk - z.avail_out;
        if (produced) {
            vm.charge(produced);
            out.append(chunk, produced);
        }
        if (status == Z_BUF_ERROR && z.avail_in == 0) break;
    }
    inflateEnd(&z);
    if (status != Z_STREAM_END)
        throwNamed(vm, u"flash.errors.IOError", "Error #2058: There was an error decompressing the data.", 2058);
    b.bytes = std::move(out);
    b.position = 0;
}

Value compress(Vm& vm, const Value& self, std::span<const Value> args) {
    compressBytes(vm, bytesOf(vm, self), algorithmOf(vm, args));
    return Value();
}
Value uncompress(Vm& vm, const Value& self, std::span<const Value> args) {
    uncompressBytes(vm, bytesOf(vm, self), algorithmOf(vm, args));
    return Value();
}
Value deflateMethod(Vm& vm, const Value& self, std::span<const Value>) {
    compressBytes(vm, bytesOf(vm, self), Algorithm::Deflate);
    return Value();
}
Value inflateMethod(Vm& vm, const Value& self, std::span<const Value>) {
    uncompressBytes(vm, bytesOf(vm, self), Algorithm::Deflate);
    return Value();
}

// ---- objects (AMF) ----

int encodingArg(Vm& vm, std::span<const Value> args) {
    std::uint32_t encoding = toUint32(numberArg(vm, args));
    if (encoding != 0 && encoding != 3) throwNotAccepted(vm, "objectEncoding");
    return int(encoding);
}
Value objectEncoding(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(bytesOf(vm, self).encoding);
}
Value setObjectEncoding(Vm& vm, const Value& self, std::span<const Value> args) {
    bytesOf(vm, self).encoding = encodingArg(vm, args);
    return Value();
}
Value defaultObjectEncoding(Vm& vm, const Value&, std::span<const Value>) {
    return Value(vm.defaultObjectEncoding());
}
Value setDefaultObjectEncoding(Vm& vm, const Value&, std::span<const Value> args) {
    vm.defaultObjectEncoding() = encodingArg(vm, args);
    return Value();
}
Value writeObject(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& b = bytesOf(vm, self);
    std::string encoded;
    writeAmf(vm, encoded, arg(args, 0), b.encoding);
    writeRaw(vm, b, encoded.data(), encoded.size());
    return Value();
}
Value readObject(Vm& vm, const Value& self, std::span<const Value>) {
    BoxObject& b = bytesOf(vm, self);
    std::size_t position = b.position;
    // The bytes are copied: a setter run while reading may change the array.
    std::string bytes = b.bytes;
    Value v = readAmf(vm, bytes, position, b.encoding);
    b.position = std::uint32_t(position);
    return v;
}

// b[i]: the byte at an index (undefined past the end); writing past the
// end grows the buffer.
class ByteArrayHooks : public PropertyHooks {
public:
    bool get(Vm&, Object* o, const Multiname& name, Value& out) const override {
        std::uint32_t i;
        if (!name.seesPublic() || !Vm::arrayIndex(name.name, i)) return false;
        auto* b = static_cast<BoxObject*>(o);
        out = i < b->bytes.size() ? Value(double(static_cast<unsigned char>(b->bytes[i]))) : Value();
        return true;
    }
    bool set(Vm& vm, Object* o, const Multiname& name, const Value& value) const override {
        std::uint32_t i;
        if (!name.seesPublic() || !Vm::arrayIndex(name.name, i)) return false;
        auto* b = static_cast<BoxObject*>(o);
        if (i >= b->bytes.size()) resize(vm, *b, std::size_t(i) + 1);
        b->bytes[i] = char(toInt32(vm.toNumber(value)));
        return true;
    }
    bool has(Vm&, Object* o, const Multiname& name, bool& out) const override {
        std::uint32_t i;
        if (!name.seesPublic() || !Vm::arrayIndex(name.name, i)) return false;
        out = i < static_cast<BoxObject*>(o)->bytes.size();
        return true;
    }
};

const ByteArrayHooks kByteArrayHooks;

}  // namespace

void installByteArrayClass(Vm& vm) {
    Class* object = vm.findClass(u"Object");
    Class* c = vm.defineClass(
        u"flash.utils", u"ByteArray", object,
        [](Vm& vm, Class* cls) -> Object* {
            auto* bytes = vm.make<BoxObject>(ObjectKind::ByteArray, &cls->instanceTraits, cls, cls->prototype);
            bytes->encoding = vm.defaultObjectEncoding();
            return bytes;
        },
        ObjectKind::ByteArray);
    c->hooks = &kByteArrayHooks;
    vm.defineGetter(c, u"length", getLength, setLength);
    vm.defineGetter(c, u"position", getPosition, setPosition);
    vm.defineGetter(c, u"bytesAvailable", bytesAvailable);
    vm.defineGetter(c, u"endian", getEndian, setEndian);
    vm.defineGetter(c, u"objectEncoding", objectEncoding, setObjectEncoding);
    vm.defineGetter(c, u"defaultObjectEncoding", defaultObjectEncoding, setDefaultObjectEncoding, true);
    struct Entry {
        const char16_t* name;
        NativeFunction fn;
    };
    for (const Entry& e : {Entry{u"clear", clear},
                           Entry{u"writeBoolean", writeBoolean},
                           Entry{u"writeByte", writeByte},
                           Entry{u"writeShort", writeShort},
                           Entry{u"writeInt", writeInt},
                           Entry{u"writeUnsignedInt", writeInt},
                           Entry{u"writeFloat", writeFloat},
                           Entry{u"writeDouble", writeDouble},
                           Entry{u"writeUTF", writeUtf},
                           Entry{u"writeUTFBytes", writeUtfBytes},
                           Entry{u"writeMultiByte", writeMultiByte},
                           Entry{u"writeBytes", writeBytes},
                           Entry{u"writeObject", writeObject},
                           Entry{u"readObject", readObject},
                           Entry{u"readBoolean", readBoolean},
                           Entry{u"readByte", readByte},
                           Entry{u"readUnsignedByte", readUnsignedByte},
                           Entry{u"readShort", readShort},
                           Entry{u"readUnsignedShort", readUnsignedShort},
                           Entry{u"readInt", readInt},
                           Entry{u"readUnsignedInt", readUnsignedInt},
                           Entry{u"readFloat", readFloat},
                           Entry{u"readDouble", readDouble},
                           Entry{u"readUTF", readUtf},
                           Entry{u"readUTFBytes", readUtfBytes},
                           Entry{u"readMultiByte", readMultiByte},
                           Entry{u"readBytes", readBytes},
                           Entry{u"compress", compress},
                           Entry{u"uncompress", uncompress},
                           Entry{u"deflate", deflateMethod},
                           Entry{u"inflate", inflateMethod},
                           Entry{u"toString", toString}})
        vm.defineTraitMethod(c, e.name, e.fn);
    Class* endian = vm.defineClass(u"flash.utils", u"Endian", object, nullptr);
    vm.defineConstant(endian, u"BIG_ENDIAN", Value(String(kBigEndian)));
    vm.defineConstant(endian, u"LITTLE_ENDIAN", Value(String(kLittleEndian)));
    Class* algorithm = vm.defineClass(u"flash.utils", u"CompressionAlgorithm", object, nullptr);
    vm.defineConstant(algorithm, u"ZLIB", Value(String(u"zlib")));
    vm.defineConstant(algorithm, u"DEFLATE", Value(String(u"deflate")));
    vm.defineConstant(algorithm, u"LZMA", Value(String(u"lzma")));
    installAmfFunctions(vm);
}

}  // namespace kinolux::avm2
