// JSON: parse (with a reviver) and stringify (with a replacer and an
// indent). Both recurse over nested data, so both count their depth
// against the machine's call limit.
#include <cmath>

#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

[[noreturn]] void invalidInput(Vm& vm) {
    vm.throwError(ErrorType::SyntaxError, "Error #1132: Invalid JSON parse input.", 1132);
}

void checkDepth(Vm& vm, std::size_t depth) {
    if (depth + std::size_t(vm.callDepth()) >= std::size_t(vm.limits().maxCallDepth)) throwStackOverflow(vm);
}

class Parser {
public:
    Parser(Vm& vm, std::u16string_view text) : vm_(vm), text_(text) {}

    Value document() {
        Value v = value(0);
        blank();
        if (at_ != text_.size()) invalidInput(vm_);
        return v;
    }

private:
    void blank() {
        while (at_ < text_.size() &&
               (text_[at_] == u' ' || text_[at_] == u'\t' || text_[at_] == u'\n' || text_[at_] == u'\r'))
            ++at_;
    }
    bool take(char16_t c) {
        blank();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    void expect(char16_t c) {
        if (!take(c)) invalidInput(vm_);
    }
    bool word(std::u16string_view w) {
        if (text_.substr(at_, w.size()) != w) return false;
        at_ += w.size();
        return true;
    }

    Value value(std::size_t depth) {
        checkDepth(vm_, depth);
        blank();
        if (at_ >= text_.size()) invalidInput(vm_);
        char16_t c = text_[at_];
        if (c == u'{') return object(depth);
        if (c == u'[') return array(depth);
        if (c == u'"') return Value(string());
        if (word(u"true")) return Value(true);
        if (word(u"false")) return Value(false);
        if (word(u"null")) return Value::null();
        return number();
    }

    Value object(std::size_t depth) {
        ++at_;
        Object* o = vm_.newObject();
        if (take(u'}')) return Value(o);
        do {
            blank();
            if (at_ >= text_.size() || text_[at_] != u'"') invalidInput(vm_);
            String key = string();
            expect(u':');
            Value v = value(depth + 1);
            vm_.setProperty(Value(o), Multiname::publicName(key), v);
        } while (take(u','));
        expect(u'}');
        return Value(o);
    }

    Value array(std::size_t depth) {
        ++at_;
        std::vector<Value> elements;
        if (!take(u']')) {
            do {
                elements.push_back(value(depth + 1));
                vm_.charge(sizeof(Value));
            } while (take(u','));
            expect(u']');
        }
        return Value(static_cast<Object*>(vm_.newArray(std::move(elements))));
    }

    String string() {
        ++at_;
        std::u16string out;
        for (;;) {
            if (at_ >= text_.size()) invalidInput(vm_);
            char16_t c = text_[at_++];
            if (c == u'"') break;
            if (c < 0x20) invalidInput(vm_);
            if (c != u'\\') {
                out.push_back(c);
                continue;
            }
            if (at_ >= text_.size()) invalidInput(vm_);
            char16_t e = text_[at_++];
            switch (e) {
            case u'"': out.push_back(u'"'); break;
            case u'\\': out.push_back(u'\\'); break;
            case u'/': out.push_back(u'/'); break;
            case u'b': out.push_back(u'\b'); break;
            case u'f': out.push_back(u'\f'); break;
            case u'n': out.push_back(u'\n'); break;
            case u'r': out.push_back(u'\r'); break;
            case u't': out.push_back(u'\t'); break;
            case u'u': {
                if (at_ + 4 > text_.size()) invalidInput(vm_);
                char16_t unit = 0;
                for (int i = 0; i < 4; ++i) {
                    char16_t h = text_[at_++];
                    int d = h >= u'0' && h <= u'9'   ? h - u'0'
                            : h >= u'a' && h <= u'f' ? h - u'a' + 10
                            : h >= u'A' && h <= u'F' ? h - u'A' + 10
                                                     : -1;
                    if (d < 0) invalidInput(vm_);
                    unit = char16_t(unit * 16 + d);
                }
                out.push_back(unit);
                break;
            }
            default: invalidInput(vm_);
            }
        }
        if (out.size() > vm_.limits().maxStringLength) throw avm1::ScriptAbort(avm1::LimitMessage::kString, false);
        return String(out);
    }

    Value number() {
        std::size_t start = at_;
        auto digits = [&] {
            std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= u'0' && text_[at_] <= u'9') ++at_;
            return at_ - from;
        };
        if (at_ < text_.size() && text_[at_] == u'-') ++at_;
        std::size_t intStart = at_;
        std::size_t n = digits();
        if (n == 0 || (n > 1 && text_[intStart] == u'0')) invalidInput(vm_);
        if (at_ < text_.size() && text_[at_] == u'.') {
            ++at_;
            if (digits() == 0) invalidInput(vm_);
        }
        if (at_ < text_.size() && (text_[at_] == u'e' || text_[at_] == u'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == u'+' || text_[at_] == u'-')) ++at_;
            if (digits() == 0) invalidInput(vm_);
        }
        return Value(numberOfString(String(text_.substr(start, at_ - start))));
    }

    Vm& vm_;
    std::u16string_view text_;
    std::size_t at_ = 0;
};

// The names an object's properties go out under: a sealed class's public
// variables and getters, then the dynamic properties.
std::vector<String> propertyNames(Object* o) {
    std::vector<String> names;
    if (o->traits && o->kind != ObjectKind::Array)
        for (const Trait& t : o->traits->list)
            if (t.ns.isPublic() && (t.type == TraitType::Slot || t.type == TraitType::Const ||
                                    (t.type == TraitType::Accessor && t.method)))
                names.push_back(t.name);
    for (const DynamicProperty& p : o->dynamic.entries())
        if (p.enumerable) names.push_back(p.name);
    return names;
}

Value walk(Vm& vm, const Value& holder, const String& key, const Value& reviver, std::size_t depth) {
    checkDepth(vm, depth);
    Value v = vm.getPublic(holder, key.view());
    if (Object* o = v.object()) {
        std::vector<String> keys;
        if (o->kind == ObjectKind::Array) {
            auto n = static_cast<ArrayObject*>(o)->length();
            for (std::size_t i = 0; i < n; ++i) keys.push_back(numberToString(double(i)));
        } else {
            keys = propertyNames(o);
        }
        for (const String& k : keys) {
            Value e = walk(vm, v, k, reviver, depth + 1);
            if (e.isUndefined()) vm.deleteProperty(v, Multiname::publicName(k));
            else vm.setPublic(v, k.view(), e);
        }
    }
    Value args[] = {Value(key), v};
    return vm.call(reviver, holder, args);
}

Value parse(Vm& vm, const Value&, std::span<const Value> args) {
    if (args.empty() || args[0].isUndefined()) invalidInput(vm);
    String text = vm.toString(args[0]);
    Value result = Parser(vm, text.view()).document();
    Value reviver = arg(args, 1);
    if (!reviver.object() || reviver.object()->kind != ObjectKind::Function) return result;
    Object* root = vm.newObject();
    root->dynamic.set(String(), result);
    return walk(vm, Value(root), String(), reviver, 0);
}

class Stringifier {
public:
    Stringifier(Vm& vm, Value replacer, std::u16string gap)
        : vm_(vm), replacer_(std::move(replacer)), gap_(std::move(gap)) {
        Object* r = replacer_.object();
        if (r && (r->kind == ObjectKind::Array || r->kind == ObjectKind::Vector)) {
            hasList_ = true;
            for (const Value& e : static_cast<ArrayObject*>(r)->elements) {
                if (!e.isString() && !e.isNumber()) continue;
                String name = vm.toString(e);
                bool seen = false;
                for (const String& n : list_) seen = seen || n == name;
                if (!seen) list_.push_back(name);
            }
            replacer_ = Value();
        }
    }

