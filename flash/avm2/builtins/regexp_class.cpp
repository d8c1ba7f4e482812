// RegExp, on PCRE through Qt (whose match limits keep a hostile pattern
// from hanging the player), and the String methods that take one.
#include <QRegularExpression>
#include <QString>

#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

class RegExpObject : public Object {
public:
    using Object::Object;
    QRegularExpression regex;
    String source;
    bool global = false, ignoreCase = false, multiline = false, dotall = false, extended = false;
    double lastIndex = 0;
};

QString qstring(const String& s) { return QString(reinterpret_cast<const QChar*>(s.data()), qsizetype(s.size())); }
String fromQ(const QString& s) {
    return String(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size())));
}

RegExpObject* asRegExp(const Value& v) {
    Object* o = v.object();
    return o && o->kind == ObjectKind::RegExp ? static_cast<RegExpObject*>(o) : nullptr;
}

RegExpObject& thisRegExp(Vm& vm, const Value& self) {
    RegExpObject* r = asRegExp(self);
    if (!r)
        throwNotA(vm, self, "RegExp");
    return *r;
}

void compile(RegExpObject& r, const String& source, const String& flags) {
    r.source = source;
    for (char16_t f : flags.view()) {
        if (f == u'g') r.global = true;
        else if (f == u'i') r.ignoreCase = true;
        else if (f == u'm') r.multiline = true;
        else if (f == u's') r.dotall = true;
        else if (f == u'x') r.extended = true;
    }
    QRegularExpression::PatternOptions options;
    if (r.ignoreCase) options |= QRegularExpression::CaseInsensitiveOption;
    if (r.multiline) options |= QRegularExpression::MultilineOption;
    if (r.dotall) options |= QRegularExpression::DotMatchesEverythingOption;
    if (r.extended) options |= QRegularExpression::ExtendedPatternSyntaxOption;
    r.regex = QRegularExpression(qstring(source), options);
}

Object* makeRegExp(Vm& vm, Class* cls) {
    return vm.make<RegExpObject>(ObjectKind::RegExp, &cls->instanceTraits, cls, cls->prototype);
}

Value regexpInit(Vm& vm, const Value& self, std::span<const Value> args) {
    RegExpObject& r = thisRegExp(vm, self);
    if (RegExpObject* other = asRegExp(arg(args, 0))) {
        if (!arg(args, 1).isUndefined())
            vm.throwError(ErrorType::TypeError,
                          "Error #1100: Cannot supply flags when constructing one RegExp from another.", 1100);
        r.regex = other->regex;
        r.source = other->source;
        r.global = other->global;
        r.ignoreCase = other->ignoreCase;
        r.multiline = other->multiline;
        r.dotall = other->dotall;
        r.extended = other->extended;
        return Value();
    }
    String source = arg(args, 0).isUndefined() ? String() : vm.toString(args[0]);
    String flags = arg(args, 1).isUndefined() ? String() : vm.toString(args[1]);
    compile(r, source, flags);
    return Value();
}

// One match at or after `from`: the array exec returns, or null.
Value matchAt(Vm& vm, RegExpObject& r, const String& subject, qsizetype from, qsizetype* end) {
    if (!r.regex.isValid() || from > qsizetype(subject.size())) return Value::null();
    QRegularExpressionMatch m = r.regex.match(qstring(subject), from);
    if (!m.hasMatch()) return Value::null();
    std::vector<Value> groups;
    for (int i = 0; i <= r.regex.captureCount(); ++i)
        groups.push_back(m.capturedStart(i) < 0 ? Value() : Value(fromQ(m.captured(i))));
    ArrayObject* a = vm.newArray(std::move(groups));
    a->dynamic.set(String(u"index"), Value(double(m.capturedStart(0))));
    a->dynamic.set(String(u"input"), Value(subject));
    for (const QString& name : r.regex.namedCaptureGroups())
        if (!name.isEmpty()) a->dynamic.set(fromQ(name), Value(fromQ(m.captured(name))));
    if (end) *end = m.capturedEnd(0);
    return Value(static_cast<Object*>(a));
}

