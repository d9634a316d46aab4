#include "storage/objectfile/KTextPersistance.h"

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "storage/numbertext/KNumberText.h"
#include "storage/objectfile/KTextTokens.h"

namespace {
constexpr double kUndefinedReal = 2.2250738585072014e-308;
constexpr int kPerLine = 30;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
}  // namespace

KString KRealToText(double value) {
  char text[KNumberText::kMaxChars];
  int length = numberToChars(value, text, 20);
  if (length >= 0) return KString(std::string(text, static_cast<size_t>(length)));
  KString out;
  numberToText(value, out, 0, 20, -1, DBL_MIN, 0);
  return out;
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
  // One buffer holds each line in turn; it is written once it is complete.
  m_line.Format("%s%c,\"%s\", %d, %d, %ld,", m_indent.GetString(), tag, nameText(name).GetString(), name.m_nId,
                name.m_nIndex, count);
  std::string& line = m_line.str();
  if (tag == 'S') {
    line += "\r\n";
    writeLine(m_line);
    auto* s = static_cast<const KString*>(values.m_data);
    for (long i = 0; i < count; ++i) {
      line.assign(m_indent.str());
      line += "    \"";
      line += s[i].str();
      line += "\"\r\n";
      writeLine(m_line);
    }
    return;
  }
  if (tag == 'C') {
    line += ' ';
    line.append(static_cast<const char*>(values.m_data), static_cast<size_t>(count));
    line += "\r\n";
    writeLine(m_line);
    return;
  }
  if (tag == 'B') line += ' ';
  const char* point = values.m_kind == kReal ? std::localeconv()->decimal_point : nullptr;
  for (long i = 0; i < count; ++i) {
    if (i > 0 && i % kPerLine == 0) {
      line += "\r\n";
      writeLine(m_line);
      line.assign(m_indent.str());
      line += "    ";
    }
    switch (values.m_kind) {
      case kInt32: KAppendIntToken(line, static_cast<const int*>(values.m_data)[i]); break;
      case kInt64: KAppendIntToken(line, static_cast<const LONGLONG*>(values.m_data)[i]); break;
      case kUInt32: KAppendIntToken(line, static_cast<const UINT*>(values.m_data)[i]); break;
      case kUInt64: KAppendIntToken(line, static_cast<const ULONGLONG*>(values.m_data)[i]); break;
      case kReal: {
        double v = static_cast<const double*>(values.m_data)[i];
        char text[KNumberText::kMaxChars + 1];
        text[0] = ' ';
        int length = numberToChars(v, text + 1, 20, point);
        if (length >= 0)
          line.append(text, static_cast<size_t>(length) + 1);
        else
          (line += ' ') += KRealToText(v).str();
        break;
      }
      case kBool: line += static_cast<const bool*>(values.m_data)[i] ? 'T' : 'F'; break;
      default: AfxThrowInvalidArgException();
    }
  }
  line += "\r\n";
  writeLine(m_line);
}

// ---- reading ---------------------------------------------------------------------