    // false when the value has no text (undefined, a function).
    bool value(const Value& holder, const String& key, Value v, std::u16string& out) {
        if (Object* o = v.object(); o && o->kind != ObjectKind::Function) {
            const Multiname toJsonName = Multiname::publicName(String(u"toJSON"));
            Value toJson = vm_.hasProperty(v, toJsonName) ? vm_.getProperty(v, toJsonName) : Value();
            if (toJson.object() && toJson.object()->kind == ObjectKind::Function) {
                Value args[] = {Value(key)};
                v = vm_.call(toJson, v, args);
            }
        }
        if (replacer_.object()) {
            Value args[] = {Value(key), v};
            v = vm_.call(replacer_, holder, args);
        }
        switch (v.type()) {
        case Type::Undefined: return false;
        case Type::Null: out += u"null"; return true;
        case Type::Boolean: out += v.boolean() ? u"true" : u"false"; return true;
        case Type::Number: {
            if (std::isfinite(v.number())) out += numberToString(v.number()).view();
            else out += u"null";
            return true;
        }
        case Type::String: quote(v.string().view(), out); return true;
        case Type::Object: break;
        }
        Object* o = v.object();
        if (o->kind == ObjectKind::Function) return false;
        for (Object* seen : stack_)
            if (seen == o)
                vm_.throwError(ErrorType::TypeError,
                               "Error #1129: Cyclic structure cannot be converted to JSON string.", 1129);
        checkDepth(vm_, stack_.size());
        stack_.push_back(o);
        std::u16string outer = indent_;
        indent_ += gap_;
        if (o->kind == ObjectKind::Array || o->kind == ObjectKind::Vector) array(v, out);
        else object(v, out);
        indent_ = std::move(outer);
        stack_.pop_back();
        if (out.size() > vm_.limits().maxStringLength) throw avm1::ScriptAbort(avm1::LimitMessage::kString, false);
        return true;
    }

