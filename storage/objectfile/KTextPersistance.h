// KTextPersistance: the text form of object files, on a KTextCompressedFile.
//
// Header (first 200 bytes; blanks after the line in compressed files):
//
//   "QUELM object file format" then 15 x (" " + %10d) then CR LF
//    count=14  maxI32 maxS maxB maxR maxC maxU32 application version level
//              maxL32 maxI64 maxU64 maxL64 mode
//
// A reader accepts counts 6, 8, 9, 10, 11, 13 and 14 (the first that many
// fields; a missing level means a plain file, a missing version 0).
//
// Records, one or more lines each ending in CR LF, prefixed by the
// indentation (two blanks per open object):
//
//   OBJECT "<type>","<name>",<typeId>,<nameId>,<nameIndex>
//   END "<type>","<name>",<typeId>,<nameId>,<nameIndex>
//   <tag>,"<name>", <id>, <index>, <count>,<values>
//     I U L R  values " v" each, 30 to a line; continuation lines start
//              with the indentation and four blanks
//     B        " " then T/F characters, 30 to a line, same continuation
//     C        " " then the characters as given
//     S        nothing; then each string on its own line:
//              <indent>    "<string>"      (not escaped)
//
// Names with a quote or a line break, and strings with a line break other
// than CR LF or a quote right before one, cannot be read back as written
// and are refused (CInvalidArgException; the save then fails as a whole).
// Reals are written exactly (they read back bit for bit); the undefined real,
// NaN and infinities as "N/A", which reads back as the undefined real.
// Lines are read on the logical stream; the blank filler that ends a page
// before a line that did not fit is skipped, and a line longer than a page
// is read whole.
#pragma once
#include "storage/objectfile/KImplPersistance.h"
#include "storage/paged/KTextCompressedFile.h"

class KTextPersistance : public KImplPersistance {
 public:
  // Writing: compression level 0 (plain) to 9.
  KTextPersistance(const char* fileName, bool writing, int level = 1);
  ~KTextPersistance() override { closeFromDestructor(); }
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 protected:
  UINT openFlags() const override;
  void writeHeader() override;
  ULONGLONG readHeader() override;
  void writeObjectStart(const KPersistName& type, const KPersistName& name) override;
  void writeObjectEnd(const KPersistName& type, const KPersistName& name) override;
  void writeRecord(char tag, const KPersistName& name, long count, FValues values) override;
  bool readRecordHead(FRecordHead& head) override;
  void readRecordValues(const FRecordHead& head, bool keep) override;

 private:
  void writeLine(const KString& line);
  // One line without its line feed (a carriage return stays); false at the end.
  bool readLine(KString& line);
  bool readNonBlankLine(KString& line);
  void parseNumbers(const char*& p, LONGLONG* out, int n, bool lastComma);
  void readTokens(char tag, long count, bool keep);

  KString m_indent;
  KString m_rest;  // the text after the head of the attribute read last
  KString m_line;  // the line being written or read, kept for its room
  UINT m_nReadAhead = 256;  // bytes the next line read asks for first
};

// The text of one real as the text form writes it.
KString KRealToText(double value);
// Parses one real token of the text form ("N/A" is the undefined real);
// false when the token is not exactly one number.
bool KTextToReal(const char* token, double& value);
