// One function per action, grouped by area in the actions_*.cpp files, and
// what they share: the state of the running block and a way to end it.
// The action loop (interpreter.cpp) picks the function by action code.
#pragma once

#include <cstdint>

#include "flash/avm1/action_reader.h"
#include "flash/avm1/interpreter.h"

namespace kinolux::avm1 {

// What the loop does after an action.
enum class Flow : std::uint8_t {
    Next,    // go on at `next`
    Stop,    // the block ends (End, or damaged code)
    Return,  // the activation returns `result`
};

// The block being run and the action being carried out.
struct ActionContext {
    ActionContext(Vm& machine, Activation& activation, int depth)
        : vm(machine),
          act(activation),
          lo(activation.code.data.get()),
          hi(lo + activation.code.size),
          nesting(depth) {}

    Vm& vm;
    Activation& act;
    const std::uint8_t* const lo;  // the activation's code
    const std::uint8_t* const hi;
    const int nesting;  // With and Try bodies run nested this deep
    RawAction action;
    OperandReader ops{nullptr, 0};
    const std::uint8_t* next = nullptr;  // where the loop goes on; jumps move it
    Completion result;

    int version() const { return act.swfVersion; }
    Value pop() { return Interpreter::pop(vm); }
    void push(Value v) { Interpreter::push(vm, std::move(v)); }
    Value readRegister(std::uint8_t reg) const {
        if (reg < act.localRegisters.size()) return act.localRegisters[reg];
        if (reg < 4) return Interpreter::globalRegisters(vm)[reg];
        return Value();
    }
    void writeRegister(std::uint8_t reg, const Value& v) {
        if (reg < act.localRegisters.size()) act.localRegisters[reg] = v;
        else if (reg < 4) Interpreter::globalRegisters(vm)[reg] = v;
    }
    Flow returns(Completion completion) {
        result = std::move(completion);
        return Flow::Return;
    }
    // Operands that name nothing to work on: the action leaves undefined.
    Flow pushUndefined() {
        push(Value());
        return Flow::Next;
    }
    // Damaged code: the player reports it and ends the script.
    Flow fail(const std::string& message) {
        vm.host().scriptError(message);
        return Flow::Stop;
    }
};

using ActionFunction = Flow (*)(ActionContext& c);

// `var name = value`: on the nearest scope that is not a `with` object.
void defineLocal(ActionContext& c, const String& name, const Value& value);

// ---- stack, registers and arithmetic (actions_stack.cpp) ----
Flow opAdd(ActionContext& c);
Flow opSubtract(ActionContext& c);
Flow opMultiply(ActionContext& c);
Flow opDivide(ActionContext& c);
Flow opModulo(ActionContext& c);
Flow opIncrement(ActionContext& c);
Flow opDecrement(ActionContext& c);
Flow opEquals(ActionContext& c);
Flow opLess(ActionContext& c);
Flow opAnd(ActionContext& c);
Flow opOr(ActionContext& c);
Flow opNot(ActionContext& c);
Flow opAdd2(ActionContext& c);
Flow opLess2(ActionContext& c);
Flow opGreater(ActionContext& c);
Flow opEquals2(ActionContext& c);
Flow opStrictEquals(ActionContext& c);
Flow opBitAnd(ActionContext& c);
Flow opBitOr(ActionContext& c);
Flow opBitXor(ActionContext& c);
Flow opBitLShift(ActionContext& c);
Flow opBitRShift(ActionContext& c);
Flow opBitURShift(ActionContext& c);
Flow opToInteger(ActionContext& c);
Flow opToNumber(ActionContext& c);
Flow opToString(ActionContext& c);
Flow opTypeOf(ActionContext& c);
Flow opStringEquals(ActionContext& c);
Flow opStringLess(ActionContext& c);
Flow opStringGreater(ActionContext& c);
Flow opStringAdd(ActionContext& c);
Flow opStringLength(ActionContext& c);
Flow opStringExtract(ActionContext& c);
Flow opCharToAscii(ActionContext& c);
Flow opMBCharToAscii(ActionContext& c);
Flow opAsciiToChar(ActionContext& c);
Flow opMBAsciiToChar(ActionContext& c);
Flow opPush(ActionContext& c);
Flow opPop(ActionContext& c);
Flow opPushDuplicate(ActionContext& c);
Flow opStackSwap(ActionContext& c);
Flow opStoreRegister(ActionContext& c);
Flow opConstantPool(ActionContext& c);

// ---- variables, members and display properties (actions_variables.cpp) ----
Flow opGetVariable(ActionContext& c);
Flow opSetVariable(ActionContext& c);
Flow opDefineLocal(ActionContext& c);
Flow opDefineLocal2(ActionContext& c);
Flow opDelete(ActionContext& c);
Flow opDelete2(ActionContext& c);
Flow opGetMember(ActionContext& c);
Flow opSetMember(ActionContext& c);
Flow opInitArray(ActionContext& c);
Flow opInitObject(ActionContext& c);
Flow opEnumerate(ActionContext& c);
Flow opEnumerate2(ActionContext& c);
Flow opGetProperty(ActionContext& c);
Flow opSetProperty(ActionContext& c);
Flow opTargetPath(ActionContext& c);

// ---- control flow (actions_control.cpp) ----
Flow opEnd(ActionContext& c);
Flow opUnknown(ActionContext& c);
Flow opJump(ActionContext& c);
Flow opIf(ActionContext& c);
Flow opReturn(ActionContext& c);
Flow opThrow(ActionContext& c);
Flow opWith(ActionContext& c);
Flow opTry(ActionContext& c);
Flow opWaitForFrame(ActionContext& c);
Flow opWaitForFrame2(ActionContext& c);

// ---- functions and objects (actions_objects.cpp) ----
Flow opDefineFunction(ActionContext& c);
Flow opCallFunction(ActionContext& c);
Flow opCallMethod(ActionContext& c);
Flow opNewObject(ActionContext& c);
Flow opNewMethod(ActionContext& c);
Flow opInstanceOf(ActionContext& c);
Flow opCastOp(ActionContext& c);
Flow opImplementsOp(ActionContext& c);
Flow opExtends(ActionContext& c);

// ---- timelines and the player (actions_timeline.cpp) ----
Flow opNextFrame(ActionContext& c);
Flow opPrevFrame(ActionContext& c);
Flow opPlay(ActionContext& c);
Flow opStop(ActionContext& c);
Flow opGotoFrame(ActionContext& c);
Flow opGotoLabel(ActionContext& c);
Flow opGotoFrame2(ActionContext& c);
Flow opCall(ActionContext& c);
Flow opSetTarget(ActionContext& c);
Flow opSetTarget2(ActionContext& c);
Flow opGetUrl(ActionContext& c);
Flow opGetUrl2(ActionContext& c);
Flow opCloneSprite(ActionContext& c);
Flow opRemoveSprite(ActionContext& c);
Flow opStartDrag(ActionContext& c);
Flow opEndDrag(ActionContext& c);
Flow opToggleQuality(ActionContext& c);
Flow opStopSounds(ActionContext& c);
Flow opTrace(ActionContext& c);
Flow opGetTime(ActionContext& c);
Flow opRandomNumber(ActionContext& c);

}  // namespace kinolux::avm1
