#include "storage/paged/KBinaryCompressedFile.h"

bool KBinaryCompressedFile::ReadPageHeader(int& compressed, int& logical) {
  char bytes[kPageHeaderSize];
  if (m_file.Read(bytes, kPageHeaderSize) != kPageHeaderSize) return true;
  decodePageHeader(bytes, compressed, logical);
  return false;
}

int KBinaryCompressedFile::formatPageHeader(char* out, int compressed, int logical) const {
  putInt32(out, compressed);
  putInt32(out + 4, logical);
  return static_cast<int>(kPageHeaderSize);
}

void KBinaryCompressedFile::decodePageHeader(const char* bytes, int& compressed, int& logical) const {
  compressed = getInt32(bytes);
  logical = getInt32(bytes + 4);
}
