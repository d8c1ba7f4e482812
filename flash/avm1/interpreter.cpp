// The action loop: decodes one record at a time from the bytecode (jumps
// may land anywhere, so nothing is decoded ahead) and hands it to the
// function for its code.
#include <array>

#include "flash/avm1/actions.h"

namespace kinolux::avm1 {

namespace {

// With and Try bodies run nested in C++; this bounds how deep hostile code
// can make that.
constexpr int kMaxBlockNesting = 64;

constexpr std::array<ActionFunction, 256> makeActionTable() {
    std::array<ActionFunction, 256> t{};
    t.fill(opUnknown);
    t[Op::End] = opEnd;
    // stack, registers and arithmetic
    t[Op::Add] = opAdd;
    t[Op::Subtract] = opSubtract;
    t[Op::Multiply] = opMultiply;
    t[Op::Divide] = opDivide;
    t[Op::Modulo] = opModulo;
    t[Op::Increment] = opIncrement;
    t[Op::Decrement] = opDecrement;
    t[Op::Equals] = opEquals;
    t[Op::Less] = opLess;
    t[Op::And] = opAnd;
    t[Op::Or] = opOr;
    t[Op::Not] = opNot;
    t[Op::Add2] = opAdd2;
    t[Op::Less2] = opLess2;
    t[Op::Greater] = opGreater;
    t[Op::Equals2] = opEquals2;
    t[Op::StrictEquals] = opStrictEquals;
    t[Op::BitAnd] = opBitAnd;
    t[Op::BitOr] = opBitOr;
    t[Op::BitXor] = opBitXor;
    t[Op::BitLShift] = opBitLShift;
    t[Op::BitRShift] = opBitRShift;
    t[Op::BitURShift] = opBitURShift;
    t[Op::ToInteger] = opToInteger;
    t[Op::ToNumber] = opToNumber;
    t[Op::ToString] = opToString;
    t[Op::TypeOf] = opTypeOf;
    t[Op::StringEquals] = opStringEquals;
    t[Op::StringLess] = opStringLess;
    t[Op::StringGreater] = opStringGreater;
    t[Op::StringAdd] = opStringAdd;
    t[Op::StringLength] = opStringLength;
    t[Op::MBStringLength] = opStringLength;
    t[Op::StringExtract] = opStringExtract;
    t[Op::MBStringExtract] = opStringExtract;
    t[Op::CharToAscii] = opCharToAscii;
    t[Op::MBCharToAscii] = opMBCharToAscii;
    t[Op::AsciiToChar] = opAsciiToChar;
    t[Op::MBAsciiToChar] = opMBAsciiToChar;
    t[Op::Push] = opPush;
    t[Op::Pop] = opPop;
    t[Op::PushDuplicate] = opPushDuplicate;
    t[Op::StackSwap] = opStackSwap;
    t[Op::StoreRegister] = opStoreRegister;
    t[Op::ConstantPool] = opConstantPool;
    // variables, members and display properties
    t[Op::GetVariable] = opGetVariable;
    t[Op::SetVariable] = opSetVariable;
    t[Op::DefineLocal] = opDefineLocal;
    t[Op::DefineLocal2] = opDefineLocal2;
    t[Op::Delete] = opDelete;
    t[Op::Delete2] = opDelete2;
    t[Op::GetMember] = opGetMember;
    t[Op::SetMember] = opSetMember;
    t[Op::InitArray] = opInitArray;
    t[Op::InitObject] = opInitObject;
    t[Op::Enumerate] = opEnumerate;
    t[Op::Enumerate2] = opEnumerate2;
    t[Op::GetProperty] = opGetProperty;
    t[Op::SetProperty] = opSetProperty;
    t[Op::TargetPath] = opTargetPath;
    // control flow
    t[Op::Jump] = opJump;
    t[Op::If] = opIf;
    t[Op::Return] = opReturn;
    t[Op::Throw] = opThrow;
    t[Op::With] = opWith;
    t[Op::Try] = opTry;
    t[Op::WaitForFrame] = opWaitForFrame;
    t[Op::WaitForFrame2] = opWaitForFrame2;
    // functions and objects
    t[Op::DefineFunction] = opDefineFunction;
    t[Op::DefineFunction2] = opDefineFunction;
    t[Op::CallFunction] = opCallFunction;
    t[Op::CallMethod] = opCallMethod;
    t[Op::NewObject] = opNewObject;
    t[Op::NewMethod] = opNewMethod;
    t[Op::InstanceOf] = opInstanceOf;
    t[Op::CastOp] = opCastOp;
    t[Op::ImplementsOp] = opImplementsOp;
    t[Op::Extends] = opExtends;
    // timelines and the player
    t[Op::NextFrame] = opNextFrame;
    t[Op::PrevFrame] = opPrevFrame;
    t[Op::Play] = opPlay;
    t[Op::Stop] = opStop;
    t[Op::GotoFrame] = opGotoFrame;
    t[Op::GotoLabel] = opGotoLabel;
    t[Op::GotoFrame2] = opGotoFrame2;
    t[Op::Call] = opCall;
    t[Op::SetTarget] = opSetTarget;
    t[Op::SetTarget2] = opSetTarget2;
    t[Op::GetUrl] = opGetUrl;
    t[Op::GetUrl2] = opGetUrl2;
    t[Op::CloneSprite] = opCloneSprite;
    t[Op::RemoveSprite] = opRemoveSprite;
    t[Op::StartDrag] = opStartDrag;
    t[Op::EndDrag] = opEndDrag;
    t[Op::ToggleQuality] = opToggleQuality;
    t[Op::StopSounds] = opStopSounds;
    t[Op::Trace] = opTrace;
    t[Op::GetTime] = opGetTime;
    t[Op::RandomNumber] = opRandomNumber;
    return t;
}

constexpr std::array<ActionFunction, 256> kActions = makeActionTable();

}  // namespace

Completion runActions(Vm& vm, Activation& act, const std::uint8_t* begin, const std::uint8_t* end,
                      int nesting) {
    if (nesting > kMaxBlockNesting) vm.abort("The bytecode nests with / try blocks too deeply.");
    ActionContext c(vm, act, nesting);
    const std::uint8_t* pc = begin;
    while (pc < end) {
        Interpreter::tick(vm);
        if (!readAction(pc, c.hi, c.action)) {
            vm.host().scriptError("An action record runs past the end of its block; the rest of the "
                                  "script was skipped.");
            return {};
        }
        c.next = c.action.next;
        c.ops = OperandReader(c.action.operands, c.action.length);
        switch (kActions[c.action.code](c)) {
        case Flow::Next: break;
        case Flow::Stop: return {};
        case Flow::Return: return std::move(c.result);
        }
        if (c.ops.failed()) {
            vm.host().scriptError("The operands of a " + actionName(c.action.code) +
                                  " action are cut short; the script was ended.");
            return {};
        }
        pc = c.next;
    }
    return {};
}

Value execute(Vm& vm, Activation& act) {
    if (!act.code.data || act.code.size == 0) return Value();
    const std::uint8_t* begin = act.code.data.get();
    Completion c = runActions(vm, act, begin, begin + act.code.size, 0);
    return c.returned ? c.value : Value();
}

}  // namespace kinolux::avm1
