// Arithmetic, logic, string and stack actions. The operands convert in the
// player's order: some actions convert each operand as they pop it, others
// pop both first.
#include <cmath>
#include <memory>

#include "flash/avm1/actions.h"

namespace kinolux::avm1 {

namespace {

String substringAction(ActionContext& c) {
    std::int32_t count = c.vm.toInt32(c.pop());
    std::int32_t index = c.vm.toInt32(c.pop());
    String s = c.vm.toString(c.pop());
    std::size_t start = index >= 1 ? static_cast<std::size_t>(index - 1) : 0;
    std::size_t end = s.size();
    if (count >= 0 && start + static_cast<std::size_t>(count) <= s.size())
        end = start + static_cast<std::size_t>(count);
    if (start > end) start = end;
    return s.substr(start, end - start);
}

// CharToAscii: the first UTF-16 unit, a lone surrogate reading as U+FFFD.
double firstCharCode(const String& s, bool bytesOnly) {
    if (s.empty()) return 0;
    char16_t c = s[0];
    if (bytesOnly) return c & 0xFF;
    if (c >= 0xD800 && c < 0xE000) return 0xFFFD;
    return c;
}

String charFromCode(std::uint16_t code, bool allowSurrogates) {
    if (code == 0) return {};
    if (!allowSurrogates && code >= 0xD800 && code < 0xE000) code = 0xFFFD;
    char16_t c = code;
    return String(std::u16string_view(&c, 1));
}

// Pops the right operand, then the left; answers them left first.
std::pair<Value, Value> popOperands(ActionContext& c) {
    Value x = c.pop();
    Value y = c.pop();
    return {std::move(y), std::move(x)};
}

// Pops the right operand, then the left, each converted as it is popped.
template <auto Convert>
auto popConverted(ActionContext& c) {
    auto x = (c.vm.*Convert)(c.pop());
    auto y = (c.vm.*Convert)(c.pop());
    return std::pair{std::move(y), std::move(x)};
}

std::pair<double, double> popNumbers(ActionContext& c) { return popConverted<&Vm::toNumber>(c); }
std::pair<std::int32_t, std::int32_t> popInt32s(ActionContext& c) { return popConverted<&Vm::toInt32>(c); }
std::pair<bool, bool> popBooleans(ActionContext& c) { return popConverted<&Vm::toBoolean>(c); }
std::pair<String, String> popStrings(ActionContext& c) { return popConverted<&Vm::toString>(c); }

// Pops both operands, then converts the left one first.
std::pair<double, double> popThenConvert(ActionContext& c) {
    auto [y, x] = popOperands(c);
    double ny = c.vm.toNumber(y);
    return {ny, c.vm.toNumber(x)};
}

}  // namespace

// ---- arithmetic and logic ----

Flow opAdd(ActionContext& c) {
    auto [y, x] = popThenConvert(c);
    c.push(Value(y + x));
    return Flow::Next;
}

Flow opSubtract(ActionContext& c) {
    auto [y, x] = popNumbers(c);
    c.push(Value(y - x));
    return Flow::Next;
}

Flow opMultiply(ActionContext& c) {
    auto [y, x] = popThenConvert(c);
    c.push(Value(y * x));
    return Flow::Next;
}

Flow opDivide(ActionContext& c) {
    auto [y, x] = popNumbers(c);
    if (x == 0 && c.version() < 5) c.push(Value(String(u"#ERROR#")));
    else c.push(Value(y / x));
    return Flow::Next;
}

Flow opModulo(ActionContext& c) {
    auto [y, x] = popNumbers(c);
    c.push(Value(std::fmod(y, x)));
    return Flow::Next;
}

Flow opIncrement(ActionContext& c) {
    c.push(Value(c.vm.toNumber(c.pop()) + 1));
    return Flow::Next;
}

Flow opDecrement(ActionContext& c) {
    c.push(Value(c.vm.toNumber(c.pop()) - 1));
    return Flow::Next;
}

Flow opEquals(ActionContext& c) {
    auto [y, x] = popNumbers(c);
    c.push(Value(y == x));
    return Flow::Next;
}

Flow opLess(ActionContext& c) {
    auto [y, x] = popThenConvert(c);
    c.push(Value(y < x));
    return Flow::Next;
}

Flow opAnd(ActionContext& c) {
    auto [y, x] = popBooleans(c);
    c.push(Value(y && x));
    return Flow::Next;
}

Flow opOr(ActionContext& c) {
    auto [y, x] = popBooleans(c);
    c.push(Value(y || x));
    return Flow::Next;
}

Flow opNot(ActionContext& c) {
    c.push(Value(!c.vm.toBoolean(c.pop())));
    return Flow::Next;
}

Flow opAdd2(ActionContext& c) {
    auto [y, x] = popOperands(c);
    c.push(c.vm.add(y, x));
    return Flow::Next;
}

Flow opLess2(ActionContext& c) {
    auto [y, x] = popOperands(c);
    c.push(c.vm.lessThan(y, x));
    return Flow::Next;
}

Flow opGreater(ActionContext& c) {
    auto [y, x] = popOperands(c);
    c.push(c.vm.lessThan(x, y));
    return Flow::Next;
}

Flow opEquals2(ActionContext& c) {
    auto [y, x] = popOperands(c);
    c.push(Value(c.vm.abstractEquals(y, x)));
    return Flow::Next;
}

Flow opStrictEquals(ActionContext& c) {
    auto [y, x] = popOperands(c);
    c.push(Value(strictEquals(y, x) || c.vm.sameClipPath(y, x)));
    return Flow::Next;
}

Flow opBitAnd(ActionContext& c) {
    auto [y, x] = popInt32s(c);
    c.push(Value(y & x));
    return Flow::Next;
}

Flow opBitOr(ActionContext& c) {
    auto [y, x] = popInt32s(c);
    c.push(Value(y | x));
    return Flow::Next;
}

Flow opBitXor(ActionContext& c) {
    auto [y, x] = popInt32s(c);
    c.push(Value(y ^ x));
    return Flow::Next;
}

Flow opBitLShift(ActionContext& c) {
    std::int32_t shift = c.vm.toInt32(c.pop()) & 31;
    std::int32_t y = c.vm.toInt32(c.pop());
    c.push(Value(static_cast<std::int32_t>(static_cast<std::uint32_t>(y) << shift)));
    return Flow::Next;
}

Flow opBitRShift(ActionContext& c) {
    std::uint32_t shift = toUint32(c.vm.toNumber(c.pop())) & 31;
    std::int32_t y = c.vm.toInt32(c.pop());
    c.push(Value(y >> shift));
    return Flow::Next;
}

Flow opBitURShift(ActionContext& c) {
    std::uint32_t shift = toUint32(c.vm.toNumber(c.pop())) & 31;
    std::uint32_t y = toUint32(c.vm.toNumber(c.pop())) >> shift;
    // SWF 8 and 9 players give the unsigned shift a signed result.
    if (c.version() == 8 || c.version() == 9) c.push(Value(static_cast<std::int32_t>(y)));
    else c.push(Value(y));
    return Flow::Next;
}

Flow opToInteger(ActionContext& c) {
    c.push(Value(c.vm.toInt32(c.pop())));
    return Flow::Next;
}

Flow opToNumber(ActionContext& c) {
    c.push(Value(c.vm.toNumber(c.pop())));
    return Flow::Next;
}

Flow opToString(ActionContext& c) {
    c.push(Value(c.vm.toString(c.pop())));
    return Flow::Next;
}

Flow opTypeOf(ActionContext& c) {
    c.push(Value(String(c.vm.typeOf(c.pop()))));
    return Flow::Next;
}

// ---- strings ----

Flow opStringEquals(ActionContext& c) {
    auto [y, x] = popStrings(c);
    c.push(Value(y == x));
    return Flow::Next;
}

Flow opStringLess(ActionContext& c) {
    auto [y, x] = popStrings(c);
    c.push(Value(y.view() < x.view()));
    return Flow::Next;
}

Flow opStringGreater(ActionContext& c) {
    auto [y, x] = popOperands(c);
    String sy = c.vm.toString(y);
    c.push(Value(sy.view() > c.vm.toString(x).view()));
    return Flow::Next;
}

Flow opStringAdd(ActionContext& c) {
    auto [y, x] = popStrings(c);
    c.vm.checkStringLength(y.size() + x.size());
    c.push(Value(String::concat(y, x)));
    return Flow::Next;
}

Flow opStringLength(ActionContext& c) {
    c.push(Value(c.vm.toString(c.pop()).size()));
    return Flow::Next;
}

Flow opStringExtract(ActionContext& c) {
    c.push(Value(substringAction(c)));
    return Flow::Next;
}

Flow opCharToAscii(ActionContext& c) {
    c.push(Value(firstCharCode(c.vm.toString(c.pop()), false)));
    return Flow::Next;
}

Flow opMBCharToAscii(ActionContext& c) {
    c.push(Value(firstCharCode(c.vm.toString(c.pop()), c.version() < 6)));
    return Flow::Next;
}

Flow opAsciiToChar(ActionContext& c) {
    c.push(Value(charFromCode(toUint16(c.vm.toNumber(c.pop())), c.version() < 6)));
    return Flow::Next;
}

Flow opMBAsciiToChar(ActionContext& c) {
    c.push(Value(charFromCode(toUint16(c.vm.toNumber(c.pop())), false)));
    return Flow::Next;
}

// ---- stack and registers ----

Flow opPush(ActionContext& c) {
    OperandReader& ops = c.ops;
    while (!ops.atEnd()) {
        std::uint8_t type = ops.u8();
        switch (type) {
        case PushType::String: c.push(Value(String::fromSwf(ops.string(), c.version()))); break;
        case PushType::Float: c.push(Value(static_cast<double>(ops.f32()))); break;
        case PushType::Null: c.push(Value::null()); break;
        case PushType::Undefined: c.push(Value()); break;
        case PushType::Register: c.push(c.readRegister(ops.u8())); break;
        case PushType::Boolean: c.push(Value(ops.u8() != 0)); break;
        case PushType::Double: c.push(Value(ops.f64())); break;
        case PushType::Integer: c.push(Value(static_cast<std::int32_t>(ops.u32()))); break;
        case PushType::Constant8:
        case PushType::Constant16: {
            std::size_t index = type == PushType::Constant8 ? ops.u8() : ops.u16();
            const ConstantPoolRef& pool = c.act.pool;
            if (pool && index < pool->size()) c.push(Value((*pool)[index]));
            else c.push(Value());
            break;
        }
        default: return c.fail("A Push action holds a value of unknown type.");
        }
        if (ops.failed()) {
            c.pop();  // the half-read value
            return c.fail("A Push action is cut short.");
        }
    }
    return Flow::Next;
}

Flow opPop(ActionContext& c) {
    c.pop();
    return Flow::Next;
}

Flow opPushDuplicate(ActionContext& c) {
    Value v = c.pop();
    c.push(v);
    c.push(std::move(v));
    return Flow::Next;
}

Flow opStackSwap(ActionContext& c) {
    Value x = c.pop();
    Value y = c.pop();
    c.push(std::move(x));
    c.push(std::move(y));
    return Flow::Next;
}

Flow opStoreRegister(ActionContext& c) {
    std::uint8_t reg = c.ops.u8();
    Value v = c.pop();
    c.push(v);
    c.writeRegister(reg, v);
    return Flow::Next;
}

Flow opConstantPool(ActionContext& c) {
    std::uint16_t count = c.ops.u16();
    auto pool = std::make_shared<ConstantPool>();
    pool->reserve(count);
    for (std::uint16_t i = 0; i < count && !c.ops.atEnd(); ++i)
        pool->push_back(String::fromSwf(c.ops.string(), c.version()));
    c.act.pool = pool;
    Interpreter::setLastConstantPool(c.vm, std::move(pool));
    return Flow::Next;
}

}  // namespace kinolux::avm1
