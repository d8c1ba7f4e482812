// QName and Namespace objects show their two read-only properties to for-in
// and for-each, and call them enumerable, as the player's own objects do.
#include "flash/avm2/builtins/native.h"
#include "flash/avm2/builtins/xml.h"

namespace kinolux::avm2 {
namespace {

// The value of an object's first or second field.
using FieldReader = Value (*)(Object* o, std::size_t field);

class FieldHooks : public PropertyHooks {
public:
    // for-in lists the two names; for-each reads the same fields, in the
    // other order when `valuesReversed`.
    FieldHooks(ObjectKind kind, const char16_t* first, const char16_t* second, FieldReader read, bool valuesReversed)
        : kind_(kind), names_{first, second}, read_(read), valuesReversed_(valuesReversed) {}

    bool enumerates(std::u16string_view name) const { return name == names_[0] || name == names_[1]; }

    // A script's subclass makes plain objects, which have no such fields.
    std::uint32_t nextIndex(Vm&, Object* o, std::uint32_t index) const override {
        return o->kind == kind_ && index < 2 ? index + 1 : 0;
    }
    Value nextName(Vm&, Object*, std::uint32_t index) const override {
        return index >= 1 && index <= 2 ? Value(String(names_[index - 1])) : Value();
    }
    Value nextValue(Vm&, Object* o, std::uint32_t index) const override {
        if (o->kind != kind_ || index < 1 || index > 2) return Value();
        return read_(o, valuesReversed_ ? 2 - index : index - 1);
    }

private:
    ObjectKind kind_;
    const char16_t* names_[2];
    FieldReader read_;
    bool valuesReversed_;
};

Value qnameField(Object* o, std::size_t field) {
    const auto* q = static_cast<const QNameObject*>(o);
    if (field == 1) return Value(q->local);
    return q->anyUri ? Value::null() : Value(q->uri);
}

Value namespaceField(Object* o, std::size_t field) {
    const auto* ns = static_cast<const BoxObject*>(o);
    return field == 0 ? ns->value : ns->prefix;
}

// A QName's for-each reads its local name before its URI.
const FieldHooks kQNameFields(ObjectKind::QName, u"uri", u"localName", qnameField, true);
const FieldHooks kNamespaceFields(ObjectKind::Namespace, u"uri", u"prefix", namespaceField, false);

Value propertyIsEnumerable(Vm& vm, const Value& self, std::span<const Value> args) {
    Object* o = self.object();
    const auto* fields = dynamic_cast<const FieldHooks*>(hooksOf(o));
    return Value(fields && fields->enumerates(vm.toString(arg(args, 0)).view()));
}

}  // namespace

void installNameFields(Vm& vm, Class* qname, Class* ns) {
    qname->hooks = &kQNameFields;
    ns->hooks = &kNamespaceFields;
    for (Class* c : {qname, ns}) vm.defineMethod(c, u"propertyIsEnumerable", propertyIsEnumerable, false, 1);
}

}  // namespace kinolux::avm2
