// KObjectFileWalker: reads an object file of either form generically, for
// tools (dump, convert) and checks. The form is told by the header: a file
// that begins with the format text is a text file, any other a binary one.
// Opening reads and checks the header and the whole record structure (see
// KImplPersistance); a file that is not an object file throws CFileException.
//
//   KObjectFileWalker walker("model.qob");
//   walker.isText(); walker.getHeaderField(kHdrVersion);
//   FObjectFileRecord r;
//   while (walker.next(r)) { r.m_tag, r.m_depth, r.m_type, r.m_name,
//                            r.m_count, walker.valueText(i) ... }
#pragma once
#include <memory>

#include "storage/objectfile/KImplPersistance.h"

struct FObjectFileRecord {
  char m_tag = 0;          // 'O', 'E' or a value tag
  int m_depth = 0;         // nesting depth of the record (objects: their own)
  KPersistName m_type;     // 'O' and 'E': the object's type
  KPersistName m_name;     // object or attribute name
  long m_count = 0;        // attributes: number of values
  ULONGLONG m_position = 0;
};

class KObjectFileWalker {
 public:
  explicit KObjectFileWalker(const char* fileName);
  bool isText() const { return m_bText; }
  int getHeaderField(int field) const { return m_pFile->getHeaderField(field); }
  long getObjectCount() const { return m_pFile->getObjectCount(); }

  // The next record in file order, its values available below; false at the
  // end. rewind starts again at the first record.
  bool next(FObjectFileRecord& record);
  void rewind();

  // Values of the record returned last (see KImplPersistance).
  KImplPersistance& values() { return *m_pFile; }
  // Value i of the record returned last as the text form writes it: a
  // number, T or F, one character, or the string.
  KString valueText(long i) const;

 private:
  std::unique_ptr<KImplPersistance> m_pFile;
  bool m_bText = false;
  char m_tag = 0;
  int m_nDepth = 0;
  long m_nObject = 0;
  long m_open[KImplPersistance::kMaxDepth] = {};
};

// True when the file begins with the text form's format text.
bool KIsTextObjectFile(const char* fileName);
