// Small text and number helpers used by reports and listings.
#pragma once
#include "platform/KString.h"
#include "platform/KWinTypes.h"

// Index of a spreadsheet column name: letters all capitals or all small (as
// the first one), read as a bijective base-26 number (A = 1, Z = 26, AA = 27)
// less one. -1 for an empty text, any other character, mixed case, or a
// column beyond the range of int.
int KColumnLettersToIndex(const char* letters);

// Mean of n + 1 values from the mean of the first n and the new value x.
double KRunningMean(long n, double mean, double x);

// Progress step for a byte count: 1 below 50 KiB, 10 below 500 KiB, 50 below
// 2 MiB, 100 below 5 MiB, 1000 below 20 MiB, else 5000.
long KStepForByteCount(ULONGLONG bytes);

// "Weekday, Month dd, yyyy, hh:mm:ss" of `time` in local time, in the
// program's current locale. Empty when the time cannot be converted.
KString KDateTimeText(__time64_t time);
