// KBinaryCompressedFile: the paged compressed file of binary object files.
// Each page header is 8 bytes: the compressed byte count and the logical
// byte count, each a signed 32-bit little-endian integer.
#pragma once
#include "persistence/KCompressedFile.h"

class KBinaryCompressedFile : public KCompressedFile {
 public:
  static constexpr UINT kPageHeaderSize = 8;

  explicit KBinaryCompressedFile(bool writing) : KCompressedFile(writing) {}
  ~KBinaryCompressedFile() override { closeQuietly(); }

  bool ReadPageHeader(int& compressed, int& logical) override;
  void WritePageHeader(int compressed, int logical) override;
};
