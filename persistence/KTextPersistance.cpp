#include "persistence/KTextPersistance.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "foundation/units/KNumberText.h"

namespace {
constexpr double kUndefinedReal = 2.2250738585072014e-308;
constexpr int kPerLine = 30;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// A whole token as a signed or unsigned 64-bit integer.
bool parseInt64(const char* s, LONGLONG& v) {
  if (!*s) return false;
  errno = 0;
  char* end = nullptr;
  v = std::strtoll(s, &end, 10);
  return errno == 0 && end && *end == 0;
}
bool parseUInt64(const char* s, ULONGLONG& v) {
  if (!*s || *s == '-') return false;
  errno = 0;
  char* end = nullptr;
  v = std::strtoull(s, &end, 10);
  return errno == 0 && end && *end == 0;
}
}  // namespace

KString KRealToText(double value) {
  KString text;
  numberToText(value, text, 0, 20, -1, DBL_MIN, 0);
  return text;
}

bool KTextToReal(const char* token, double& value) {
  if (std::strcmp(token, "N/A") == 0) {
    value = kUndefinedReal;
    return true;
  }
  if (!*token) return false;
  char* end = nullptr;
  value = std::strtod(token, &end);
  return end && *end == 0;
}

// The text form cannot carry a name with a quote or a line break, nor a
// string whose line breaks are not CR LF or that has a quote right before
// one: such values would read back as other values, so they are refused.
static void checkName(const KString& text) {
  if (text.FindOneOf("\"\r\n") >= 0) AfxThrowInvalidArgException();
}

static void checkString(const KString& value) {
  const std::string& s = value.str();
  for (size_t i = s.find('\n'); i != std::string::npos; i = s.find('\n', i + 1)) {
    if (i == 0 || s[i - 1] != '\r') AfxThrowInvalidArgException();
    if (i >= 2 && s[i - 2] == '"') AfxThrowInvalidArgException();
  }
}

KTextPersistance::KTextPersistance(const char* fileName, bool writing, int level)
    : KImplPersistance(fileName, writing, level, new KTextCompressedFile(writing)) {}

UINT KTextPersistance::openFlags() const {
  UINT flags = CFile::typeText | CFile::shareDenyWrite;
  if (m_bWriting) flags |= CFile::modeCreate | CFile::modeWrite;
  return flags;
}

// ---- header --------------------------------------------------------------------

void KTextPersistance::writeHeader() {
  int* h = m_header;
  h[kHdrApplication] = m_nApplication;
  h[kHdrVersion] = kFormatVersion;
  h[kHdrLevel] = m_pFile->GetCompressionLevel();
  h[kHdrMode] = getMode();
  KString text;
  text.Format("%s %10d %10d %10d %10d %10d %10d %10d %10d %10d %10d %10d %10d %10d %10d %10d\r\n", kFormatText,
              static_cast<int>(kHeaderFields), h[0], h[1], h[2], h[3], h[4], h[5], h[6], h[7], h[8], h[9], h[10],
              h[11], h[12], h[13]);
  m_pFile->WriteTextHeader(text, CFile::begin);
}