// Reads up to the next line feed in steps that stop at page ends. Text that
// is only blanks when a page ends is the filler written before a line that
// did not fit the page, and is dropped.
bool KTextPersistance::readLine(KString& line) {
  line.Empty();
  bool paged = !m_pFile->isPlain();
  if (paged) {
    // Straight from the page into the line.
    std::string& text = line.str();
    bool any = false, lineEnd = false;
    for (;;) {
      if (m_pFile->ReadToLineEnd(text, lineEnd) == 0) return any && !text.empty();
      any = true;
      if (lineEnd) return true;
      if (m_pFile->GetPosition() % KCompressedFile::kPageSize == 0 &&
          text.find_first_not_of(' ') == std::string::npos)
        text.clear();
    }
  }
  char buffer[4096];
  // The first step reads about as much as the last line took, so that
  // little is read twice; later steps read whole buffers.
  UINT step = m_nReadAhead;
  bool any = false;
  for (;;) {
    ULONGLONG pos = m_pFile->GetPosition();
    UINT want = step;
    step = sizeof buffer;
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
      size_t ahead = line.str().size() + 32;
      m_nReadAhead = static_cast<UINT>(ahead < sizeof buffer ? ahead : sizeof buffer);
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
    if (a == std::string::npos || !KIntToken(token.data() + a, token.data() + b + 1, out[i])) throwBadFile();
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
// continuation lines while values are missing. Unless `keep`, plain reals
// are only checked, not converted (every token is still checked, so a bad
// file is refused by the same pass).
void KTextPersistance::readTokens(char tag, long count, bool keep) {
  const std::string* text = &m_rest.str();
  bool dot = tag == 'R' && KDecimalPointIsDot();
  long got = 0;
  // Values not kept are parsed (that is the check) into these.
  LONGLONG spareInt = 0;
  ULONGLONG spareUInt = 0;
  double spareReal = 0.0;
  for (;;) {
    const char* p = text->data();
    const char* end = p + text->size();
    if (end > p && end[-1] == '\r') --end;
    if (tag == 'B') {
      for (; p < end; ++p) {
        char c = *p;
        if (c == ' ') continue;
        if ((c != 'T' && c != 'F') || got >= count) throwBadFile();
        if (keep) bools()[slot(got)] = c == 'T';
        ++got;
      }
    } else {
      while (p < end) {
        while (p < end && isBlank(*p)) ++p;
        if (p >= end) break;
        if (got >= count) throwBadFile();
        if (dot) {
          // A number that ends at a blank or at the end of the line is the
          // whole token; anything else takes the general rule below.
          const char* stop = keep ? KRealPrefix(p, end, reals()[slot(got)]) : KPlainRealEnd(p, end);
          if (stop && (stop == end || *stop == ' ')) {
            ++got;
            p = stop;
            continue;
          }
        }
        const char* stop = static_cast<const char*>(std::memchr(p, ' ', static_cast<size_t>(end - p)));
        if (!stop) stop = end;
        bool ok = false;
        switch (tag) {
          case 'I': ok = KIntToken(p, stop, keep ? ints()[slot(got)] : spareInt); break;
          case 'U': case 'L': ok = KUIntToken(p, stop, keep ? uints()[slot(got)] : spareUInt); break;
          case 'R': ok = KRealToken(p, stop, dot, keep ? reals()[slot(got)] : spareReal); break;
        }
        if (!ok) throwBadFile();
        ++got;
        p = stop;
      }
    }
    if (got == count) return;
    if (!readLine(m_line)) throwBadFile();
    text = &m_line.str();
  }
}

void KTextPersistance::readRecordValues(const FRecordHead& head, bool keep) {
  long count = static_cast<long>(head.m_count);
  if (keep) prepareValues(head.m_tag, count);
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
      if (keep) {
        text.resize(static_cast<size_t>(count));
        chars() = KString(std::move(text));
      }
      return;
    }
    case 'S': {
      if (m_rest.str().find_first_not_of(" \t\r") != std::string::npos) throwBadFile();
      // Each string goes straight from the line buffer into its slot.
      const std::string& s = m_line.str();
      KString spare;
      for (long i = 0; i < count; ++i) {
        if (!readLine(m_line)) throwBadFile();
        size_t length = s.size();
        if (length && s[length - 1] == '\r') --length;
        size_t q = 0;
        while (q < length && s[q] == ' ') ++q;
        if (q == length || s[q] != '"') throwBadFile();
        std::string& value = (keep ? strings()[slot(i)] : spare).str();
        value.assign(s, q + 1, length - q - 1);
        while (value.empty() || value.back() != '"') {
          if (!readLine(m_line)) throwBadFile();
          length = s.size();
          if (length && s[length - 1] == '\r') --length;
          value += "\r\n";
          value.append(s, 0, length);
        }
        value.pop_back();
      }
      return;
    }
    default:
      readTokens(head.m_tag, count, keep);
  }
}
