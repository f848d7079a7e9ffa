#pragma once
// Day numbers of the proleptic Gregorian calendar counted from 30/12/1899 (day 0), the platform's zero date, and
// moments as milliseconds from it on a straight line (a negative serial keeps its time as a positive fraction:
// -1.25 is -18 hours), where adding and subtracting is plain arithmetic.

#include "runtime/Date.h"

namespace vb {

struct Civil {
    int year;
    int month;
    int day;
};

Civil civilFromDay(long long dayIndex);
// Months 1..12; a day outside the month counts on from its first (day 0 is the last of the month before).
long long dayFromCivil(long long year, int month, int day);
int daysInMonth(long long year, int month);  // months 1..12

long long toLinearMs(Date d);  // rounded to the nearest millisecond
Date fromLinearMs(long long ms);

}  // namespace vb
