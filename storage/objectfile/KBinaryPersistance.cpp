#include "storage/objectfile/KBinaryPersistance.h"

#include <algorithm>
#include <bit>
#include <cstring>

static_assert(sizeof(double) == 8 && sizeof(LONGLONG) == 8, "8-byte values");

namespace {
void putLE(char* out, ULONGLONG v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
ULONGLONG getLE(const unsigned char* in, int bytes) {
  ULONGLONG v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<ULONGLONG>(in[i]) << (8 * i);
  return v;
}
bool isAcceptedCount(int count) {
  return count == 7 || count == 9 || count == 10 || count == 11 || count == 12 || count == 14 ||
         (count >= 15 && count <= 99);
}
}  // namespace

KBinaryPersistance::KBinaryPersistance(const char* fileName, bool writing, int level)
    : KImplPersistance(fileName, writing, level, new KBinaryCompressedFile(writing)) {}

UINT KBinaryPersistance::openFlags() const {
  if (m_bWriting) return CFile::typeBinary | CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive;
  return CFile::typeBinary | CFile::shareDenyWrite;
}

// ---- header --------------------------------------------------------------------

void KBinaryPersistance::writeHeader() {
  m_header[kHdrApplication] = m_nApplication;
  m_header[kHdrVersion] = kFormatVersion;
  m_header[kHdrLevel] = m_pFile->GetCompressionLevel();
  m_header[kHdrMode] = getMode();
  char data[8 * (kHeaderFields + 1)];
  putLE(data, static_cast<ULONGLONG>(kMagic), 8);
  for (int i = 0; i < kHeaderFields; ++i)
    putLE(data + 8 * (i + 1), static_cast<ULONGLONG>(static_cast<LONGLONG>(m_header[i])), 8);
  m_pFile->WriteBinaryHeader(kHeaderFields + 1, data, sizeof data);
}

ULONGLONG KBinaryPersistance::readHeader() {
  unsigned char word[4];
  if (m_pFile->ReadHeaderBytes(word, 4, CFile::begin) != 4) throwBadFile();
  int count = static_cast<int>(static_cast<uint32_t>(getLE(word, 4)));
  if (!isAcceptedCount(count)) throwBadFile();
  int width = count < 14 ? 4 : 8;
  UINT bytes = static_cast<UINT>(count * width);
  unsigned char data[99 * 8];
  if (m_pFile->m_file.Read(data, bytes) != bytes) throwBadFile();
  LONGLONG numbers[99];
  for (int i = 0; i < count; ++i) {
    ULONGLONG raw = getLE(data + i * width, width);
    LONGLONG v = width == 4 ? static_cast<int32_t>(static_cast<uint32_t>(raw)) : static_cast<LONGLONG>(raw);
    if (v < INT32_MIN || v > INT32_MAX) throwBadFile();
    numbers[i] = v;
  }
  if (numbers[0] != kMagic) throwBadFile();
  for (int i = 0; i < kHeaderFields; ++i) m_header[i] = i + 1 < count ? static_cast<int>(numbers[i + 1]) : 0;
  if (count < 10) m_header[kHdrLevel] = 0;
  for (int f : {kHdrMaxI32, kHdrMaxS, kHdrMaxB, kHdrMaxR, kHdrMaxC, kHdrMaxU32, kHdrMaxL32, kHdrMaxI64,
                kHdrMaxU64, kHdrMaxL64})
    if (m_header[f] < 0) throwBadFile();
  ULONGLONG end = 4 + bytes;
  if (m_header[kHdrLevel] != 0 && end > static_cast<ULONGLONG>(kHeaderArea)) throwBadFile();
  return m_header[kHdrLevel] == 0 ? end : 0;
}

// ---- writing ---------------------------------------------------------------------

void KBinaryPersistance::put(const void* data, size_t bytes) {
  const char* p = static_cast<const char*>(data);
  while (bytes > 0) {
    UINT step = static_cast<UINT>(std::min<size_t>(bytes, 0x40000000u));
    m_pFile->Write(p, step);
    p += step;
    bytes -= step;
  }
}

void KBinaryPersistance::putNumber(LONGLONG v) {
  char out[8];
  putLE(out, static_cast<ULONGLONG>(v), 8);
  put(out, 8);
}

LONGLONG KBinaryPersistance::nameLengthOrId(const KPersistName& name, KString& text) const {
  if (name.m_nId >= 1) {
    text.Empty();
    return -static_cast<LONGLONG>(name.m_nId);
  }
  text = name.m_name;
  return text.GetLength();
}

void KBinaryPersistance::writeObjectStart(const KPersistName& type, const KPersistName& name) {
  KString nameChars, typeChars;
  LONGLONG n = nameLengthOrId(name, nameChars), t = nameLengthOrId(type, typeChars);
  put("O", 1);
  putNumber(n);
  putNumber(t);
  putNumber(name.m_nIndex);
  put(nameChars.GetString(), static_cast<size_t>(nameChars.GetLength()));
  put(typeChars.GetString(), static_cast<size_t>(typeChars.GetLength()));
}

void KBinaryPersistance::writeObjectEnd(const KPersistName&, const KPersistName&) { put("E", 1); }

void KBinaryPersistance::writeRecord(char tag, const KPersistName& name, long count, FValues values) {
  KString chars;
  LONGLONG n = nameLengthOrId(name, chars);
  put(&tag, 1);
  putNumber(n);
  putNumber(count);
  putNumber(name.m_nIndex);
  put(chars.GetString(), static_cast<size_t>(chars.GetLength()));
  const size_t chunk = 4096;
  char buffer[chunk * 8];
  size_t used = 0;
  auto flushIfFull = [&](size_t need) {
    if (used + need > sizeof buffer) {
      put(buffer, used);
      used = 0;
    }
  };
  if (values.m_kind == kString) {
    auto* s = static_cast<const KString*>(values.m_data);
    for (long i = 0; i < count; ++i) {
      flushIfFull(8);
      putLE(buffer + used, static_cast<ULONGLONG>(s[i].GetLength()), 8);
      used += 8;
    }
    put(buffer, used);
    for (long i = 0; i < count; ++i) put(s[i].GetString(), static_cast<size_t>(s[i].GetLength()));
    return;
  }
  if (values.m_kind == kChar) {
    put(values.m_data, static_cast<size_t>(count));
    return;
  }
  // Eight-byte values already stand in memory as the file has them.
  if (std::endian::native == std::endian::little &&
      (values.m_kind == kReal || values.m_kind == kInt64 || values.m_kind == kUInt64)) {
    put(values.m_data, static_cast<size_t>(count) * 8);
    return;
  }
  for (long i = 0; i < count; ++i) {
    flushIfFull(8);
    switch (values.m_kind) {
      case kInt32:
        putLE(buffer + used, static_cast<ULONGLONG>(static_cast<LONGLONG>(static_cast<const int*>(values.m_data)[i])), 8);
        used += 8;
        break;
      case kInt64: case kUInt64: {
        ULONGLONG v;
        std::memcpy(&v, static_cast<const char*>(values.m_data) + 8 * i, 8);
        putLE(buffer + used, v, 8);
        used += 8;
        break;
      }
      case kUInt32:
        putLE(buffer + used, static_cast<const UINT*>(values.m_data)[i], 8);
        used += 8;
        break;
      case kReal: {
        ULONGLONG bits;
        std::memcpy(&bits, static_cast<const double*>(values.m_data) + i, 8);
        putLE(buffer + used, bits, 8);
        used += 8;
        break;
      }
      case kBool:
        buffer[used++] = static_cast<const bool*>(values.m_data)[i] ? 1 : 0;
        break;
      default:
        AfxThrowInvalidArgException();
    }
  }
  put(buffer, used);
}

// ---- reading ---------------------------------------------------------------------

void KBinaryPersistance::get(void* data, ULONGLONG bytes) {
  if (bytes > remainingBytes()) throwBadFile();
  char* p = static_cast<char*>(data);
  while (bytes > 0) {
    UINT step = static_cast<UINT>(std::min<ULONGLONG>(bytes, 0x40000000u));
    if (m_pFile->Read(p, step) != step) throwBadFile();
    p += step;
    bytes -= step;
  }
}

void KBinaryPersistance::skip(ULONGLONG bytes) {
  if (bytes > remainingBytes()) throwBadFile();
  m_pFile->Seek(static_cast<LONGLONG>(bytes), CFile::current);
}

LONGLONG KBinaryPersistance::getNumber() {
  unsigned char in[8];
  if (m_bOldIntegers) {
    get(in, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(getLE(in, 4)));
  }
  get(in, 8);
  return static_cast<LONGLONG>(getLE(in, 8));
}

KPersistName KBinaryPersistance::getName(LONGLONG lengthOrId, LONGLONG index) {
  if (index < INT32_MIN || index > INT32_MAX) throwBadFile();
  if (lengthOrId < 0) {
    if (lengthOrId < -static_cast<LONGLONG>(INT32_MAX)) throwBadFile();
    return KPersistName(static_cast<int>(-lengthOrId), static_cast<int>(index));
  }
  if (static_cast<ULONGLONG>(lengthOrId) > remainingBytes() || lengthOrId > INT32_MAX) throwBadFile();
  KString text;
  text.str().resize(static_cast<size_t>(lengthOrId));
  get(text.str().data(), static_cast<ULONGLONG>(lengthOrId));
  return KPersistName(text, static_cast<int>(index));
}

bool KBinaryPersistance::readRecordHead(FRecordHead& head) {
  char tag;
  if (m_pFile->Read(&tag, 1) != 1) return false;
  if (tag == 'N' && m_bOldIntegers) tag = 'I';
  if (tag == 'E') {
    head.m_tag = 'E';
    head.m_count = 0;
    return true;
  }
  if (!std::strchr("OBCIULRS", tag) || tag == 0) throwBadFile();
  LONGLONG a = getNumber(), b = getNumber(), index = getNumber();
  head.m_tag = tag;
  if (tag == 'O') {
    head.m_name = getName(a, index);
    head.m_type = getName(b, 0);
    head.m_count = 0;
    return true;
  }
  if (b < 0 || b >= kArraySizeLimit) throwBadFile();
  head.m_name = getName(a, index);
  head.m_type = KPersistName();
  head.m_count = b;
  return true;
}

void KBinaryPersistance::readRecordValues(const FRecordHead& head, bool keep) {
  ULONGLONG count = static_cast<ULONGLONG>(head.m_count);
  ULONGLONG left = remainingBytes();
  if (head.m_tag == 'S') {
    if (count > left / 8) throwBadFile();
    if (keep) prepareValues('S', static_cast<long>(count));
    ULONGLONG total = 0;
    const ULONGLONG firstLengths = m_pFile->GetPosition();
    unsigned char in[8];
    for (ULONGLONG i = 0; i < count; ++i) {
      get(in, 8);
      LONGLONG length = static_cast<LONGLONG>(getLE(in, 8));
      if (length < 0 || static_cast<ULONGLONG>(length) > left) throwBadFile();
      total += static_cast<ULONGLONG>(length);
      if (total > left - 8 * count) throwBadFile();
    }
    if (!keep) {
      skip(total);
      return;
    }
    ULONGLONG chars = m_pFile->GetPosition();
    for (ULONGLONG i = 0; i < count; ++i) {
      m_pFile->Seek(static_cast<LONGLONG>(firstLengths + 8 * i), CFile::begin);
      get(in, 8);
      size_t length = static_cast<size_t>(getLE(in, 8));
      m_pFile->Seek(static_cast<LONGLONG>(chars), CFile::begin);
      std::string value(length, '\0');
      get(value.data(), length);
      strings()[slot(static_cast<long>(i))] = KString(std::move(value));
      chars += length;
    }
    m_pFile->Seek(static_cast<LONGLONG>(chars), CFile::begin);
    return;
  }
  ULONGLONG size = (head.m_tag == 'B' || head.m_tag == 'C') ? 1 : head.m_tag == 'R' ? 8 : m_bOldIntegers ? 4 : 8;
  if (count > left / size) throwBadFile();
  if (!keep) {
    skip(count * size);
    return;
  }
  long n = static_cast<long>(count);
  prepareValues(head.m_tag, n);
  switch (head.m_tag) {
    case 'C':
      for (long i = 0; i < n;) {
        long room = windowRoom(i, n);
        chars().str().resize(static_cast<size_t>(room));
        get(chars().str().data(), static_cast<ULONGLONG>(room));
        i += room;
      }
      return;
    case 'R':
      for (long i = 0; i < n;) {
        long room = windowRoom(i, n);
        get(reals().getData() + slot(i), static_cast<ULONGLONG>(room) * 8);
        i += room;
      }
      return;
    default:
      break;
  }
  unsigned char in[4096];
  ULONGLONG perStep = sizeof in / size;
  for (ULONGLONG i = 0; i < count; i += perStep) {
    ULONGLONG step = std::min(perStep, count - i);
    get(in, step * size);
    for (ULONGLONG k = 0; k < step; ++k) {
      ULONGLONG raw = getLE(in + k * size, static_cast<int>(size));
      long at = static_cast<long>(i + k);
      switch (head.m_tag) {
        case 'B': bools()[slot(at)] = raw != 0; break;
        case 'I': ints()[slot(at)] = size == 4 ? static_cast<int32_t>(static_cast<uint32_t>(raw)) : static_cast<LONGLONG>(raw); break;
        default: uints()[slot(at)] = raw; break;
      }
    }
  }
}
