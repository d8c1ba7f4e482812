#include "flash/avm2/object.h"

#include <algorithm>
#include <iterator>

namespace kinolux::avm2 {

const Trait* Traits::find(const Multiname& m) const {
    auto it = byName.find(std::u16string(m.name.view()));
    if (it == byName.end()) return nullptr;
    for (std::uint32_t i : it->second)
        if (m.matches(list[i].ns)) return &list[i];
    return nullptr;
}

const Trait* Traits::findQualified(const Namespace& ns, const String& name) const {
    auto it = byName.find(std::u16string(name.view()));
    if (it == byName.end()) return nullptr;
    for (std::uint32_t i : it->second)
        if (list[i].ns == ns) return &list[i];
    return nullptr;
}

const Trait* Traits::findByName(std::u16string_view name) const {
    auto it = byName.find(std::u16string(name));
    return it == byName.end() || it->second.empty() ? nullptr : &list[it->second.front()];
}

Trait& Traits::put(Trait t) {
    auto& ids = byName[std::u16string(t.name.view())];
    for (std::uint32_t i : ids) {
        if (list[i].ns == t.ns) {
            Trait& old = list[i];
            // A getter and a setter declared apart make one accessor.
            if (old.type == TraitType::Accessor && t.type == TraitType::Accessor) {
                if (t.method) old.method = t.method;
                if (t.setter) old.setter = t.setter;
                return old;
            }
            old = std::move(t);
            return old;
        }
    }
    ids.push_back(std::uint32_t(list.size()));
    list.push_back(std::move(t));
    return list.back();
}

const Value* PropertyList::get(std::u16string_view name) const {
    if (entries_.empty()) return nullptr;
    auto it = index_.find(std::u16string(name));
    return it == index_.end() ? nullptr : &entries_[it->second].value;
}

DynamicProperty* PropertyList::find(std::u16string_view name) {
    if (entries_.empty()) return nullptr;
    auto it = index_.find(std::u16string(name));
    return it == index_.end() ? nullptr : &entries_[it->second];
}

void PropertyList::set(const String& name, Value v, bool enumerable) {
    if (DynamicProperty* p = find(name.view())) {
        p->value = std::move(v);
        return;
    }
    index_.emplace(std::u16string(name.view()), std::uint32_t(entries_.size()));
    entries_.push_back({name, std::move(v), enumerable});
}

bool PropertyList::erase(std::u16string_view name) {
    auto it = index_.find(std::u16string(name));
    if (it == index_.end()) return false;
    std::uint32_t i = it->second;
    index_.erase(it);
    entries_.erase(entries_.begin() + i);
    for (auto& [key, at] : index_)
        if (at > i) --at;
    return true;
}

// By default an object with hooks enumerates its dynamic properties.
std::uint32_t PropertyHooks::nextIndex(Vm&, Object* o, std::uint32_t index) const {
    const auto& entries = o->dynamic.entries();
    for (std::size_t k = index; k < entries.size(); ++k)
        if (entries[k].enumerable) return std::uint32_t(k + 1);
    return 0;
}

Value PropertyHooks::nextName(Vm&, Object* o, std::uint32_t index) const {
    const auto& entries = o->dynamic.entries();
    return index >= 1 && index <= entries.size() ? Value(entries[index - 1].name) : Value();
}

Value PropertyHooks::nextValue(Vm&, Object* o, std::uint32_t index) const {
    const auto& entries = o->dynamic.entries();
    return index >= 1 && index <= entries.size() ? entries[index - 1].value : Value();
}

namespace {
// How far past its elements an Array may be written before the new element
// is kept apart rather than filling the gap with missing ones.
constexpr std::size_t kDenseGap = 1024;
}  // namespace

const Value* ArrayObject::element(std::uint32_t i) const {
    if (i < elements.size()) return elements[i].isHole() ? nullptr : &elements[i];
    auto it = sparse.find(i);
    return it == sparse.end() ? nullptr : &it->second;
}

void ArrayObject::growDense(std::size_t n) {
    elements.resize(n, Value::hole());
    while (!sparse.empty() && sparse.begin()->first < n) {
        elements[sparse.begin()->first] = std::move(sparse.begin()->second);
        sparse.erase(sparse.begin());
    }
    if (sparseLength <= n) sparseLength = 0;
}

void ArrayObject::setElement(std::uint32_t i, Value v) {
    if (v.isHole()) v = Value();
    if (i < elements.size()) {
        elements[i] = std::move(v);
        return;
    }
    if (i - elements.size() <= std::max(kDenseGap, elements.size())) {
        growDense(std::size_t(i) + 1);
        elements[i] = std::move(v);
        return;
    }
    sparse[i] = std::move(v);
    if (i >= length()) sparseLength = i + 1;
}

void ArrayObject::eraseElement(std::uint32_t i) {
    if (i < elements.size()) elements[i] = Value::hole();
    else sparse.erase(i);
}

void ArrayObject::setArrayLength(std::uint32_t n) {
    if (n <= elements.size()) {
        elements.resize(n);
        sparse.clear();
        sparseLength = 0;
    } else if (n - elements.size() <= kDenseGap && sparse.empty()) {
        sparseLength = 0;
        growDense(n);
    } else {
        sparse.erase(sparse.lower_bound(n), sparse.end());
        sparseLength = n;
    }
}

void ArrayObject::makeDense() {
    if (isSparse()) growDense(sparseLength);
}

const std::pair<const std::uint32_t, Value>& ArrayObject::sparseAt(std::size_t position) const {
    // The elements may have changed since the last step; then count again.
    auto it = position != 0 && position == walkPosition_ + 1 ? sparse.upper_bound(walkIndex_) : sparse.end();
    if (it == sparse.end()) it = std::next(sparse.begin(), std::ptrdiff_t(position));
    walkPosition_ = position;
    walkIndex_ = it->first;
    return *it;
}

String Class::qualifiedName() const {
    // A class private to a file shows the file's namespace ("Test.as$38").
    if (ns.uri.empty()) return name;
    return String::concat(String::concat(ns.uri, String(u"::")), name);
}

std::string Class::dottedName() const { return ns.uri.empty() ? name.toUtf8() : ns.uri.toUtf8() + "." + name.toUtf8(); }

bool Class::isSubclassOf(const Class* other) const {
    for (const Class* c = this; c; c = c->super) {
        if (c == other) return true;
        for (const Class* i : c->interfaces)
            if (i == other || i->isSubclassOf(other)) return true;
    }
    return false;
}

}  // namespace kinolux::avm2
