#include "flash/avm1/action_reader.h"

#include <cstdio>
#include <cstring>

namespace kinolux::avm1 {

std::string actionName(std::uint8_t code) {
    switch (code) {
#define KINOLUX_ACTION(name) \
    case Op::name: return #name;
        KINOLUX_ACTION(End) KINOLUX_ACTION(NextFrame) KINOLUX_ACTION(PrevFrame) KINOLUX_ACTION(Play)
        KINOLUX_ACTION(Stop) KINOLUX_ACTION(ToggleQuality) KINOLUX_ACTION(StopSounds)
        KINOLUX_ACTION(Add) KINOLUX_ACTION(Subtract) KINOLUX_ACTION(Multiply) KINOLUX_ACTION(Divide)
        KINOLUX_ACTION(Equals) KINOLUX_ACTION(Less) KINOLUX_ACTION(And) KINOLUX_ACTION(Or)
        KINOLUX_ACTION(Not) KINOLUX_ACTION(StringEquals) KINOLUX_ACTION(StringLength)
        KINOLUX_ACTION(StringExtract) KINOLUX_ACTION(Pop) KINOLUX_ACTION(ToInteger)
        KINOLUX_ACTION(GetVariable) KINOLUX_ACTION(SetVariable) KINOLUX_ACTION(SetTarget2)
        KINOLUX_ACTION(StringAdd) KINOLUX_ACTION(GetProperty) KINOLUX_ACTION(SetProperty)
        KINOLUX_ACTION(CloneSprite) KINOLUX_ACTION(RemoveSprite) KINOLUX_ACTION(Trace)
        KINOLUX_ACTION(StartDrag) KINOLUX_ACTION(EndDrag) KINOLUX_ACTION(StringLess)
        KINOLUX_ACTION(Throw) KINOLUX_ACTION(CastOp) KINOLUX_ACTION(ImplementsOp)
        KINOLUX_ACTION(RandomNumber) KINOLUX_ACTION(MBStringLength) KINOLUX_ACTION(CharToAscii)
        KINOLUX_ACTION(AsciiToChar) KINOLUX_ACTION(GetTime) KINOLUX_ACTION(MBStringExtract)
        KINOLUX_ACTION(MBCharToAscii) KINOLUX_ACTION(MBAsciiToChar) KINOLUX_ACTION(Delete)
        KINOLUX_ACTION(Delete2) KINOLUX_ACTION(DefineLocal) KINOLUX_ACTION(CallFunction)
        KINOLUX_ACTION(Return) KINOLUX_ACTION(Modulo) KINOLUX_ACTION(NewObject)
        KINOLUX_ACTION(DefineLocal2) KINOLUX_ACTION(InitArray) KINOLUX_ACTION(InitObject)
        KINOLUX_ACTION(TypeOf) KINOLUX_ACTION(TargetPath) KINOLUX_ACTION(Enumerate)
        KINOLUX_ACTION(Add2) KINOLUX_ACTION(Less2) KINOLUX_ACTION(Equals2) KINOLUX_ACTION(ToNumber)
        KINOLUX_ACTION(ToString) KINOLUX_ACTION(PushDuplicate) KINOLUX_ACTION(StackSwap)
        KINOLUX_ACTION(GetMember) KINOLUX_ACTION(SetMember) KINOLUX_ACTION(Increment)
        KINOLUX_ACTION(Decrement) KINOLUX_ACTION(CallMethod) KINOLUX_ACTION(NewMethod)
        KINOLUX_ACTION(InstanceOf) KINOLUX_ACTION(Enumerate2) KINOLUX_ACTION(BitAnd)
        KINOLUX_ACTION(BitOr) KINOLUX_ACTION(BitXor) KINOLUX_ACTION(BitLShift)
        KINOLUX_ACTION(BitRShift) KINOLUX_ACTION(BitURShift) KINOLUX_ACTION(StrictEquals)
        KINOLUX_ACTION(Greater) KINOLUX_ACTION(StringGreater) KINOLUX_ACTION(Extends)
        KINOLUX_ACTION(GotoFrame) KINOLUX_ACTION(GetUrl) KINOLUX_ACTION(StoreRegister)
        KINOLUX_ACTION(ConstantPool) KINOLUX_ACTION(WaitForFrame) KINOLUX_ACTION(SetTarget)
        KINOLUX_ACTION(GotoLabel) KINOLUX_ACTION(WaitForFrame2) KINOLUX_ACTION(DefineFunction2)
        KINOLUX_ACTION(Try) KINOLUX_ACTION(With) KINOLUX_ACTION(Push) KINOLUX_ACTION(Jump)
        KINOLUX_ACTION(GetUrl2) KINOLUX_ACTION(DefineFunction) KINOLUX_ACTION(If)
        KINOLUX_ACTION(Call) KINOLUX_ACTION(GotoFrame2)
#undef KINOLUX_ACTION
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", code);
    return buf;
}

bool readAction(const std::uint8_t* p, const std::uint8_t* end, RawAction& out) {
    if (p >= end) return false;
    out.code = *p;
    if (out.code < 0x80) {
        out.operands = p + 1;
        out.length = 0;
        out.next = p + 1;
        return true;
    }
    if (end - p < 3) return false;
    out.length = static_cast<std::size_t>(p[1]) | static_cast<std::size_t>(p[2]) << 8;
    out.operands = p + 3;
    if (static_cast<std::size_t>(end - out.operands) < out.length) return false;
    out.next = out.operands + out.length;
    return true;
}

bool OperandReader::need(std::size_t n) {
    if (failed_ || static_cast<std::size_t>(end_ - p_) < n) {
        failed_ = true;
        p_ = end_;
        return false;
    }
    return true;
}

std::uint8_t OperandReader::u8() {
    if (!need(1)) return 0;
    return *p_++;
}

std::uint16_t OperandReader::u16() {
    if (!need(2)) return 0;
    std::uint16_t v = static_cast<std::uint16_t>(p_[0] | p_[1] << 8);
    p_ += 2;
    return v;
}

std::uint32_t OperandReader::u32() {
    if (!need(4)) return 0;
    std::uint32_t v = static_cast<std::uint32_t>(p_[0]) | static_cast<std::uint32_t>(p_[1]) << 8 |
                      static_cast<std::uint32_t>(p_[2]) << 16 | static_cast<std::uint32_t>(p_[3]) << 24;
    p_ += 4;
    return v;
}

float OperandReader::f32() {
    std::uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double OperandReader::f64() {
    std::uint64_t high = u32();
    std::uint64_t low = u32();
    std::uint64_t bits = high << 32 | low;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::string_view OperandReader::string() {
    if (failed_) return {};
    const std::uint8_t* start = p_;
    while (p_ < end_ && *p_ != 0) ++p_;
    std::string_view s(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p_ - start));
    if (p_ < end_) ++p_;  // the terminator
    return s;
}

std::optional<DefineFunctionHeader> readDefineFunction(const RawAction& action) {
    OperandReader r(action.operands, action.length);
    DefineFunctionHeader h;
    h.isFunction2 = action.code == Op::DefineFunction2;
    h.name = r.string();
    std::uint16_t count = r.u16();
    if (h.isFunction2) {
        h.registerCount = r.u8();
        h.flags = r.u16();
    }
    for (std::uint16_t i = 0; i < count && !r.failed(); ++i) {
        DefineFunctionHeader::Param p;
        if (h.isFunction2) p.reg = r.u8();
        p.name = r.string();
        h.params.push_back(p);
    }
    h.codeSize = r.u16();
    if (r.failed()) return std::nullopt;
    return h;
}

std::optional<TryHeader> readTry(const RawAction& action) {
    OperandReader r(action.operands, action.length);
    TryHeader h;
    std::uint8_t flags = r.u8();
    h.hasCatch = flags & 0x01;
    h.hasFinally = flags & 0x02;
    h.catchInRegister = flags & 0x04;
    h.trySize = r.u16();
    h.catchSize = r.u16();
    h.finallySize = r.u16();
    if (h.catchInRegister) h.catchRegister = r.u8();
    else h.catchName = r.string();
    if (r.failed()) return std::nullopt;
    return h;
}

}  // namespace kinolux::avm1
