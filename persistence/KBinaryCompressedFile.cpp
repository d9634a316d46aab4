#include "persistence/KBinaryCompressedFile.h"

bool KBinaryCompressedFile::ReadPageHeader(int& compressed, int& logical) {
  char bytes[kPageHeaderSize];
  if (m_file.Read(bytes, kPageHeaderSize) != kPageHeaderSize) return true;
  compressed = getInt32(bytes);
  logical = getInt32(bytes + 4);
  return false;
}

void KBinaryCompressedFile::WritePageHeader(int compressed, int logical) {
  char bytes[kPageHeaderSize];
  putInt32(bytes, compressed);
  putInt32(bytes + 4, logical);
  m_file.Write(bytes, kPageHeaderSize);
}
