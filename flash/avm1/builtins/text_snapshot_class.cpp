// TextSnapshot: the static text of a movie clip, as it stood when the
// snapshot was taken, to read and search. Nothing is ever selected, as no
// one selects static text in a conversion.
#include <algorithm>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/case_mapping.h"

namespace kinolux::avm1::builtins {

namespace {

class TextSnapshotObject final : public Object {
public:
    TextSnapshotObject(Heap& heap, Value proto) : Object(heap, ObjectKind::Plain, std::move(proto)) {}
    // None when the snapshot was taken of no movie clip.
    std::optional<String> text;
};

// The snapshot behind `this`, if it holds a clip's text.
const String* snapshotText(const Value& thisValue) {
    auto* self = dynamic_cast<TextSnapshotObject*>(thisObject(thisValue));
    return self && self->text ? &*self->text : nullptr;
}

Value construct(Vm& vm, const Value& thisValue, Args args) {
    Object* fresh = thisObject(thisValue);
    auto made = ObjectRef(vm.heap().make<TextSnapshotObject>(fresh ? fresh->protoValue() : Value()));
    DisplayObjectBinding* target = vm.bindingOf(arg(args, 0));
    if (target && target->kind() == DisplayKind::MovieClip)
        static_cast<TextSnapshotObject*>(made.get())->text = static_cast<MovieClipBinding*>(target)->staticText();
    return Value(made);
}

Value getCount(Vm&, const Value& thisValue, Args) {
    const String* text = snapshotText(thisValue);
    return text ? Value(double(text->size())) : Value();
}

// getText(start, end): the characters from start up to end.
Value getText(Vm& vm, const Value& thisValue, Args args) {
    const String* text = snapshotText(thisValue);
    if (!text) return Value();
    const std::int64_t n = std::int64_t(text->size());
    const std::int64_t start = std::clamp<std::int64_t>(vm.toInt32(arg(args, 0)), 0, n);
    const std::int64_t end = std::clamp<std::int64_t>(vm.toInt32(arg(args, 1)), start, n);
    return Value(String(text->view().substr(std::size_t(start), std::size_t(end - start))));
}

// findText(start, text, caseSensitive): where `text` next occurs from
// start on, or -1; other than three arguments answer nothing.
Value findText(Vm& vm, const Value& thisValue, Args args) {
    const String* text = snapshotText(thisValue);
    if (!text || args.size() != 3) return Value();
    const std::int32_t start = vm.toInt32(args[0]);
    const String wanted = vm.toString(args[1]);
    const bool caseSensitive = vm.toBoolean(args[2]);
    if (start < 0 || wanted.empty() || std::size_t(start) >= text->size()) return Value(-1);
    std::u16string haystack(text->view()), needle(wanted.view());
    if (!caseSensitive) {
        for (char16_t& c : haystack) c = toLowerCase(c);
        for (char16_t& c : needle) c = toLowerCase(c);
    }
    const std::size_t at = haystack.find(needle, std::size_t(start));
    return Value(at == std::u16string::npos ? -1.0 : double(at));
}

Value emptyString(Vm&, const Value&, Args) { return Value(String()); }
Value noRuns(Vm& vm, const Value&, Args) { return Value(ObjectRef(vm.newArray())); }

// Listed by for..in, but only movies of version 6 and later see them.
constexpr std::uint16_t kShown = PropertyFlag::OnlySwf6Up;

constexpr Member kSnapshotMembers[] = {
    method(u"getCount", getCount, kShown),
    method(u"setSelected", nothing, kShown),
    method(u"getSelected", no, kShown),
    method(u"getText", getText, kShown),
    method(u"getSelectedText", emptyString, kShown),
    method(u"hitTestTextNearPos", minusOne, kShown),
    method(u"findText", findText, kShown),
    method(u"setSelectColor", nothing, kShown),
    method(u"getTextRunInfo", noRuns, kShown),
};

}  // namespace

void installTextSnapshot(Vm& vm) {
    defineClass(vm, *vm.global(), {u"TextSnapshot", construct, construct, kSnapshotMembers});
}

}  // namespace kinolux::avm1::builtins