    static void quote(std::u16string_view s, std::u16string& out) {
        out.push_back(u'"');
        for (char16_t c : s) {
            switch (c) {
            case u'"': out += u"\\\""; break;
            case u'\\': out += u"\\\\"; break;
            case u'\b': out += u"\\b"; break;
            case u'\f': out += u"\\f"; break;
            case u'\n': out += u"\\n"; break;
            case u'\r': out += u"\\r"; break;
            case u'\t': out += u"\\t"; break;
            default:
                if (c < 0x20) {
                    static const char hex[] = "0123456789abcdef";
                    out += u"\\u00";
                    out.push_back(char16_t(hex[c >> 4]));
                    out.push_back(char16_t(hex[c & 15]));
                } else {
                    out.push_back(c);
                }
            }
        }
        out.push_back(u'"');
    }

private:
    void open(std::u16string& out) {
        if (!gap_.empty()) {
            out.push_back(u'\n');
            out += indent_;
        }
    }
    void close(std::u16string& out, const std::u16string& outer, char16_t bracket) {
        if (!gap_.empty()) {
            out.push_back(u'\n');
            out += outer;
        }
        out.push_back(bracket);
    }

    void array(const Value& v, std::u16string& out) {
        auto* a = static_cast<ArrayObject*>(v.object());
        if (a->kind == ObjectKind::Array) vm_.denseArray(*a);
        std::u16string outer = indent_.substr(0, indent_.size() - gap_.size());
        out.push_back(u'[');
        std::size_t n = a->elements.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (i) out.push_back(u',');
            open(out);
            Value e = i < a->elements.size() && !a->elements[i].isHole() ? a->elements[i] : Value();
            if (!value(v, numberToString(double(i)), e, out)) out += u"null";
        }
        if (n) close(out, outer, u']');
        else out.push_back(u']');
    }

    void object(const Value& v, std::u16string& out) {
        std::u16string outer = indent_.substr(0, indent_.size() - gap_.size());
        out.push_back(u'{');
        bool any = false;
        for (const String& k : hasList_ ? list_ : propertyNames(v.object())) {
            if (hasList_ && !vm_.hasProperty(v, Multiname::publicName(k))) continue;
            std::u16string item;
            if (!value(v, k, vm_.getPublic(v, k.view()), item)) continue;
            if (any) out.push_back(u',');
            any = true;
            open(out);
            quote(k.view(), out);
            out.push_back(u':');
            if (!gap_.empty()) out.push_back(u' ');
            out += item;
        }
        if (any) close(out, outer, u'}');
        else out.push_back(u'}');
    }

    Vm& vm_;
    Value replacer_;
    std::u16string gap_;
    std::u16string indent_;
    std::vector<String> list_;
    bool hasList_ = false;
    std::vector<Object*> stack_;
};

std::u16string gapOf(Vm& vm, const Value& space) {
    if (space.isNumber()) {
        double n = std::min(10.0, integerOf(space.number()));
        return n >= 1 ? std::u16string(std::size_t(n), u' ') : std::u16string();
    }
    if (space.isString()) return std::u16string(space.string().view().substr(0, 10));
    (void)vm;
    return {};
}

Value stringify(Vm& vm, const Value&, std::span<const Value> args) {
    Value replacer = arg(args, 1);
    if (args.size() > 1 && !replacer.isNull()) {
        Object* r = replacer.object();
        if (!r || (r->kind != ObjectKind::Function && r->kind != ObjectKind::Array && r->kind != ObjectKind::Vector))
            vm.throwError(ErrorType::TypeError,
                          "Error #1131: Replacer argument to JSON stringifier must be an array or a two parameter "
                          "function.",
                          1131);
    }
    Stringifier s(vm, replacer, gapOf(vm, arg(args, 2)));
    Object* root = vm.newObject();
    root->dynamic.set(String(), arg(args, 0));
    std::u16string out;
    if (!s.value(Value(root), String(), arg(args, 0), out)) return Value();
    return Value(String(out));
}

}  // namespace

void installJsonClass(Vm& vm) {
    Class* json = vm.defineClass(u"", u"JSON", vm.findClass(u"Object"), [](Vm& vm, Class*) -> Object* {
        vm.throwError(ErrorType::ArgumentError, "Error #2012: JSON class cannot be instantiated.", 2012);
    });
    vm.defineMethod(json, u"parse", parse, true, 2);
    vm.defineMethod(json, u"stringify", stringify, true, 3);
}

}  // namespace kinolux::avm2
