// The day arithmetic of ECMA-262's Date, shared by both script machines:
// whole days since 1970-01-01 to and from a proleptic Gregorian date.
#pragma once

namespace kinolux::avm1 {

// Days from 1970-01-01 to y-m-d (m 1..12).
double daysFromCivil(double y, double m, double d);

struct CivilDate {
    double year, month, day;  // month 0..11
};

CivilDate civilFromDays(double days);

}  // namespace kinolux::avm1