ULONGLONG KTextPersistance::readHeader() {
  KString line;
  m_pFile->ReadHeaderLine(line, CFile::begin);
  size_t prefix = std::strlen(kFormatText);
  if (line.str().compare(0, prefix, kFormatText) != 0) throwBadFile();
  const char* p = line.GetString() + prefix;
  LONGLONG numbers[kHeaderFields + 1];
  int n = 0;
  for (;;) {
    while (isBlank(*p)) ++p;
    if (!*p) break;
    if (n > kHeaderFields) throwBadFile();
    char* end = nullptr;
    errno = 0;
    LONGLONG v = std::strtoll(p, &end, 10);
    if (end == p || errno || (*end && !isBlank(*end)) || v < INT32_MIN || v > INT32_MAX) throwBadFile();
    numbers[n++] = v;
    p = end;
  }
  if (n == 0) throwBadFile();
  LONGLONG count = numbers[0];
  static const int accepted[] = {6, 8, 9, 10, 11, 13, 14};
  if (std::find(std::begin(accepted), std::end(accepted), count) == std::end(accepted) || n - 1 != count)
    throwBadFile();
  for (int i = 0; i < kHeaderFields; ++i) m_header[i] = i < count ? static_cast<int>(numbers[i + 1]) : 0;
  if (count < 9) m_header[kHdrLevel] = 0;
  for (int f : {kHdrMaxI32, kHdrMaxS, kHdrMaxB, kHdrMaxR, kHdrMaxC, kHdrMaxU32, kHdrMaxL32, kHdrMaxI64,
                kHdrMaxU64, kHdrMaxL64})
    if (m_header[f] < 0) throwBadFile();
  // A plain file's records follow the header line.
  return m_header[kHdrLevel] == 0 ? m_pFile->m_file.GetPosition() : 0;
}

// ---- writing ---------------------------------------------------------------------

void KTextPersistance::writeLine(const KString& line) {
  if (m_pFile->isPlain())
    m_pFile->Write(line.GetString(), static_cast<UINT>(line.GetLength()));
  else
    m_pFile->WriteString(line);
}

void KTextPersistance::writeObjectStart(const KPersistName& type, const KPersistName& name) {
  checkName(nameText(type));
  checkName(nameText(name));
  KString line;
  line.Format("%sOBJECT \"%s\",\"%s\",%d,%d,%d\r\n", m_indent.GetString(), nameText(type).GetString(),
              nameText(name).GetString(), type.m_nId, name.m_nId, name.m_nIndex);
  writeLine(line);
  m_indent += "  ";
}

void KTextPersistance::writeObjectEnd(const KPersistName& type, const KPersistName& name) {
  if (m_indent.GetLength() >= 2) m_indent = m_indent.Left(m_indent.GetLength() - 2);
  KString line;
  line.Format("%sEND \"%s\",\"%s\",%d,%d,%d\r\n", m_indent.GetString(), nameText(type).GetString(),
              nameText(name).GetString(), type.m_nId, name.m_nId, name.m_nIndex);
  writeLine(line);
}

void KTextPersistance::writeRecord(char tag, const KPersistName& name, long count, FValues values) {
  checkName(nameText(name));
  if (tag == 'S')
    for (long i = 0; i < count; ++i) checkString(static_cast<const KString*>(values.m_data)[i]);
  KString line;
  line.Format("%s%c,\"%s\", %d, %d, %ld,", m_indent.GetString(), tag, nameText(name).GetString(), name.m_nId,
              name.m_nIndex, count);
  if (tag == 'S') {
    writeLine(line + "\r\n");
    auto* s = static_cast<const KString*>(values.m_data);
    for (long i = 0; i < count; ++i) writeLine(m_indent + "    \"" + s[i] + "\"\r\n");
    return;
  }
  if (tag == 'C') {
    line += ' ';
    line.str().append(static_cast<const char*>(values.m_data), static_cast<size_t>(count));
    writeLine(line + "\r\n");
    return;
  }
  if (tag == 'B') line += ' ';
  for (long i = 0; i < count; ++i) {
    if (i > 0 && i % kPerLine == 0) {
      writeLine(line + "\r\n");
      line = m_indent + "    ";
    }
    switch (values.m_kind) {
      case kInt32: line.AppendFormat(" %d", static_cast<const int*>(values.m_data)[i]); break;
      case kInt64: line.AppendFormat(" %I64d", static_cast<const LONGLONG*>(values.m_data)[i]); break;
      case kUInt32: line.AppendFormat(" %u", static_cast<const UINT*>(values.m_data)[i]); break;
      case kUInt64: line.AppendFormat(" %I64u", static_cast<const ULONGLONG*>(values.m_data)[i]); break;
      case kReal: line += ' '; line += KRealToText(static_cast<const double*>(values.m_data)[i]); break;
      case kBool: line += static_cast<const bool*>(values.m_data)[i] ? 'T' : 'F'; break;
      default: AfxThrowInvalidArgException();
    }
  }
  writeLine(line + "\r\n");
}

