#include "storage/paged/KFile.h"

#include <cstring>

BOOL KFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* pError) {
  return CFile::Open(fileName, openFlags & ~static_cast<UINT>(typeText | typeBinary), pError);
}

void KFile::SetFilePath(LPCTSTR newName) {
  if (!newName) AfxThrowInvalidArgException();
  CFile::SetFilePath(newName);
}

ULONGLONG KFile::Seek(LONGLONG offset, UINT origin) { return CFile::Seek(offset, origin); }

ULONGLONG KFile::GetPosition() const { return CFile::GetPosition(); }

// A chunk that ends in a carriage return gives that byte back to the file, so
// that a CR LF pair is always seen within one chunk. A short chunk is the end
// of the file, so a carriage return ending it can be followed by nothing and
// is dropped instead (re-reading it would never advance).
BOOL KFile::ReadString(KString& line) {
  line.Empty();
  char chunk[kLineChunk];
  for (;;) {
    ULONGLONG chunkStart = GetPosition();
    UINT n = Read(chunk, kLineChunk);
    if (n == 0) return FALSE;
    bool full = n == kLineChunk;
    UINT used = n;
    if (chunk[n - 1] == '\r') {
      --used;
      if (full) Seek(static_cast<LONGLONG>(chunkStart + used), begin);
    }
    if (const char* lf = static_cast<const char*>(std::memchr(chunk, '\n', used))) {
      UINT i = static_cast<UINT>(lf - chunk);
      UINT text = i > 0 && chunk[i - 1] == '\r' ? i - 1 : i;
      line.str().append(chunk, text);
      Seek(static_cast<LONGLONG>(chunkStart + i + 1), begin);
      return TRUE;
    }
    line.str().append(chunk, used);
    if (!full) return FALSE;
  }
}

void KFile::WriteString(const char* text) {
  if (!text) return;
  size_t length = std::strlen(text);
  while (length > 0) {
    UINT step = length > 0x40000000u ? 0x40000000u : static_cast<UINT>(length);
    Write(text, step);
    text += step;
    length -= step;
  }
}
