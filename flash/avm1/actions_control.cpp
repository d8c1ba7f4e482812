// Jumps, returns, exceptions, `with` blocks and frame waits: the actions
// that decide where the loop goes on.
#include <optional>

#include "flash/avm1/actions.h"
#include "flash/avm1/timeline_actions.h"

namespace kinolux::avm1 {

namespace {

Flow jump(ActionContext& c, std::int16_t offset) {
    const std::uint8_t* target = c.next + offset;
    if (target < c.lo || target > c.hi) return c.fail("A jump leaves its action block; the script was ended.");
    c.next = target;
    return Flow::Next;
}

const std::uint8_t* clampToCode(const ActionContext& c, const std::uint8_t* p) { return p > c.hi ? c.hi : p; }

Completion runBlock(ActionContext& c, const std::uint8_t* begin, const std::uint8_t* end) {
    return runActions(c.vm, c.act, begin, end, c.nesting + 1);
}

// Stores what a catch block catches, in a register or a variable.
void storeCaught(ActionContext& c, const TryHeader& header, const Value& thrown) {
    if (header.catchInRegister) c.writeRegister(header.catchRegister, thrown);
    else setVariable(c.vm, c.act, String::fromSwf(header.catchName, c.version()), thrown);
}

// WaitForFrame and WaitForFrame2: skips `skip` actions (not bytes) when
// the frame is not loaded yet.
Flow waitForFrame(ActionContext& c, const Value& frame, std::uint8_t skip, bool secondForm) {
    if (frameLoaded(c.vm, c.act, frame, secondForm)) return Flow::Next;
    for (int i = 0; i < skip; ++i) {
        RawAction skipped;
        if (!readAction(c.next, c.hi, skipped)) break;
        c.next = skipped.next;
    }
    return Flow::Next;
}

}  // namespace

Flow opEnd(ActionContext&) { return Flow::Stop; }

// Unknown actions are skipped, as the player does.
Flow opUnknown(ActionContext&) { return Flow::Next; }

Flow opJump(ActionContext& c) { return jump(c, c.ops.s16()); }

Flow opIf(ActionContext& c) {
    std::int16_t offset = c.ops.s16();
    if (!c.vm.toBoolean(c.pop())) return Flow::Next;
    return jump(c, offset);
}

Flow opReturn(ActionContext& c) { return c.returns({true, c.pop()}); }

Flow opThrow(ActionContext& c) { throw ScriptThrow{c.pop()}; }

Flow opWith(ActionContext& c) {
    std::uint16_t size = c.ops.u16();
    const std::uint8_t* bodyEnd = clampToCode(c, c.next + size);
    Value target = c.pop();
    if (!target.isNullish()) {
        ObjectRef object = c.vm.toObject(target);
        Ref<Scope> saved = c.act.scope;
        c.act.scope = c.vm.heap().make<Scope>(saved, ScopeKind::With, object);
        Completion body;
        try {
            body = runBlock(c, c.next, bodyEnd);
        } catch (...) {
            c.act.scope = saved;
            throw;
        }
        c.act.scope = saved;
        if (body.returned) return c.returns(std::move(body));
    }
    c.next = bodyEnd;
    return Flow::Next;
}

Flow opTry(ActionContext& c) {
    auto header = readTry(c.action);
    if (!header) return c.fail("A Try action is damaged; the script was ended.");
    const std::uint8_t* tryEnd = clampToCode(c, c.next + header->trySize);
    const std::uint8_t* catchEnd = clampToCode(c, tryEnd + header->catchSize);
    const std::uint8_t* finallyEnd = clampToCode(c, catchEnd + header->finallySize);
    std::vector<Value>& stack = Interpreter::stack(c.vm);
    Completion result;
    std::optional<Value> pending;
    std::size_t stackDepth = stack.size();
    try {
        result = runBlock(c, c.next, tryEnd);
    } catch (ScriptThrow& thrown) {
        if (stack.size() > stackDepth) stack.resize(stackDepth);
        if (!header->hasCatch) {
            pending = thrown.value;
        } else {
            storeCaught(c, *header, thrown.value);
            if (header->hasFinally) {
                try {
                    result = runBlock(c, tryEnd, catchEnd);
                } catch (ScriptThrow& again) {
                    pending = again.value;
                }
            } else {
                result = runBlock(c, tryEnd, catchEnd);
            }
        }
    }
    if (header->hasFinally) {
        Completion finally = runBlock(c, catchEnd, finallyEnd);
        if (finally.returned) return c.returns(std::move(finally));
    }
    if (pending) throw ScriptThrow{*pending};
    if (result.returned) return c.returns(std::move(result));
    c.next = finallyEnd;
    return Flow::Next;
}

Flow opWaitForFrame(ActionContext& c) {
    Value frame(static_cast<int>(c.ops.u16()));
    std::uint8_t skip = c.ops.u8();
    return waitForFrame(c, frame, skip, false);
}

Flow opWaitForFrame2(ActionContext& c) {
    std::uint8_t skip = c.ops.u8();
    Value frame = c.pop();
    return waitForFrame(c, frame, skip, true);
}

}  // namespace kinolux::avm1
