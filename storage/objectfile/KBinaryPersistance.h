// KBinaryPersistance: the binary form of object files, on a
// KBinaryCompressedFile. All numbers are little-endian.
//
// Header (first 200 bytes; filler after it in compressed files):
//
//   int32 count = 15
//   int64 magic = 0x49967572, then the 14 fields of the text header in its
//         order (maxI32 maxS maxB maxR maxC maxU32 application version level
//         maxL32 maxI64 maxU64 maxL64 mode)
//
// A reader accepts counts 7, 9, 10, 11, 12, 14, 15 and 16..99 (magic and the
// first count-1 fields); below 14 the numbers are int32, else int64 (each
// must fit 32 bits). The header must fit the header area of a paged file.
//
// Records (n = int64; int32 in files of version < 39, whose 'N' means 'I'):
//
//   'O' n:nameLenOrId n:typeLenOrId n:nameIndex [name chars] [type chars]
//   'E'
//   tag n:nameLenOrId n:count n:nameIndex [name chars] values
//     B C      1 byte each            R  8 bytes (IEEE double)
//     I U L    8 bytes each (4 in files of version < 39)
//     S        count x int64 lengths, then all characters one after another
//
// nameLenOrId is -m_nId for a numeric name (m_nId >= 1), else the length of
// the text, whose characters follow. Every writer of 32-bit values widens
// them to 8 bytes, so the files it writes read back as written.
#pragma once
#include "storage/paged/KBinaryCompressedFile.h"
#include "storage/objectfile/KImplPersistance.h"

class KBinaryPersistance : public KImplPersistance {
 public:
  static constexpr LONGLONG kMagic = 0x49967572;

  KBinaryPersistance(const char* fileName, bool writing, int level = 1);
  ~KBinaryPersistance() override { closeFromDestructor(); }
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
  void put(const void* data, size_t bytes);
  void putNumber(LONGLONG v);
  LONGLONG nameLengthOrId(const KPersistName& name, KString& text) const;
  // Reads exactly `bytes` or throws.
  void get(void* data, ULONGLONG bytes);
  LONGLONG getNumber();
  KPersistName getName(LONGLONG lengthOrId, LONGLONG index);
  void skip(ULONGLONG bytes);
};
