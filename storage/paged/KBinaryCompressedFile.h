// KBinaryCompressedFile: the paged compressed file of binary object files.
// Each page header is 8 bytes: the compressed byte count and the logical
// byte count, each a signed 32-bit little-endian integer. Having one size,
// page headers are parsed from read blocks when the page table is built.
#pragma once
#include "storage/paged/KCompressedFile.h"

class KBinaryCompressedFile : public KCompressedFile {
 public:
  static constexpr UINT kPageHeaderSize = 8;

  explicit KBinaryCompressedFile(bool writing) : KCompressedFile(writing) {}
  ~KBinaryCompressedFile() override { closeQuietly(); }

  bool ReadPageHeader(int& compressed, int& logical) override;

 protected:
  int formatPageHeader(char* out, int compressed, int logical) const override;
  KPageKind pageKind() const override { return kBinaryPages; }
  UINT fixedPageHeaderSize() const override { return kPageHeaderSize; }
  void decodePageHeader(const char* bytes, int& compressed, int& logical) const override;
};
