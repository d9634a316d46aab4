#include "platform/KLocale.h"

#include "platform/KLastError.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

namespace {

struct LocaleEntry {
  const char* name;  // language_TERRITORY as in POSIX locale names
  LCID lcid;
  char decimal;
};

// The first entry of each language is the one a bare language name picks.
const LocaleEntry kLocales[] = {
    {"en_US", LCID_ENGLISH_US, '.'},         {"en_GB", LCID_ENGLISH_UK, '.'},
    {"zh_CN", LCID_CHINESE_SIMPLIFIED, '.'}, {"zh_TW", LCID_CHINESE_TRADITIONAL, '.'},
    {"de_DE", LCID_GERMAN, ','},             {"fr_FR", LCID_FRENCH, ','},
    {"ja_JP", LCID_JAPANESE, '.'},           {"ko_KR", LCID_KOREAN, '.'},
    {"it_IT", LCID_ITALIAN, ','},            {"es_ES", LCID_SPANISH, ','},
    {"ru_RU", LCID_RUSSIAN, ','},            {"pt_BR", LCID_PORTUGUESE_BRAZIL, ','},
    {"pt_PT", LCID_PORTUGUESE, ','},         {"nl_NL", LCID_DUTCH, ','},
    {"sv_SE", LCID_SWEDISH, ','},            {"pl_PL", LCID_POLISH, ','},
    {"cs_CZ", LCID_CZECH, ','},
};

const char* firstSet(std::initializer_list<const char*> vars) {
  for (const char* v : vars) {
    const char* value = getenv(v);
    if (value && *value) return value;
  }
  return nullptr;
}

const char* userMessagesLocale() { return firstSet({"LC_ALL", "LC_MESSAGES", "LANG"}); }
const char* userNumericLocale() { return firstSet({"LC_ALL", "LC_NUMERIC", "LANG"}); }
const char* systemLocale() { return firstSet({"LANG"}); }

char tableDecimal(LCID lcid) {
  for (const LocaleEntry& e : kLocales)
    if (e.lcid == lcid) return e.decimal;
  return '.';
}

// The decimal point of a POSIX locale name: from the installed locale when
// there is one, else from the table by the name's language.
std::string decimalOfLocaleName(const char* name) {
  std::string radix;
  if (name && *name) {
    if (locale_t loc = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0))) {
      radix = nl_langinfo_l(RADIXCHAR, loc);
      freelocale(loc);
    }
  }
  if (radix.empty()) radix.assign(1, tableDecimal(KLocaleNameToLCID(name)));
  return radix;
}

std::string listSeparatorFor(const std::string& decimal) { return decimal == "," ? ";" : ","; }

thread_local LCID t_threadLocale = LOCALE_NEUTRAL;  // neutral: not chosen yet

int fold(unsigned char c, bool ignoreCase) {
  return ignoreCase && c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

}  // namespace

LCID KLocaleNameToLCID(const char* name) {
  if (!name || !*name) return LCID_ENGLISH_US;
  size_t len = strcspn(name, ".@");
  size_t lang = strcspn(name, "_.@");
  for (const LocaleEntry& e : kLocales)
    if (len == strlen(e.name) && strncasecmp(name, e.name, len) == 0) return e.lcid;
  for (const LocaleEntry& e : kLocales)
    if (lang == 2 && strncasecmp(name, e.name, 2) == 0) return e.lcid;
  return LCID_ENGLISH_US;
}

LCID GetSystemDefaultLCID() { return KLocaleNameToLCID(systemLocale()); }

LCID GetUserDefaultLCID() { return KLocaleNameToLCID(userMessagesLocale()); }

LCID GetThreadLocale() {
  if (t_threadLocale == LOCALE_NEUTRAL) t_threadLocale = GetUserDefaultLCID();
  return t_threadLocale;
}

BOOL SetThreadLocale(LCID locale) {
  if (locale == LOCALE_USER_DEFAULT) locale = GetUserDefaultLCID();
  else if (locale == LOCALE_SYSTEM_DEFAULT) locale = GetSystemDefaultLCID();
  if (locale == LOCALE_NEUTRAL || locale > 0xFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  t_threadLocale = locale;
  return TRUE;
}

int CompareStringA(LCID, DWORD flags, LPCSTR a, int lenA, LPCSTR b, int lenB) {
  if (!a || !b) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (flags & ~(NORM_IGNORECASE | SORT_STRINGSORT)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  bool ignoreCase = (flags & NORM_IGNORECASE) != 0;
  size_t na = lenA < 0 ? strlen(a) : static_cast<size_t>(lenA);
  size_t nb = lenB < 0 ? strlen(b) : static_cast<size_t>(lenB);
  size_t n = na < nb ? na : nb;
  for (size_t i = 0; i < n; ++i) {
    int x = fold(static_cast<unsigned char>(a[i]), ignoreCase);
    int y = fold(static_cast<unsigned char>(b[i]), ignoreCase);
    if (x != y) return x < y ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
  }
  if (na == nb) return CSTR_EQUAL;
  return na < nb ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}

int GetLocaleInfoA(LCID locale, DWORD type, LPSTR data, int size) {
  if (size < 0 || (size > 0 && !data)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (type != LOCALE_SDECIMAL && type != LOCALE_SLIST) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  std::string decimal;
  if (locale == LOCALE_USER_DEFAULT) decimal = decimalOfLocaleName(userNumericLocale());
  else if (locale == LOCALE_SYSTEM_DEFAULT) decimal = decimalOfLocaleName(systemLocale());
  else decimal.assign(1, tableDecimal(locale));
  std::string answer = type == LOCALE_SDECIMAL ? decimal : listSeparatorFor(decimal);
  int need = static_cast<int>(answer.size()) + 1;
  if (size == 0) return need;
  if (size < need) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  memcpy(data, answer.c_str(), static_cast<size_t>(need));
  return need;
}

namespace {
// Looking a locale up is costly (it loads the locale's data); the answer
// depends only on the name, which is cheap to fetch and compare.
const std::string& cachedUserDecimal() {
  static std::string cachedName, cachedPoint;
  static bool cached = false;
  const char* name = userNumericLocale();
  if (!cached || cachedName != (name ? name : "")) {
    cachedPoint = decimalOfLocaleName(name);
    cachedName = name ? name : "";
    cached = true;
  }
  return cachedPoint;
}
}  // namespace

KString KUserDecimalPoint() { return KString(cachedUserDecimal()); }

KString KUserListSeparator() { return KString(listSeparatorFor(cachedUserDecimal())); }

char KUserDecimalChar() {
  const std::string& point = cachedUserDecimal();
  return point.empty() ? '.' : point[0];
}
