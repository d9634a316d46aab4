#include "platform/KString.h"

#include "platform/KResources.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <strings.h>

std::string KTranslateFormat(const char* format) {
  std::string out;
  if (!format) return out;
  out.reserve(strlen(format) + 8);
  for (const char* p = format; *p;) {
    if (*p != '%') { out += *p++; continue; }
    out += *p++;
    if (*p == '%') { out += *p++; continue; }
    // flags, width, precision pass through unchanged
    while (*p && strchr("-+ #0", *p)) out += *p++;
    while (*p && (isdigit(static_cast<unsigned char>(*p)) || *p == '*' || *p == '.')) out += *p++;
    if (p[0] == 'I' && p[1] == '6' && p[2] == '4') { out += "ll"; p += 3; }
    else if (p[0] == 'I' && p[1] == '3' && p[2] == '2') { p += 3; }
    else if (p[0] == 'I' && p[1] && strchr("diouxX", p[1])) { out += 'z'; p += 1; }
  }
  return out;
}

char* KString::GetBuffer(int minLength) {
  if (minLength > GetLength()) m_s.resize(static_cast<size_t>(minLength));
  m_s.reserve(m_s.size() + 1);
  return m_s.data();
}

void KString::ReleaseBuffer(int newLength) {
  if (newLength < 0) newLength = static_cast<int>(strnlen(m_s.data(), m_s.size()));
  m_s.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

void KString::AppendFormatV(const char* format, va_list args) {
  std::string fmt = KTranslateFormat(format);
  char small[256];
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(small, sizeof small, fmt.c_str(), copy);
  va_end(copy);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) { m_s.append(small, static_cast<size_t>(n)); return; }
  size_t old = m_s.size();
  m_s.resize(old + static_cast<size_t>(n) + 1);
  vsnprintf(m_s.data() + old, static_cast<size_t>(n) + 1, fmt.c_str(), args);
  m_s.resize(old + static_cast<size_t>(n));
}

void KString::FormatV(const char* format, va_list args) {
  m_s.clear();
  AppendFormatV(format, args);
}

void KString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(format, args);
  va_end(args);
}

void KString::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatV(format, args);
  va_end(args);
}

void KString::Format(UINT formatId, ...) {
  KString fmt;
  fmt.LoadString(formatId);
  va_list args;
  va_start(args, formatId);
  FormatV(fmt, args);
  va_end(args);
}

BOOL KString::LoadString(UINT id) {
  const char* text = AfxFindStringResource(id);
  m_s = text ? text : "";
  return text != nullptr;
}

