#include "tests/avm1/script.h"

#include "flash/avm1/array_object.h"

namespace kinolux::avm1::test {

Value Script::at(std::u16string_view path) {
    Value current(m.vm.global());
    while (!path.empty()) {
        std::size_t dot = path.find(u'.');
        current = get(current, path.substr(0, dot));
        path = dot == std::u16string_view::npos ? std::u16string_view() : path.substr(dot + 1);
    }
    return current;
}

Value Script::call(const Value& target, std::u16string_view method, std::vector<Value> args) {
    return m.vm.invoke(m.vm.toObject(target), method, args);
}

Value Script::make(std::u16string_view className, std::vector<Value> args) {
    return m.vm.construct(at(className), args);
}

Value Script::array(std::vector<Value> elements) { return Value(m.vm.newArray(std::move(elements)).get()); }

Value Script::object(std::initializer_list<std::pair<std::u16string_view, Value>> properties) {
    ObjectRef o = m.vm.newObject();
    for (const auto& [name, value] : properties) m.vm.set(o, String(name), value);
    return Value(o);
}

Value Script::get(const Value& target, std::u16string_view name) { return m.vm.get(target, String(name)); }

void Script::set(const Value& target, std::u16string_view name, const Value& value) {
    if (ObjectRef o = m.vm.toObject(target)) m.vm.set(o, String(name), value);
}

std::string Script::text(const Value& v) { return m.vm.toString(v).toUtf8(); }

}  // namespace kinolux::avm1::test