Value exec(Vm& vm, RegExpObject& r, const String& subject) {
    qsizetype from = r.global ? qsizetype(r.lastIndex) : 0;
    qsizetype end = 0;
    Value result = matchAt(vm, r, subject, from, &end);
    if (r.global) r.lastIndex = result.isNull() ? 0 : double(end);
    return result;
}

Value execMethod(Vm& vm, const Value& self, std::span<const Value> args) {
    return exec(vm, thisRegExp(vm, self), vm.toString(arg(args, 0)));
}

Value testMethod(Vm& vm, const Value& self, std::span<const Value> args) {
    return Value(!exec(vm, thisRegExp(vm, self), vm.toString(arg(args, 0))).isNull());
}

Value regexpToString(Vm& vm, const Value& self, std::span<const Value>) {
    RegExpObject& r = thisRegExp(vm, self);
    std::u16string s = u"/";
    s += r.source.view();
    s += u"/";
    if (r.global) s += u"g";
    if (r.ignoreCase) s += u"i";
    if (r.multiline) s += u"m";
    if (r.dotall) s += u"s";
    if (r.extended) s += u"x";
    return Value(String(s));
}

template <auto Field>
Value fieldGetter(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(thisRegExp(vm, self).*Field);
}
Value lastIndexSetter(Vm& vm, const Value& self, std::span<const Value> args) {
    thisRegExp(vm, self).lastIndex = integerOf(vm.toNumber(arg(args, 0)));
    return Value();
}

// $&, $1..$99, $`, $' and $$ in a replacement text.
String expand(const String& with, const ArrayObject& match, const String& subject, std::size_t at) {
    std::u16string_view w = with.view();
    std::u16string out;
    const auto& groups = match.elements;
    std::size_t matched = groups.empty() || !groups[0].isString() ? 0 : groups[0].string().size();
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (w[i] != u'$' || i + 1 >= w.size()) {
            out += w[i];
            continue;
        }
        char16_t c = w[i + 1];
        if (c == u'$') {
            out += u'$';
            ++i;
        } else if (c == u'&') {
            out += groups[0].isString() ? groups[0].string().view() : u"";
            ++i;
        } else if (c == u'`') {
            out += subject.view().substr(0, at);
            ++i;
        } else if (c == u'\'') {
            out += subject.view().substr(std::min(subject.size(), at + matched));
            ++i;
        } else if (c >= u'0' && c <= u'9') {
            std::size_t n = std::size_t(c - u'0'), used = 1;
            if (i + 2 < w.size() && w[i + 2] >= u'0' && w[i + 2] <= u'9' &&
                n * 10 + std::size_t(w[i + 2] - u'0') < groups.size()) {
                n = n * 10 + std::size_t(w[i + 2] - u'0');
                used = 2;
            }
            if (n == 0 || n >= groups.size()) {
                out += u'$';
                continue;
            }
            if (groups[n].isString()) out += groups[n].string().view();
            i += used;
        } else {
            out += u'$';
        }
    }
    return String(out);
}

}  // namespace

bool isRegExp(const Value& v) { return asRegExp(v) != nullptr; }

Value regexpMatch(Vm& vm, const String& subject, const Value& pattern) {
    RegExpObject* r = asRegExp(pattern);
    if (!r) return Value::null();
    if (!r->global) return exec(vm, *r, subject);
    std::vector<Value> all;
    qsizetype from = 0, end = 0;
    // The player stops at the end of the subject, without the empty match there.
    do {
        Value m = matchAt(vm, *r, subject, from, &end);
        if (m.isNull()) break;
        all.push_back(static_cast<ArrayObject*>(m.object())->elements[0]);
        from = end > from ? end : from + 1;
    } while (from < qsizetype(subject.size()));
    r->lastIndex = 0;
    return Value(static_cast<Object*>(vm.newArray(std::move(all))));
}

double regexpSearch(Vm& vm, const String& subject, const Value& pattern) {
    RegExpObject* r = asRegExp(pattern);
    Value m = r ? matchAt(vm, *r, subject, 0, nullptr) : Value::null();
    return m.isNull() ? -1 : vm.toNumber(vm.getPublic(m, u"index"));
}

