// Date: a time in milliseconds since 1970 UTC, read and written in local
// time (the host's time zone) or UTC, with the player's text forms.
#include <cstdio>

#include "flash/avm1/calendar.h"
#include "flash/avm2/builtins/native.h"

namespace kinolux::avm2 {
namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

enum Field { FullYear, Month, Date, Hours, Minutes, Seconds, Milliseconds, Day };

struct Parts {
    double field[8] = {};
};

double makeDay(double year, double month, double date) {
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date)) return NAN;
    double y = integerOf(year) + std::floor(integerOf(month) / 12);
    double m = std::fmod(integerOf(month), 12);
    if (m < 0) m += 12;
    return avm1::daysFromCivil(y, m + 1, 1) + integerOf(date) - 1;
}

double makeTime(double h, double m, double s, double ms) {
    if (!std::isfinite(h) || !std::isfinite(m) || !std::isfinite(s) || !std::isfinite(ms)) return NAN;
    return integerOf(h) * 3600000.0 + integerOf(m) * 60000.0 + integerOf(s) * 1000.0 + integerOf(ms);
}

double timeClip(double t) {
    if (!std::isfinite(t) || std::fabs(t) > 8.64e15) return NAN;
    return integerOf(t) + 0.0;
}

Parts partsOf(double t) {
    Parts p;
    const double days = std::floor(t / kMsPerDay);
    const double within = t - days * kMsPerDay;
    const avm1::CivilDate c = avm1::civilFromDays(days);
    p.field[FullYear] = c.year;
    p.field[Month] = c.month;
    p.field[Date] = c.day;
    p.field[Hours] = std::floor(within / 3600000.0);
    p.field[Minutes] = std::fmod(std::floor(within / 60000.0), 60);
    p.field[Seconds] = std::fmod(std::floor(within / 1000.0), 60);
    p.field[Milliseconds] = std::fmod(within, 1000);
    const double wd = std::fmod(days + 4, 7);
    p.field[Day] = wd < 0 ? wd + 7 : wd;
    return p;
}

double fromParts(const Parts& p) {
    return makeDay(p.field[FullYear], p.field[Month], p.field[Date]) * kMsPerDay +
           makeTime(p.field[Hours], p.field[Minutes], p.field[Seconds], p.field[Milliseconds]);
}

double offsetMs(Vm& vm, double utc) { return vm.host().localTimeOffsetMinutes(utc) * 60000.0; }
double toLocal(Vm& vm, double utc) { return utc + offsetMs(vm, utc); }
double toUtc(Vm& vm, double local) { return local - offsetMs(vm, local - offsetMs(vm, local)); }

BoxObject& thisDate(Vm& vm, const Value& self) {
    Object* o = self.object();
    if (!o || o->kind != ObjectKind::Date)
        throwNotA(vm, self, "Date");
    return *static_cast<BoxObject*>(o);
}

std::string zoneText(Vm& vm, double utc) {
    int minutes = int(std::lround(offsetMs(vm, utc) / 60000.0));
    char buf[16];
    std::snprintf(buf, sizeof buf, "GMT%c%02d%02d", minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
                  std::abs(minutes) % 60);
    return buf;
}

enum class Form { Full, DateOnly, TimeOnly, Utc, Locale, LocaleDate, LocaleTime };

String format(Vm& vm, double t, Form form) {
    if (std::isnan(t)) return String(u"Invalid Date");
    Parts p = partsOf(form == Form::Utc ? t : toLocal(vm, t));
    auto f = [&](Field x) { return int(p.field[x]); };
    char buf[128];
    std::string year = std::to_string(f(FullYear));
    int h12 = f(Hours) % 12 == 0 ? 12 : f(Hours) % 12;
    const char* ampm = f(Hours) < 12 ? "AM" : "PM";
    switch (form) {
    case Form::Full:
        std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d %s %s", kDays[f(Day)], kMonths[f(Month)], f(Date),
                      f(Hours), f(Minutes), f(Seconds), zoneText(vm, t).c_str(), year.c_str());
        break;
    case Form::DateOnly:
    case Form::LocaleDate:
        std::snprintf(buf, sizeof buf, "%s %s %d %s", kDays[f(Day)], kMonths[f(Month)], f(Date), year.c_str());
        break;
    case Form::TimeOnly:
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", f(Hours), f(Minutes), f(Seconds), zoneText(vm, t).c_str());
        break;
    case Form::Utc:
        std::snprintf(buf, sizeof buf, "%s %s %d %02d:%02d:%02d %s UTC", kDays[f(Day)], kMonths[f(Month)], f(Date),
                      f(Hours), f(Minutes), f(Seconds), year.c_str());
        break;
    case Form::Locale:
        std::snprintf(buf, sizeof buf, "%s %s %d %s %02d:%02d:%02d %s", kDays[f(Day)], kMonths[f(Month)], f(Date),
                      year.c_str(), h12, f(Minutes), f(Seconds), ampm);
        break;
    case Form::LocaleTime:
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", h12, f(Minutes), f(Seconds), ampm);
        break;
    }
    return String::fromAscii(buf);
}

