// Date: milliseconds since 1970 UTC in the object, local time through the
// host's time zone, the calendar arithmetic of ECMA-262.
#include <cmath>
#include <cstdio>

#include "flash/avm1/builtins/builtins.h"
#include "flash/avm1/builtins/members.h"
#include "flash/avm1/builtins/native_helpers.h"
#include "flash/avm1/calendar.h"

namespace kinolux::avm1::builtins {

namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr double kMaxTime = 8.64e15;

double dayOf(double t) { return std::floor(t / kMsPerDay); }
double timeWithinDay(double t) {
    double r = std::fmod(t, kMsPerDay);
    return r < 0 ? r + kMsPerDay : r;
}

double makeDay(double year, double month, double date) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) return NAN;
    double y = year + std::floor(month / 12);
    double m = std::fmod(month, 12);
    if (m < 0) m += 12;
    return daysFromCivil(std::trunc(y), m + 1, 1) + std::trunc(date) - 1;
}

double makeTime(double h, double m, double s, double ms) {
    if (!std::isfinite(h) || !std::isfinite(m) || !std::isfinite(s) || !std::isfinite(ms)) return NAN;
    return std::trunc(h) * 3600000.0 + std::trunc(m) * 60000.0 + std::trunc(s) * 1000.0 + std::trunc(ms);
}

double timeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > kMaxTime) return NAN;
    return std::trunc(t) + 0.0;
}

// The broken-down parts of a time value.
struct Parts {
    double year, month, date, hours, minutes, seconds, ms, weekday;
};

Parts partsOf(double t) {
    double day = dayOf(t);
    const CivilDate c = civilFromDays(day);
    double within = timeWithinDay(t);
    double weekday = std::fmod(day + 4, 7);
    if (weekday < 0) weekday += 7;
    return {c.year, c.month, c.day, std::floor(within / 3600000.0), std::fmod(std::floor(within / 60000.0), 60),
            std::fmod(std::floor(within / 1000.0), 60), std::fmod(within, 1000), weekday};
}

double fromParts(const Parts& p) { return makeDay(p.year, p.month, p.date) * kMsPerDay + makeTime(p.hours, p.minutes, p.seconds, p.ms); }

// Years 0 to 99 stand for 1900 to 1999.
double fullYear(double year) { return std::isfinite(year) && year >= 0 && year <= 99 ? year + 1900 : year; }

// The time of (year, month[, date, hours, minutes, seconds, ms]), as
// the Date constructor and Date.UTC take them; year and month are there.
double timeFromArgs(Vm& vm, Args args) {
    double year = fullYear(vm.toNumber(args[0]));
    Parts p{year, vm.toNumber(args[1]), argNumber(vm, args, 2, 1), argNumber(vm, args, 3, 0),
            argNumber(vm, args, 4, 0), argNumber(vm, args, 5, 0), argNumber(vm, args, 6, 0), 0};
    return fromParts(p);
}

double offsetMs(Vm& vm, double utc) { return vm.host().localTimeOffsetMinutes(utc) * 60000.0; }
double toLocal(Vm& vm, double utc) { return utc + offsetMs(vm, utc); }
double toUtc(Vm& vm, double local) { return local - offsetMs(vm, local - offsetMs(vm, local)); }

Object* thisDate(const Value& thisValue) {
    return thisOfKind(thisValue, ObjectKind::Date);
}

double timeOf(const Object& date) { return date.primitive().isNumber() ? date.primitive().number() : NAN; }

Value dateConstruct(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisObject(thisValue);
    if (!self) return thisValue;
    double t;
    if (args.empty()) {
        t = std::floor(vm.host().wallClockMilliseconds());
    } else if (args.size() == 1) {
        t = timeClip(vm.toNumber(args[0]));
    } else {
        t = timeClip(toUtc(vm, timeFromArgs(vm, args)));
    }
    self->setPrimitive(Value(t));
    return thisValue;
}

String formatDate(Vm& vm, double t) {
    if (std::isnan(t)) return String(u"Invalid Date");
    static const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    double offset = vm.host().localTimeOffsetMinutes(t);
    Parts p = partsOf(t + offset * 60000.0);
    int off = static_cast<int>(std::lround(offset));
    char buf[96];
    std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d GMT%c%02d%02d %d", kDays[static_cast<int>(p.weekday)],
                  kMonths[static_cast<int>(p.month)], static_cast<int>(p.date), static_cast<int>(p.hours),
                  static_cast<int>(p.minutes), static_cast<int>(p.seconds), off < 0 ? '-' : '+', std::abs(off) / 60,
                  std::abs(off) % 60, static_cast<int>(p.year));
    return String::fromAscii(buf);
}

Value dateCall(Vm& vm, const Value&, Args) { return Value(formatDate(vm, std::floor(vm.host().wallClockMilliseconds()))); }

Value dateToString(Vm& vm, const Value& thisValue, Args) {
    Object* self = thisDate(thisValue);
    return self ? Value(formatDate(vm, timeOf(*self))) : Value();
}

Value getTime(Vm&, const Value& thisValue, Args) {
    Object* self = thisDate(thisValue);
    return self ? Value(timeOf(*self)) : Value();
}

