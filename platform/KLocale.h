// Windows locale identifiers over the POSIX locale environment, and the one
// string comparison the library sorts names with.
//
// The user's locale is the first non-empty of LC_ALL, LC_MESSAGES and LANG;
// the system's is LANG alone (the session-wide setting). A locale name such as
// "zh_CN.UTF-8@x" maps to an identifier through a small table of language and
// territory pairs, then of languages alone; "C", "POSIX", unset and unknown
// names give 1033 (English, United States).
//
// CompareStringA orders bytes as unsigned values in every locale, with ASCII
// letters folded under NORM_IGNORECASE: a stable, locale-free order, so sorted
// containers and files come out the same on every machine.
#pragma once
#include "platform/KString.h"
#include "platform/KWinTypes.h"

enum : LCID {
  LOCALE_NEUTRAL = 0,
  LOCALE_INVARIANT = 0x007F,
  LOCALE_USER_DEFAULT = 0x0400,
  LOCALE_SYSTEM_DEFAULT = 0x0800,

  LCID_CHINESE_TRADITIONAL = 1028,
  LCID_CZECH = 1029,
  LCID_GERMAN = 1031,
  LCID_ENGLISH_US = 1033,
  LCID_SPANISH = 3082,
  LCID_FRENCH = 1036,
  LCID_ITALIAN = 1040,
  LCID_JAPANESE = 1041,
  LCID_KOREAN = 1042,
  LCID_DUTCH = 1043,
  LCID_POLISH = 1045,
  LCID_PORTUGUESE_BRAZIL = 1046,
  LCID_RUSSIAN = 1049,
  LCID_SWEDISH = 1053,
  LCID_CHINESE_SIMPLIFIED = 2052,
  LCID_ENGLISH_UK = 2057,
  LCID_PORTUGUESE = 2070,

  LANG_ENGLISH_US = LCID_ENGLISH_US
};

enum : DWORD {
  NORM_IGNORECASE = 0x00000001,
  SORT_STRINGSORT = 0x00001000,

  CSTR_LESS_THAN = 1,
  CSTR_EQUAL = 2,
  CSTR_GREATER_THAN = 3,

  LOCALE_SLIST = 0x0000000C,
  LOCALE_SDECIMAL = 0x0000000E
};

// The identifier of a POSIX locale name ("de_DE.UTF-8" -> 1031); 1033 for
// null, empty, "C", "POSIX" and names the table does not know.
LCID KLocaleNameToLCID(const char* name);

LCID GetSystemDefaultLCID();
LCID GetUserDefaultLCID();

// The calling thread's locale; until SetThreadLocale it is the user default.
LCID GetThreadLocale();
// LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT are resolved to the identifier
// they stand for. LOCALE_NEUTRAL and identifiers above 0xFFFF are refused
// (FALSE, last error ERROR_INVALID_PARAMETER).
BOOL SetThreadLocale(LCID locale);

// Compares a (lenA bytes, or up to its zero byte when lenA is negative) with b.
// Answers CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN; a prefix sorts
// first. Answers 0 and sets the last error to ERROR_INVALID_PARAMETER for a
// null text, or to ERROR_INVALID_FLAGS for flags other than NORM_IGNORECASE
// and SORT_STRINGSORT (which changes nothing in this order). The locale does
// not change the order.
int CompareStringA(LCID locale, DWORD flags, LPCSTR a, int lenA, LPCSTR b, int lenB);

// LOCALE_SDECIMAL or LOCALE_SLIST for the locale into data (size bytes).
// Answers the bytes written with the zero byte; with size 0, the bytes needed.
// Answers 0 with last error ERROR_INSUFFICIENT_BUFFER when data is too short,
// ERROR_INVALID_FLAGS for other kinds of information. The user and system
// defaults answer from the POSIX numeric locale (LC_ALL, LC_NUMERIC, LANG);
// other identifiers from the table of languages.
int GetLocaleInfoA(LCID locale, DWORD type, LPSTR data, int size);

// The user's decimal point and list separator (";" when the decimal point is
// ",", else ",").
KString KUserDecimalPoint();
KString KUserListSeparator();
// The first character of the user's decimal point. The three answer from a
// cache that is refreshed whenever the locale name it came from changes, so
// number readers may ask per number.
char KUserDecimalChar();