// The date forms the player reads: names of months and days, numbers,
// h:m:s times, "m/d/y", AM/PM and a GMT or UTC offset.
double parseDate(Vm& vm, std::u16string_view text) {
    std::string s;
    for (char16_t c : text) s.push_back(c < 128 ? char(c) : ' ');
    double year = NAN, month = NAN, day = NAN, h = 0, mi = 0, sec = 0;
    bool pm = false, am = false, haveZone = false;
    double zone = 0;
    std::size_t i = 0;
    auto number = [&](std::size_t& at) {
        double n = 0;
        while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at]))) n = n * 10 + (s[at++] - '0');
        return n;
    };
    while (i < s.size()) {
        char c = s[i];
        if (std::isalpha(static_cast<unsigned char>(c))) {
            std::size_t start = i;
            while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) ++i;
            std::string word = s.substr(start, i - start);
            for (auto& ch : word) ch = char(std::tolower(static_cast<unsigned char>(ch)));
            if (word == "am") am = true;
            else if (word == "pm") pm = true;
            else if (word == "gmt" || word == "utc" || word == "z") {
                haveZone = true;
                if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
                    bool neg = s[i++] == '-';
                    std::size_t at = i;
                    double v = number(i);
                    double minutes = i - at <= 2 ? v * 60 : std::floor(v / 100) * 60 + std::fmod(v, 100);
                    zone = neg ? -minutes : minutes;
                }
            } else {
                bool found = false;
                for (int m = 0; m < 12 && !found; ++m) {
                    std::string name = kMonths[m];
                    for (auto& ch : name) ch = char(std::tolower(static_cast<unsigned char>(ch)));
                    if (word.size() >= 3 && word.compare(0, 3, name) == 0) {
                        month = m;
                        found = true;
                    }
                }
                if (!found) {
                    bool isDay = false;
                    for (const char* d : kDays) {
                        std::string name = d;
                        for (auto& ch : name) ch = char(std::tolower(static_cast<unsigned char>(ch)));
                        if (word.size() >= 3 && word.compare(0, 3, name) == 0) isDay = true;
                    }
                    if (!isDay) return NAN;
                }
            }
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            double n = number(i);
            if (i < s.size() && s[i] == ':') {
                h = n;
                ++i;
                mi = number(i);
                if (i < s.size() && s[i] == ':') {
                    ++i;
                    sec = number(i);
                }
            } else if (i < s.size() && s[i] == '/') {
                month = n - 1;
                ++i;
                day = number(i);
                if (i < s.size() && s[i] == '/') {
                    ++i;
                    year = number(i);
                }
            } else if (std::isnan(day) && n <= 31 && !std::isnan(month)) {
                day = n;
            } else if (std::isnan(day) && n <= 31 && std::isnan(year)) {
                day = n;
            } else {
                year = n;
            }
        } else if ((c == '+' || c == '-') && haveZone) {
            ++i;
        } else {
            ++i;
        }
    }
    if (std::isnan(year) || std::isnan(month) || std::isnan(day)) return NAN;
    if (year < 100) year += 1900;
    if (pm && h < 12) h += 12;
    if (am && h == 12) h = 0;
    double local = makeDay(year, month, day) * kMsPerDay + makeTime(h, mi, sec, 0);
    return timeClip(haveZone ? local - zone * 60000.0 : toUtc(vm, local));
}

Object* makeDate(Vm& vm, Class* cls) {
    return vm.make<BoxObject>(ObjectKind::Date, &cls->instanceTraits, cls, cls->prototype);
}

double timeFromFields(Vm& vm, std::span<const Value> args) {
    Parts p;
    p.field[Date] = 1;
    for (std::size_t i = 0; i < args.size() && i < 7; ++i) p.field[i] = vm.toNumber(args[i]);
    double y = p.field[FullYear];
    if (!std::isnan(y) && integerOf(y) >= 0 && integerOf(y) <= 99) p.field[FullYear] = 1900 + integerOf(y);
    return fromParts(p);
}

Value dateInit(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& d = thisDate(vm, self);
    if (args.empty()) {
        d.number = std::floor(vm.host().wallClockMilliseconds());
    } else if (args.size() == 1) {
        Value v = args[0];
        if (Object* o = v.object(); o && o->kind == ObjectKind::Date) d.number = static_cast<BoxObject*>(o)->number;
        else {
            Value prim = vm.toPrimitive(v, false);
            d.number = prim.isString() ? parseDate(vm, prim.string().view()) : timeClip(vm.toNumber(prim));
        }
    } else {
        d.number = timeClip(toUtc(vm, timeFromFields(vm, args)));
    }
    return Value();
}

template <Form F>
Value toText(Vm& vm, const Value& self, std::span<const Value>) {
    return Value(format(vm, thisDate(vm, self).number, F));
}

Value getTime(Vm& vm, const Value& self, std::span<const Value>) { return Value(thisDate(vm, self).number); }

