// Decoding of action records, bounds-checked: a damaged or hostile byte
// stream yields an error result, never a read past the end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kinolux::avm1 {

namespace Op {
enum : std::uint8_t {
    End = 0x00, NextFrame = 0x04, PrevFrame = 0x05, Play = 0x06, Stop = 0x07,
    ToggleQuality = 0x08, StopSounds = 0x09, Add = 0x0A, Subtract = 0x0B, Multiply = 0x0C,
    Divide = 0x0D, Equals = 0x0E, Less = 0x0F, And = 0x10, Or = 0x11, Not = 0x12,
    StringEquals = 0x13, StringLength = 0x14, StringExtract = 0x15, Pop = 0x17, ToInteger = 0x18,
    GetVariable = 0x1C, SetVariable = 0x1D, SetTarget2 = 0x20, StringAdd = 0x21,
    GetProperty = 0x22, SetProperty = 0x23, CloneSprite = 0x24, RemoveSprite = 0x25, Trace = 0x26,
    StartDrag = 0x27, EndDrag = 0x28, StringLess = 0x29, Throw = 0x2A, CastOp = 0x2B,
    ImplementsOp = 0x2C, RandomNumber = 0x30, MBStringLength = 0x31, CharToAscii = 0x32,
    AsciiToChar = 0x33, GetTime = 0x34, MBStringExtract = 0x35, MBCharToAscii = 0x36,
    MBAsciiToChar = 0x37, Delete = 0x3A, Delete2 = 0x3B, DefineLocal = 0x3C, CallFunction = 0x3D,
    Return = 0x3E, Modulo = 0x3F, NewObject = 0x40, DefineLocal2 = 0x41, InitArray = 0x42,
    InitObject = 0x43, TypeOf = 0x44, TargetPath = 0x45, Enumerate = 0x46, Add2 = 0x47,
    Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A, ToString = 0x4B, PushDuplicate = 0x4C,
    StackSwap = 0x4D, GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50, Decrement = 0x51,
    CallMethod = 0x52, NewMethod = 0x53, InstanceOf = 0x54, Enumerate2 = 0x55, BitAnd = 0x60,
    BitOr = 0x61, BitXor = 0x62, BitLShift = 0x63, BitRShift = 0x64, BitURShift = 0x65,
    StrictEquals = 0x66, Greater = 0x67, StringGreater = 0x68, Extends = 0x69,
    GotoFrame = 0x81, GetUrl = 0x83, StoreRegister = 0x87, ConstantPool = 0x88,
    WaitForFrame = 0x8A, SetTarget = 0x8B, GotoLabel = 0x8C, WaitForFrame2 = 0x8D,
    DefineFunction2 = 0x8E, Try = 0x8F, With = 0x94, Push = 0x96, Jump = 0x99, GetUrl2 = 0x9A,
    DefineFunction = 0x9B, If = 0x9D, Call = 0x9E, GotoFrame2 = 0x9F,
};
}  // namespace Op

// Name of an action for messages and the disassembler ("Push", "0xF3").
std::string actionName(std::uint8_t code);

// One action record: its code and operand bytes.
struct RawAction {
    std::uint8_t code = 0;
    const std::uint8_t* operands = nullptr;
    std::size_t length = 0;           // operand bytes
    const std::uint8_t* next = nullptr;  // the record after this one
};

// Reads the record at `p`; false when it does not fit before `end`.
bool readAction(const std::uint8_t* p, const std::uint8_t* end, RawAction& out);

// A cursor over operand bytes; every read checks the bounds and failed()
// reports whether one fell short.
class OperandReader {
public:
    OperandReader(const std::uint8_t* begin, std::size_t size) : p_(begin), end_(begin + size) {}

    std::uint8_t u8();
    std::uint16_t u16();
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::uint32_t u32();
    float f32();
    // The SWF action double: the high 32-bit word first, each word little-endian.
    double f64();
    // A zero-terminated string; without a terminator, the rest of the bytes.
    std::string_view string();
    bool atEnd() const { return p_ >= end_; }
    bool failed() const { return failed_; }
    const std::uint8_t* position() const { return p_; }

private:
    bool need(std::size_t n);
    const std::uint8_t* p_;
    const std::uint8_t* end_;
    bool failed_ = false;
};

// Push value types.
namespace PushType {
enum : std::uint8_t {
    String = 0, Float = 1, Null = 2, Undefined = 3, Register = 4, Boolean = 5, Double = 6,
    Integer = 7, Constant8 = 8, Constant16 = 9,
};
}

struct DefineFunctionHeader {
    std::string_view name;
    struct Param {
        std::uint8_t reg = 0;
        std::string_view name;
    };
    std::vector<Param> params;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;
    std::uint16_t codeSize = 0;
    bool isFunction2 = false;
};
std::optional<DefineFunctionHeader> readDefineFunction(const RawAction& action);

struct TryHeader {
    bool catchInRegister = false;
    bool hasCatch = false;
    bool hasFinally = false;
    std::uint16_t trySize = 0, catchSize = 0, finallySize = 0;
    std::string_view catchName;
    std::uint8_t catchRegister = 0;
};
std::optional<TryHeader> readTry(const RawAction& action);

}  // namespace kinolux::avm1
