// KObjectFileWalker: reads an object file of either form generically, for
// tools (dump, convert) and checks. The form is told by the header: a file
// that begins with the format text is a text file, any other a binary one.
// Opened kIndexed, it reads and checks the header and the whole record
// structure first (see KImplPersistance); kHeaderOnly reads the header and
// nothing else; kStream reads the header and then checks the structure as
// the records come, so that a caller may stop early having read only what
// it needed. A file that is not an object file throws CFileException (in
// kStream mode possibly only when the walk reaches the damage).
//
//   KObjectFileWalker walker("model.qob");
//   walker.isText(); walker.getHeaderField(kHdrVersion);
//   FObjectFileRecord r;
//   while (walker.next(r)) { r.m_tag, r.m_depth, r.m_type, r.m_name,
//                            r.m_count, walker.valueText(i) ... }
#pragma once
#include <functional>
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
  enum EMode { kIndexed, kHeaderOnly, kStream };
  explicit KObjectFileWalker(const char* fileName, EMode mode = kIndexed);
  bool isText() const { return m_bText; }
  int getHeaderField(int field) const { return m_pFile->getHeaderField(field); }
  // Objects in the file: kIndexed only.
  long getObjectCount() const { return m_pFile->getObjectCount(); }
  ULONGLONG getLogicalSize() const { return m_pFile->getLogicalSize(); }

  // The next record in file order, its values available below; false at the
  // end. rewind starts again at the first record.
  bool next(FObjectFileRecord& record) { return nextIn(record, 0, nullptr); }
  // The same with the values in windows of at most `window` values (see
  // KImplPersistance::readNextRecordWindowed): memory stays bounded by the
  // window and the page cache however large an attribute is.
  template <class Deliver>
  bool nextWindowed(FObjectFileRecord& record, long window, Deliver&& deliver) {
    std::function<void(long, long)> sink(std::forward<Deliver>(deliver));
    return nextIn(record, window, &sink);
  }
  // The same with a real attribute's values read straight into memory of
  // the caller's (see KImplPersistance::readNextRecordPlacingReals).
  bool nextPlacingReals(FObjectFileRecord& record, const std::function<double*(long)>& place);
  void rewind();

  // The head of the record being read: inside a window's delivery, the tag
  // and count of the attribute whose values it brings.
  const FRecordHead& head() const { return m_head; }
  // Objects open at this point of the walk (an attribute's depth).
  int getDepth() const { return m_nDepth; }
  // Values of the record returned last (see KImplPersistance).
  KImplPersistance& values() { return *m_pFile; }
  // Value i of the record returned last as the text form writes it: a
  // number, T or F, one character, or the string.
  KString valueText(long i) const;
  // The same for the values in `file`'s buffers of a record tagged `tag`
  // (inside a window's delivery: head().m_tag).
  static KString valueText(const KImplPersistance& file, char tag, long i);

 private:
  bool nextIn(FObjectFileRecord& record, long window, std::function<void(long, long)>* sink);

  std::unique_ptr<KImplPersistance> m_pFile;
  bool m_bText = false;
  EMode m_mode;
  char m_tag = 0;
  int m_nDepth = 0;
  FRecordHead m_head;
  // Set during nextPlacingReals: where the reals go.
  const std::function<double*(long)>* m_pPlaceReals = nullptr;
  // Type and name of each open object, for the end records (binary end
  // records carry no names).
  KPersistName m_openTypes[KImplPersistance::kMaxDepth];
  KPersistName m_openNames[KImplPersistance::kMaxDepth];
};

// True when the file begins with the text form's format text.
bool KIsTextObjectFile(const char* fileName);