Value setTime(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& d = thisDate(vm, self);
    d.number = timeClip(vm.toNumber(arg(args, 0)));
    return Value(d.number);
}

Value timezoneOffset(Vm& vm, const Value& self, std::span<const Value>) {
    double t = thisDate(vm, self).number;
    if (std::isnan(t)) return Value(NAN);
    return Value(-offsetMs(vm, t) / 60000.0);
}

template <Field F, bool Utc>
Value getField(Vm& vm, const Value& self, std::span<const Value>) {
    double t = thisDate(vm, self).number;
    if (std::isnan(t)) return Value(NAN);
    return Value(partsOf(Utc ? t : toLocal(vm, t)).field[F]);
}

// setHours(h, m, s, ms) and the rest: the fields from F on, as many as given.
template <Field F, bool Utc>
Value setField(Vm& vm, const Value& self, std::span<const Value> args) {
    BoxObject& d = thisDate(vm, self);
    double t = d.number;
    if (std::isnan(t)) {
        if (F != FullYear) return Value(NAN);
        t = 0;
    }
    Parts p = partsOf(Utc ? t : toLocal(vm, t));
    constexpr int kLast = F <= Date ? Date : Milliseconds;
    for (int i = F; i <= kLast && std::size_t(i - F) < std::max<std::size_t>(args.size(), 1); ++i)
        p.field[i] = vm.toNumber(arg(args, std::size_t(i - F)));
    double local = fromParts(p);
    d.number = timeClip(Utc ? local : toUtc(vm, local));
    return Value(d.number);
}

Value dateUtc(Vm& vm, const Value&, std::span<const Value> args) { return Value(timeClip(timeFromFields(vm, args))); }

Value dateParse(Vm& vm, const Value&, std::span<const Value> args) {
    return Value(parseDate(vm, vm.toString(arg(args, 0)).view()));
}

template <Field F>
void fieldMembers(Vm& vm, Class* date, std::u16string_view name) {
    std::u16string base(name);
    vm.defineMethod(date, u"get" + base, getField<F, false>);
    vm.defineMethod(date, u"getUTC" + base, getField<F, true>);
    std::u16string property(base);
    property[0] = char16_t(std::tolower(property[0]));
    if constexpr (F == Day) {
        vm.defineGetter(date, property, getField<F, false>);
        vm.defineGetter(date, property + u"UTC", getField<F, true>);
    } else {
        constexpr int kLength = (F <= Date ? Date : Milliseconds) - F + 1;
        vm.defineMethod(date, u"set" + base, setField<F, false>, false, kLength);
        vm.defineMethod(date, u"setUTC" + base, setField<F, true>, false, kLength);
        vm.defineGetter(date, property, getField<F, false>, setField<F, false>);
        vm.defineGetter(date, property + u"UTC", getField<F, true>, setField<F, true>);
    }
}

}  // namespace

void installDateClass(Vm& vm) {
    Class* date = vm.defineClass(u"", u"Date", vm.findClass(u"Object"), makeDate);
    vm.defineConstructor(date, dateInit);
    date->callAsFunction = [](Vm& vm, const Value&, std::span<const Value>) {
        return Value(format(vm, std::floor(vm.host().wallClockMilliseconds()), Form::Full));
    };
    vm.defineConstant(date, u"length", Value(7));
    vm.defineMethod(date, u"UTC", dateUtc, true, 7);
    vm.defineMethod(date, u"parse", dateParse, true, 1);
    vm.defineMethod(date, u"getTime", getTime);
    vm.defineMethod(date, u"valueOf", getTime);
    vm.defineMethod(date, u"setTime", setTime, false, 1);
    vm.defineGetter(date, u"time", getTime, setTime);
    vm.defineMethod(date, u"getTimezoneOffset", timezoneOffset);
    vm.defineGetter(date, u"timezoneOffset", timezoneOffset);
    vm.defineMethod(date, u"toString", toText<Form::Full>);
    vm.defineMethod(date, u"toDateString", toText<Form::DateOnly>);
    vm.defineMethod(date, u"toTimeString", toText<Form::TimeOnly>);
    vm.defineMethod(date, u"toUTCString", toText<Form::Utc>);
    vm.defineMethod(date, u"toLocaleString", toText<Form::Locale>);
    vm.defineMethod(date, u"toLocaleDateString", toText<Form::LocaleDate>);
    vm.defineMethod(date, u"toLocaleTimeString", toText<Form::LocaleTime>);
    fieldMembers<FullYear>(vm, date, u"FullYear");
    fieldMembers<Month>(vm, date, u"Month");
    fieldMembers<Date>(vm, date, u"Date");
    fieldMembers<Hours>(vm, date, u"Hours");
    fieldMembers<Minutes>(vm, date, u"Minutes");
    fieldMembers<Seconds>(vm, date, u"Seconds");
    fieldMembers<Milliseconds>(vm, date, u"Milliseconds");
    fieldMembers<Day>(vm, date, u"Day");
}

}  // namespace kinolux::avm2
