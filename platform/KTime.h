// Time sources: calendar time as a 64-bit count of seconds, and the clock
// ticks that the cached options compare.
#pragma once
#include "platform/KWinTypes.h"

extern "C++" __time64_t _time64(__time64_t* out);

// Monotonic clock ticks (milliseconds of a steady clock since the first call,
// starting at 2 so that a fresh stamp is always above the initial stale time).
// Never goes backwards; advances by at least one at least every millisecond.
long KClockTicks();

// The local time `t` written with a strftime format (CTime::Format); empty
// when the time cannot be represented.
class KString;
KString KFormatTime(__time64_t t, const char* format);