KString& KString::MakeLower() {
  for (char& c : m_s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return *this;
}

KString& KString::MakeUpper() {
  for (char& c : m_s) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return *this;
}

KString& KString::MakeReverse() {
  std::reverse(m_s.begin(), m_s.end());
  return *this;
}

// Printable ASCII other than the space is blank in no locale; only the rest
// needs the locale's table.
static bool isBlank(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  if (u > ' ' && u < 0x7f) return false;
  return isspace(u) != 0;
}

KString& KString::TrimLeft() {
  size_t i = 0;
  while (i < m_s.size() && isBlank(m_s[i])) ++i;
  m_s.erase(0, i);
  return *this;
}
KString& KString::TrimRight() {
  size_t n = m_s.size();
  while (n > 0 && isBlank(m_s[n - 1])) --n;
  m_s.resize(n);
  return *this;
}
KString& KString::TrimLeft(const char* chars) {
  size_t i = m_s.find_first_not_of(chars ? chars : "");
  m_s.erase(0, i == std::string::npos ? m_s.size() : i);
  return *this;
}
KString& KString::TrimRight(const char* chars) {
  size_t i = m_s.find_last_not_of(chars ? chars : "");
  m_s.resize(i == std::string::npos ? 0 : i + 1);
  return *this;
}
KString& KString::TrimLeft(char c) { char s[2] = {c, 0}; return TrimLeft(s); }
KString& KString::TrimRight(char c) { char s[2] = {c, 0}; return TrimRight(s); }
KString& KString::Trim() {
  // Most texts have nothing to trim; they are left without being rewritten.
  if (m_s.empty() || (!isBlank(m_s.front()) && !isBlank(m_s.back()))) return *this;
  return TrimRight().TrimLeft();
}
KString& KString::Trim(char c) { return TrimRight(c).TrimLeft(c); }
KString& KString::Trim(const char* chars) { return TrimRight(chars).TrimLeft(chars); }

KString KString::Mid(int first) const { return Mid(first, GetLength()); }
KString KString::Mid(int first, int count) const {
  if (first < 0) first = 0;
  if (count < 0) count = 0;
  if (first >= GetLength()) return KString();
  return KString(m_s.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}
KString KString::Left(int count) const { return Mid(0, count); }
KString KString::Right(int count) const {
  if (count < 0) count = 0;
  if (count >= GetLength()) return *this;
  return KString(m_s.substr(m_s.size() - static_cast<size_t>(count)));
}
KString KString::SpanIncluding(const char* chars) const {
  size_t i = m_s.find_first_not_of(chars ? chars : "");
  return KString(m_s.substr(0, i));
}
KString KString::SpanExcluding(const char* chars) const {
  size_t i = m_s.find_first_of(chars ? chars : "");
  return KString(m_s.substr(0, i));
}
KString KString::Tokenize(const char* delims, int& start) const {
  if (start < 0 || start >= GetLength()) { start = -1; return KString(); }
  size_t b = m_s.find_first_not_of(delims, static_cast<size_t>(start));
  if (b == std::string::npos) { start = -1; return KString(); }
  size_t e = m_s.find_first_of(delims, b);
  if (e == std::string::npos) e = m_s.size();
  start = static_cast<int>(e < m_s.size() ? e + 1 : e);
  return KString(m_s.substr(b, e - b));
}

int KString::Find(char c, int start) const {
  if (start < 0 || start >= GetLength()) return -1;
  size_t i = m_s.find(c, static_cast<size_t>(start));
  return i == std::string::npos ? -1 : static_cast<int>(i);
}
int KString::Find(const char* sub, int start) const {
  if (!sub || start < 0 || start > GetLength()) return -1;
  size_t i = m_s.find(sub, static_cast<size_t>(start));
  return i == std::string::npos ? -1 : static_cast<int>(i);
}
int KString::ReverseFind(char c) const {
  size_t i = m_s.rfind(c);
  return i == std::string::npos ? -1 : static_cast<int>(i);
}
int KString::FindOneOf(const char* chars) const {
  size_t i = m_s.find_first_of(chars ? chars : "");
  return i == std::string::npos ? -1 : static_cast<int>(i);
}

int KString::Replace(char oldChar, char newChar) {
  int n = 0;
  for (char& c : m_s)
    if (c == oldChar) { c = newChar; ++n; }
  return n;
}
int KString::Replace(const char* oldText, const char* newText) {
  if (!oldText || !*oldText) return 0;
  std::string_view from(oldText), to(newText ? newText : "");
  std::string out;
  int n = 0;
  size_t pos = 0;
  for (;;) {
    size_t i = m_s.find(from, pos);
    if (i == std::string::npos) break;
    out.append(m_s, pos, i - pos);
    out.append(to);
    pos = i + from.size();
    ++n;
  }
  if (n) { out.append(m_s, pos); m_s.swap(out); }
  return n;
}
int KString::Remove(char c) {
  size_t before = m_s.size();
  m_s.erase(std::remove(m_s.begin(), m_s.end(), c), m_s.end());
  return static_cast<int>(before - m_s.size());
}
int KString::Insert(int index, char c) {
  index = std::clamp(index, 0, GetLength());
  m_s.insert(static_cast<size_t>(index), 1, c);
  return GetLength();
}
int KString::Insert(int index, const char* text) {
  index = std::clamp(index, 0, GetLength());
  if (text) m_s.insert(static_cast<size_t>(index), text);
  return GetLength();
}
int KString::Delete(int index, int count) {
  if (index < 0) index = 0;
  if (count > 0 && index < GetLength()) m_s.erase(static_cast<size_t>(index), static_cast<size_t>(count));
  return GetLength();
}

int KString::Compare(const char* other) const { return strcmp(m_s.c_str(), other ? other : ""); }
int KString::CompareNoCase(const char* other) const { return strcasecmp(m_s.c_str(), other ? other : ""); }
