#include "storage/paged/KTextCompressedFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

// blanks := { SP | TAB }
const char* skipBlanks(const char* p) {
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// number := [ "+" | "-" ] digit { digit }     (must fit 32 bits)
bool parseInt(const char*& p, int& value) {
  const char* q = p;
  if (*q == '+' || *q == '-') ++q;
  if (*q < '0' || *q > '9') return false;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(p, &end, 10);
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  value = static_cast<int>(v);
  p = end;
  return true;
}

}  // namespace

// line := blanks number blanks number blanks     (the blank between is required)
bool KParsePageHeaderLine(const char* text, int& first, int& second) {
  const char* p = skipBlanks(text);
  if (!parseInt(p, first)) return false;
  const char* q = skipBlanks(p);
  if (q == p) return false;
  if (!parseInt(q, second)) return false;
  return *skipBlanks(q) == '\0';
}

// The first line is the rest of the line that the page header's leading line
// feed ends, and holds nothing.
bool KTextCompressedFile::ReadPageHeader(int& compressed, int& logical) {
  KString line;
  if (!m_file.ReadString(line) || !line.IsEmpty()) return true;
  if (!m_file.ReadString(line)) return true;
  return !KParsePageHeaderLine(line, compressed, logical);
}

int KTextCompressedFile::formatPageHeader(char* out, int compressed, int logical) const {
  return std::snprintf(out, kPageHeaderRoom, "\n%d %d\n", compressed, logical);
}
