// KString: the library's narrow string, with the operations of the MFC string
// class that library code uses. Indexes and lengths are int, as in the model
// class; texts are bytes in the process's narrow code page.
//
// Format and AppendFormat take printf-style formats and also accept the
// Microsoft size prefixes: %I64d/%I64u/%I64x (64-bit), %I32d (32-bit) and
// %Id/%Iu (pointer-sized: pass intptr_t/long or size_t).
#pragma once
#include "platform/KWinTypes.h"
#include <cstdarg>
#include <string>
#include <string_view>

class KString {
 public:
  KString() = default;
  KString(const char* text) : m_s(text ? text : "") {}
  KString(const char* text, int length) : m_s(text ? std::string(text, length > 0 ? length : 0) : std::string()) {}
  KString(char c, int repeat = 1) : m_s(repeat > 0 ? repeat : 0, c) {}
  KString(const std::string& text) : m_s(text) {}
  KString(std::string&& text) : m_s(std::move(text)) {}
  KString(std::string_view text) : m_s(text) {}

  int GetLength() const { return static_cast<int>(m_s.size()); }
  bool IsEmpty() const { return m_s.empty(); }
  void Empty() { m_s.clear(); }
  operator const char*() const { return m_s.c_str(); }
  const char* GetString() const { return m_s.c_str(); }
  char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }
  void SetAt(int i, char c) { m_s[static_cast<size_t>(i)] = c; }
  char operator[](int i) const { return m_s[static_cast<size_t>(i)]; }
  const std::string& str() const { return m_s; }
  std::string& str() { return m_s; }

  // Raw buffer access as in the model class: GetBuffer(n) gives room for n
  // characters plus a terminator; ReleaseBuffer(-1) takes the length up to the
  // first zero byte.
  char* GetBuffer(int minLength = 0);
  void ReleaseBuffer(int newLength = -1);

  KString& operator=(const char* text) { m_s = text ? text : ""; return *this; }
  KString& operator=(char c) { m_s.assign(1, c); return *this; }
  KString& operator+=(const KString& s) { m_s += s.m_s; return *this; }
  KString& operator+=(const char* s) { if (s) m_s += s; return *this; }
  KString& operator+=(char c) { m_s += c; return *this; }

  void Format(const char* format, ...);
  void AppendFormat(const char* format, ...);
  void FormatV(const char* format, va_list args);
  void AppendFormatV(const char* format, va_list args);
  // Format with a format text taken from the string table by identifier.
  void Format(UINT formatId, ...);

  // Loads string resource `id` from the resource chain; false when absent (the
  // string is then left empty).
  BOOL LoadString(UINT id);

  KString& MakeLower();
  KString& MakeUpper();
  KString& MakeReverse();
  KString& Trim();
  KString& Trim(char c);
  KString& Trim(const char* chars);
  KString& TrimLeft();
  KString& TrimLeft(char c);
  KString& TrimLeft(const char* chars);
  KString& TrimRight();
  KString& TrimRight(char c);
  KString& TrimRight(const char* chars);

  KString Mid(int first) const;
  KString Mid(int first, int count) const;
  KString Left(int count) const;
  KString Right(int count) const;
  KString SpanIncluding(const char* chars) const;
  KString SpanExcluding(const char* chars) const;
  // Next token after `start` delimited by any of `delims`; start becomes -1 at the end.
  KString Tokenize(const char* delims, int& start) const;

  // Zero-based index of the first match at or after `start`, or -1.
  int Find(char c, int start = 0) const;
  int Find(const char* sub, int start = 0) const;
  int ReverseFind(char c) const;
  int FindOneOf(const char* chars) const;

  // Number of replacements made.
  int Replace(char oldChar, char newChar);
  int Replace(const char* oldText, const char* newText);
  int Remove(char c);
  int Insert(int index, char c);
  int Insert(int index, const char* text);
  int Delete(int index, int count = 1);

  // Byte-wise comparison: <0, 0, >0 as strcmp.
  int Compare(const char* other) const;
  // Case-insensitive comparison of ASCII letters: <0, 0, >0 as _stricmp.
  int CompareNoCase(const char* other) const;

  friend KString operator+(const KString& a, const KString& b) { return KString(a.m_s + b.m_s); }
  friend KString operator+(const KString& a, const char* b) { KString r(a); r += b; return r; }
  friend KString operator+(const char* a, const KString& b) { KString r(a); r += b; return r; }
  friend KString operator+(const KString& a, char b) { KString r(a); r += b; return r; }
  friend KString operator+(char a, const KString& b) { KString r(a); r += b; return r; }
  friend bool operator==(const KString& a, const KString& b) { return a.m_s == b.m_s; }
  friend bool operator==(const KString& a, const char* b) { return a.m_s == (b ? b : ""); }
  friend bool operator==(const char* a, const KString& b) { return b == a; }
  friend bool operator!=(const KString& a, const KString& b) { return !(a == b); }
  friend bool operator!=(const KString& a, const char* b) { return !(a == b); }
  friend bool operator!=(const char* a, const KString& b) { return !(b == a); }
  friend bool operator<(const KString& a, const KString& b) { return a.m_s < b.m_s; }

 private:
  std::string m_s;
};

// Rewrites the Microsoft size prefixes of a printf format into the C library's
// own (%I64d -> %lld, %Id -> %zd, ...). Exposed for the few callers that hand
// formats to the C library themselves.
std::string KTranslateFormat(const char* format);
