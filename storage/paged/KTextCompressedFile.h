// KTextCompressedFile: the paged compressed file of text object files. Each
// page header is the line feed that ends the line before it, then one line
// "<compressed> <logical>" in decimal:
//
//   page header  := LF compressed SP logical LF
//   compressed   := decimal int32      logical := decimal int32
#pragma once
#include "storage/paged/KCompressedFile.h"

class KTextCompressedFile : public KCompressedFile {
 public:
  explicit KTextCompressedFile(bool writing) : KCompressedFile(writing) {}
  ~KTextCompressedFile() override { closeQuietly(); }

  bool ReadPageHeader(int& compressed, int& logical) override;

 protected:
  int formatPageHeader(char* out, int compressed, int logical) const override;
  KPageKind pageKind() const override { return kTextPages; }
};

// Parses "<int> <int>" with optional blanks around and between the numbers
// (no other text); answers true and the numbers when both fit 32 bits.
bool KParsePageHeaderLine(const char* text, int& first, int& second);