// ---- reading ---------------------------------------------------------------------

// Reads up to the next line feed in steps that stop at page ends. Text that
// is only blanks when a page ends is the filler written before a line that
// did not fit the page, and is dropped.
bool KTextPersistance::readLine(KString& line) {
  line.Empty();
  bool paged = !m_pFile->isPlain();
  char buffer[4096];
  bool any = false;
  for (;;) {
    ULONGLONG pos = m_pFile->GetPosition();
    UINT want = sizeof buffer;
    if (paged) {
      ULONGLONG toPageEnd = KCompressedFile::kPageSize - pos % KCompressedFile::kPageSize;
      if (toPageEnd < want) want = static_cast<UINT>(toPageEnd);
    }
    UINT got = m_pFile->Read(buffer, want);
    if (got == 0) return any && !line.IsEmpty();
    any = true;
    if (const char* lf = static_cast<const char*>(std::memchr(buffer, '\n', got))) {
      UINT take = static_cast<UINT>(lf - buffer);
      line.str().append(buffer, take);
      if (take + 1 < got) m_pFile->Seek(static_cast<LONGLONG>(pos + take + 1), CFile::begin);
      return true;
    }
    line.str().append(buffer, got);
    if (paged && (pos + got) % KCompressedFile::kPageSize == 0 &&
        line.str().find_first_not_of(' ') == std::string::npos)
      line.Empty();
  }
}

bool KTextPersistance::readNonBlankLine(KString& line) {
  while (readLine(line)) {
    if (line.str().find_first_not_of(" \t\r") != std::string::npos) return true;
  }
  return false;
}

// Parses n comma-separated integers; the last is followed by a comma when
// `lastComma`, else by the end of the text.
void KTextPersistance::parseNumbers(const char*& p, LONGLONG* out, int n, bool lastComma) {
  for (int i = 0; i < n; ++i) {
    const char* stop = (i < n - 1 || lastComma) ? std::strchr(p, ',') : p + std::strlen(p);
    if (!stop) throwBadFile();
    std::string token(p, static_cast<size_t>(stop - p));
    size_t a = token.find_first_not_of(" \t\r"), b = token.find_last_not_of(" \t\r");
    if (a == std::string::npos || !parseInt64(token.substr(a, b - a + 1).c_str(), out[i])) throwBadFile();
    p = *stop ? stop + 1 : stop;
  }
}

bool KTextPersistance::readRecordHead(FRecordHead& head) {
  KString line;
  if (!readNonBlankLine(line)) return false;
  const char* p = line.GetString();
  while (*p == ' ') ++p;
  auto quoted = [&](KString& text) {
    if (*p != '"') throwBadFile();
    const char* close = std::strchr(p + 1, '"');
    if (!close) throwBadFile();
    text = KString(p + 1, static_cast<int>(close - p - 1));
    p = close + 1;
  };
  auto toInt = [&](LONGLONG v) {
    if (v < INT32_MIN || v > INT32_MAX) throwBadFile();
    return static_cast<int>(v);
  };
  bool start = std::strncmp(p, "OBJECT ", 7) == 0;
  if (start || std::strncmp(p, "END ", 4) == 0) {
    p += start ? 7 : 4;
    KString type, name;
    quoted(type);
    if (*p++ != ',') throwBadFile();
    quoted(name);
    if (*p++ != ',') throwBadFile();
    std::string tail(p);
    if (!tail.empty() && tail.back() == '\r') tail.pop_back();
    const char* q = tail.c_str();
    LONGLONG n[3];
    parseNumbers(q, n, 3, false);
    head.m_tag = start ? 'O' : 'E';
    head.m_type = KPersistName(toInt(n[0]), 0, type);
    head.m_name = KPersistName(toInt(n[1]), toInt(n[2]), name);
    head.m_count = 0;
    return true;
  }
  char tag = *p++;
  if (!std::strchr("BCIULRS", tag) || tag == 0 || *p++ != ',') throwBadFile();
  KString name;
  quoted(name);
  if (*p++ != ',') throwBadFile();
  LONGLONG n[3];
  parseNumbers(p, n, 3, true);
  if (n[2] < 0 || n[2] >= kArraySizeLimit || static_cast<ULONGLONG>(n[2]) > remainingBytes() + line.GetLength())
    throwBadFile();
  head.m_tag = tag;
  head.m_type = KPersistName();
  head.m_name = KPersistName(toInt(n[0]), toInt(n[1]), name);
  head.m_count = n[2];
  m_rest = KString(p);
  return true;
}