Value getTimezoneOffset(Vm& vm, const Value& thisValue, Args) {
    Object* self = thisDate(thisValue);
    if (!self) return Value();
    double t = timeOf(*self);
    return Value(std::isnan(t) ? NAN : -vm.host().localTimeOffsetMinutes(t));
}

// Getters: which part, local or UTC, through the callee's tag.
enum Field { Year, Month, DateField, Hours, Minutes, Seconds, Millis, Weekday, ShortYear };

double field(const Parts& p, int f) {
    switch (f) {
    case Year: return p.year;
    case Month: return p.month;
    case DateField: return p.date;
    case Hours: return p.hours;
    case Minutes: return p.minutes;
    case Seconds: return p.seconds;
    case Millis: return p.ms;
    case Weekday: return p.weekday;
    default: return p.year - 1900;
    }
}

constexpr int kUtc = 16;

Value getField(Vm& vm, const Value& thisValue, Args) {
    Object* self = thisDate(thisValue);
    if (!self) return Value();
    double t = timeOf(*self);
    if (std::isnan(t)) return Value(NAN);
    int tag = vm.nativeCallee()->tag();
    double local = tag & kUtc ? t : toLocal(vm, t);
    return Value(field(partsOf(local), tag & 15));
}

// Setters: the first field set, followed by the next ones in order
// (setHours(h, m, s, ms)).
Value setField(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisDate(thisValue);
    if (!self) return Value();
    int tag = vm.nativeCallee()->tag();
    bool utc = tag & kUtc;
    int first = tag & 15;
    double t = timeOf(*self);
    if (std::isnan(t)) t = first == Year || first == ShortYear ? 0 : NAN;
    if (std::isnan(t) || args.empty()) {
        self->setPrimitive(Value(NAN));
        return Value(NAN);
    }
    Parts p = partsOf(utc ? t : toLocal(vm, t));
    double* slots[] = {&p.year, &p.month, &p.date, &p.hours, &p.minutes, &p.seconds, &p.ms};
    int start = first == ShortYear ? Year : first;
    int limit = start <= DateField ? DateField : Millis;
    for (std::size_t i = 0; i < args.size() && start + static_cast<int>(i) <= limit; ++i) {
        double v = vm.toNumber(args[i]);
        if (first == ShortYear && i == 0) v = fullYear(v);
        *slots[start + i] = v;
    }
    double local = fromParts(p);
    double result = timeClip(utc ? local : toUtc(vm, local));
    self->setPrimitive(Value(result));
    return Value(result);
}

Value setTime(Vm& vm, const Value& thisValue, Args args) {
    Object* self = thisDate(thisValue);
    if (!self) return Value();
    double t = timeClip(vm.toNumber(arg(args, 0)));
    self->setPrimitive(Value(t));
    return Value(t);
}

Value dateUtc(Vm& vm, const Value&, Args args) {
    if (args.size() < 2) return Value(NAN);
    return Value(timeClip(timeFromArgs(vm, args)));
}

constexpr Member kDatePrototypeMembers[] = {
    method(u"toString", dateToString),
    method(u"valueOf", getTime),
    method(u"getTime", getTime),
    method(u"setTime", setTime),
    method(u"getTimezoneOffset", getTimezoneOffset),
};

// The fields with methods of their own: getX and getUTCX, and for most
// setX and setUTCX, all served by getField and setField told the field.
struct FieldMethods {
    std::u16string_view name;
    int field;
    bool set, utcSet;
};
constexpr FieldMethods kFieldMethods[] = {
    {u"FullYear", Year, true, true}, {u"Year", ShortYear, true, false}, {u"Month", Month, true, true},
    {u"Date", DateField, true, true}, {u"Day", Weekday, false, false},  {u"Hours", Hours, true, true},
    {u"Minutes", Minutes, true, true}, {u"Seconds", Seconds, true, true}, {u"Milliseconds", Millis, true, true},
};

// In the player's order: the getters, the UTC getters, the setters, the
// UTC setters.
void defineFieldMethods(Vm& vm, Object& proto) {
    for (bool setter : {false, true}) {
        for (bool utc : {false, true}) {
            for (const FieldMethods& f : kFieldMethods) {
                if (setter && !(utc ? f.utcSet : f.set)) continue;
                std::u16string name(setter ? u"set" : u"get");
                if (utc) name += u"UTC";
                name += f.name;
                defineMember(vm, proto, method(name, setter ? setField : getField, kHidden, f.field | (utc ? kUtc : 0)));
            }
        }
    }
}

constexpr Member kDateClassMembers[] = {
    method(u"UTC", dateUtc),
};

}  // namespace

void installDate(Vm& vm) {
    vm.protos().date = prototypeOfKind(vm, ObjectKind::Date);
    defineClass(vm, *vm.global(), {u"Date", dateCall, dateConstruct, kDatePrototypeMembers, kDateClassMembers},
                vm.protos().date);
    defineFieldMethods(vm, *vm.protos().date);
}

}  // namespace kinolux::avm1::builtins