String regexpReplace(Vm& vm, const String& subject, const Value& pattern, const Value& with) {
    RegExpObject& r = *asRegExp(pattern);
    std::u16string out;
    qsizetype from = 0, copied = 0, end = 0;
    for (;;) {
        Value m = matchAt(vm, r, subject, from, &end);
        if (m.isNull()) break;
        auto* match = static_cast<ArrayObject*>(m.object());
        std::size_t at =
            std::size_t(vm.toNumber(match->dynamic.get(u"index") ? *match->dynamic.get(u"index") : Value()));
        out += subject.view().substr(std::size_t(copied), at - std::size_t(copied));
        if (Object* f = with.object(); f && f->kind == ObjectKind::Function) {
            std::vector<Value> callArgs = match->elements;
            callArgs.push_back(Value(double(at)));
            callArgs.push_back(Value(subject));
            out += vm.toString(vm.call(with, Value::null(), callArgs)).view();
        } else {
            out += expand(vm.toString(with), *match, subject, at).view();
        }
        if (out.size() > vm.limits().maxStringLength) throw avm1::ScriptAbort(avm1::LimitMessage::kString, false);
        copied = end;
        from = end > qsizetype(at) ? end : qsizetype(at) + 1;
        if (!r.global) break;
    }
    out += subject.view().substr(std::min(subject.size(), std::size_t(copied)));
    return String(out);
}

std::vector<Value> regexpSplit(Vm& vm, const String& subject, const Value& pattern, double limit) {
    RegExpObject& r = *asRegExp(pattern);
    std::vector<Value> parts;
    if (subject.empty()) {
        if (matchAt(vm, r, subject, 0, nullptr).isNull()) parts.push_back(Value(subject));
        return parts;
    }
    qsizetype from = 0, start = 0, end = 0;
    while (double(parts.size()) < limit && from < qsizetype(subject.size())) {
        Value m = matchAt(vm, r, subject, from, &end);
        if (m.isNull()) break;
        auto* match = static_cast<ArrayObject*>(m.object());
        qsizetype at = qsizetype(vm.toNumber(*match->dynamic.get(u"index")));
        if (end == at && at == start) {  // an empty match does not split at the start
            from = at + 1;
            continue;
        }
        if (at >= qsizetype(subject.size())) break;
        parts.push_back(Value(subject.substr(std::size_t(start), std::size_t(at - start))));
        for (std::size_t i = 1; i < match->elements.size() && double(parts.size()) < limit; ++i)
            parts.push_back(match->elements[i]);
        start = end;
        from = end > at ? end : at + 1;
    }
    if (double(parts.size()) < limit)
        parts.push_back(Value(subject.substr(std::size_t(start), subject.size() - std::size_t(start))));
    return parts;
}

void installRegExpClass(Vm& vm) {
    Class* regexp = vm.defineClass(u"", u"RegExp", vm.findClass(u"Object"), makeRegExp);
    vm.defineConstructor(regexp, regexpInit);
    regexp->callAsFunction = [](Vm& vm, const Value&, std::span<const Value> args) {
        if (isRegExp(arg(args, 0)) && arg(args, 1).isUndefined()) return args[0];
        return Value(vm.construct(vm.findClass(u"RegExp"), args));
    };
    vm.defineConstant(regexp, u"length", Value(1));
    vm.defineMethod(regexp, u"exec", execMethod, false, 1);
    vm.defineMethod(regexp, u"test", testMethod, false, 1);
    vm.defineMethod(regexp, u"toString", regexpToString);
    vm.defineGetter(regexp, u"source", fieldGetter<&RegExpObject::source>);
    vm.defineGetter(regexp, u"global", fieldGetter<&RegExpObject::global>);
    vm.defineGetter(regexp, u"ignoreCase", fieldGetter<&RegExpObject::ignoreCase>);
    vm.defineGetter(regexp, u"multiline", fieldGetter<&RegExpObject::multiline>);
    vm.defineGetter(regexp, u"dotall", fieldGetter<&RegExpObject::dotall>);
    vm.defineGetter(regexp, u"extended", fieldGetter<&RegExpObject::extended>);
    vm.defineGetter(regexp, u"lastIndex", fieldGetter<&RegExpObject::lastIndex>, lastIndexSetter);
}

}  // namespace kinolux::avm2