// Numbers, T/F runs: tokens from the rest of the head line, then from
// continuation lines while values are missing.
void KTextPersistance::readTokens(char tag, long count) {
  std::string text = m_rest.str();
  long got = 0;
  for (;;) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (tag == 'B') {
      for (char c : text) {
        if (c == ' ') continue;
        if ((c != 'T' && c != 'F') || got >= count) throwBadFile();
        m_bools[got++] = c == 'T';
      }
    } else {
      size_t i = 0;
      while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        if (i >= text.size()) break;
        size_t j = text.find(' ', i);
        if (j == std::string::npos) j = text.size();
        std::string token = text.substr(i, j - i);
        i = j;
        if (got >= count) throwBadFile();
        bool ok = false;
        switch (tag) {
          case 'I': ok = parseInt64(token.c_str(), m_ints[got]); break;
          case 'U': case 'L': ok = parseUInt64(token.c_str(), m_uints[got]); break;
          case 'R': ok = KTextToReal(token.c_str(), m_reals[got]); break;
        }
        if (!ok) throwBadFile();
        ++got;
      }
    }
    if (got == count) return;
    KString next;
    if (!readLine(next)) throwBadFile();
    text = next.str();
  }
}

void KTextPersistance::readRecordValues(const FRecordHead& head, bool) {
  long count = static_cast<long>(head.m_count);
  prepareValues(head.m_tag, count);
  switch (head.m_tag) {
    case 'C': {
      std::string text = m_rest.str();
      if (!text.empty() && text[0] == ' ') text.erase(0, 1);
      while (text.size() < static_cast<size_t>(count)) {
        KString next;
        if (!readLine(next)) throwBadFile();
        text += '\n';
        text += next.str();
      }
      std::string tail = text.substr(static_cast<size_t>(count));
      if (!tail.empty() && tail != "\r") throwBadFile();
      m_chars = KString(text.substr(0, static_cast<size_t>(count)));
      return;
    }
    case 'S': {
      if (m_rest.str().find_first_not_of(" \t\r") != std::string::npos) throwBadFile();
      for (long i = 0; i < count; ++i) {
        KString line;
        if (!readLine(line)) throwBadFile();
        std::string s = line.str();
        if (!s.empty() && s.back() == '\r') s.pop_back();
        size_t q = s.find_first_not_of(' ');
        if (q == std::string::npos || s[q] != '"') throwBadFile();
        std::string value = s.substr(q + 1);
        while (value.empty() || value.back() != '"') {
          if (!readLine(line)) throwBadFile();
          std::string more = line.str();
          if (!more.empty() && more.back() == '\r') more.pop_back();
          value += "\r\n";
          value += more;
        }
        value.pop_back();
        m_strings[i] = KString(std::move(value));
      }
      return;
    }
    default:
      readTokens(head.m_tag, count);
  }
}
