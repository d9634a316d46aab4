// KImplPersistance: everything of an object file that does not depend on its
// representation: header fields and per-type maximum counts, value buffers,
// the current record, the object index and the per-object frames of the
// reader, the safe save, open and close. KTextPersistance and
// KBinaryPersistance supply the header and the records.
//
// Reading. Opening reads and checks the header. The object index (type,
// name, parent, positions of start and end, the index past the last
// descendant) is built by passing over the records in file order, checking
// each as it goes: every object ends, nesting stays within kMaxDepth levels,
// no attribute stands outside an object, every count fits what is left of
// the file, every value reads. Opening passes over the first records, as
// much as the page cache holds (setCheckedAtOpen), so that a file of up to
// that size is checked whole before open returns; beyond it the pass goes on
// only as far as the reader needs: to find an object, to skip one, or with
// the reader itself, whose scan of an object's records takes each record at
// the index's frontier. A reader that goes through a large file in order
// therefore inflates each page once (a check of the whole file at open and
// a read after it would need every page twice, or the whole file in memory),
// and damage beyond the first pages is refused when the reader reaches it,
// with the same exception. An attribute is found by name through the
// current object's frame:
//
//   frame   := start, scan position, fully-scanned flag,
//              index (KNamedFilePtrTree: name -> record position)
//
// so that attributes before the last one read are found without scanning,
// nested objects are skipped through the object index, and a missing
// attribute scans the object once. Bad files are input: every refusal is
// CFileException(genericException, -1, file name), raised before anything
// is allocated or copied for the faulty record.
//
// Writing (the save never loses the old file). Records go to a temporary
// file in the target's folder; Close writes the header, the last page, forces
// the data to the device and renames the temporary file over the target.
// Any failure on the way (or an earlier failed write, or objects left open)
// removes the temporary file, keeps the old file as it was and throws,
// naming the target. The destructor of an unclosed writer commits only when
// nothing failed and no exception is unwinding; otherwise it discards.
#pragma once
#include <functional>
#include <memory>

#include "containers/memory/KGrowingArray.h"
#include "containers/memory/KSimpleArray.h"
#include "storage/paged/KCompressedFile.h"
#include "storage/objectfile/KNamedFilePtr.h"
#include "storage/objectfile/KPersistance.h"

// One record head as read from the file. Old files' 'N' is given as 'I'.
struct FRecordHead {
  char m_tag = 0;        // 'O', 'E' or a value tag
  KPersistName m_type;   // object records: the type name
  KPersistName m_name;   // object or attribute name
  LONGLONG m_count = 0;  // attributes: number of values
  ULONGLONG m_start = 0; // logical position of the record
};

struct FObjectEntry {
  KPersistName m_type;
  KPersistName m_name;
  long m_parent = -1;   // index of the parent entry, -1 at file level
  long m_next = 0;      // index past the last descendant, once m_end is known
  ULONGLONG m_start = 0;  // position of the start record
  ULONGLONG m_body = 0;   // position after the start record
  ULONGLONG m_end = 0;    // position after the end record; 0 until it is indexed
};

// The header fields in the order of the file.
enum EHeaderField {
  kHdrMaxI32, kHdrMaxS, kHdrMaxB, kHdrMaxR, kHdrMaxC, kHdrMaxU32, kHdrApplication, kHdrVersion,
  kHdrLevel, kHdrMaxL32, kHdrMaxI64, kHdrMaxU64, kHdrMaxL64, kHdrMode, kHeaderFields
};

class KImplPersistance : public KPersistance {
 public:
  static constexpr int kMaxDepth = 100;
  static constexpr int kHeaderArea = 200;
  static constexpr int kFormatVersion = 104;
  static constexpr int kFirstWideVersion = 39;
  static constexpr const char* kFormatText = "QUELM object file format";

  ~KImplPersistance() override;
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // Before the first write: the numbers stored in the header.
  void setApplication(int number) { m_nApplication = number; }
  void setMode(int mode) { m_nMode = mode; }
  int getApplication() const { return m_nApplication; }
  int getMode() const { return m_nMode; }
  int getVersion() const { return m_nVersion; }
  bool hasOldIntegers() const { return m_bOldIntegers; }
  int getHeaderField(int field) const { return m_header[field]; }
  const KString& getFileName() const { return m_fileName; }

  // Opens the file (done by the first operation otherwise).
  void open();
  // Before a reader's open: how many bytes of records the open checks and
  // indexes before it returns (kCheckedAtOpen unless set; ULLONG_MAX for the
  // whole file, as tools that need every object first do; 0 for none).
  void setCheckedAtOpen(ULONGLONG bytes) { m_checkedAtOpen = bytes; }
  static constexpr ULONGLONG kCheckedAtOpen =
      static_cast<ULONGLONG>(KCompressedFile::kCacheLimit - 4) * KCompressedFile::kPageSize;
  // Opens a file being read for tools that list it once, front to back,
  // without the object index: kHeaderOnly reads and checks the header and
  // nothing else (no page is read); kStream also finds the pages, so that
  // readNextRecord can follow. Neither checks the record structure, which
  // the caller must do as it walks; enterObject and the readers by name
  // need open().
  enum EListing { kHeaderOnly, kStream };
  void openForListing(EListing listing);
  // Logical size of the data (after open() or openForListing(kStream)).
  ULONGLONG getLogicalSize() const { return m_logicalSize; }
  // Writer: completes the file and replaces the target (see above); throws on
  // failure. Reader: closes. Closing twice does nothing.
  void Close();

  // Record access for tools, in file order from the first record: the next
  // record's head, its values in the buffers below; false at the end.
  void rewindRecords();
  bool readNextRecord(FRecordHead& head);
  // Like readNextRecord, but the values of a real attribute go straight to
  // memory of the caller's, with no copy held by the reader: once the
  // representation has checked the count against the file, `place(count)`
  // answers room for `count` doubles (null throws CMemoryException, as a
  // heap failure does; an attribute without values asks for none). The
  // reader's buffers then hold none of them: getValueCount() is 0.
  bool readNextRecordPlacingReals(FRecordHead& head, const std::function<double*(long)>& place);
  // Like readNextRecord, but the values come in windows of at most `window`
  // values: `deliver(first, n)` is called for values [first, first + n),
  // which stand in the buffers below from index 0, so that the memory held
  // stays bounded whatever the count. C values of the text form come whole
  // (they stand on one line).
  template <class Deliver>
  bool readNextRecordWindowed(FRecordHead& head, long window, Deliver&& deliver) {
    std::function<void(long, long)> sink(std::forward<Deliver>(deliver));
    return readNextRecordIn(head, window, &sink);
  }
  // The objects indexed so far, in file order (all of them once the whole
  // file is checked).
  long getObjectCount() const { return m_objects.getCount(); }
  const FObjectEntry& getObject(long i) const { return m_objects[i]; }
  // Values of the record read last (valid for its tag): I, U and L values
  // widened to 64 bits, reals, booleans, characters, strings.
  long getValueCount() const { return m_nValues; }
  const LONGLONG* intValues() const { return m_ints.getData(); }
  const ULONGLONG* uintValues() const { return m_uints.getData(); }
  const double* realValues() const { return m_reals.getData(); }
  const bool* boolValues() const { return m_bools.getData(); }
  const KString& charValues() const { return m_chars; }
  const KString* stringValues() const { return m_strings.getData(); }

  // KPersistance
  KPersistName makeUniqueName(const KPersistName& base) override;
  KPersistance* getMirror() const override { return m_pMirror; }
  void setMirror(KPersistance* mirror) override;
  bool getCurrentObject(KPersistName& type, KPersistName& name) const override;
  void setNameDictionary(const KPersistNameDictionary* dictionary) override;
  const KPersistNameDictionary* getNameDictionary() const override { return m_pDictionary; }
  [[noreturn]] void fatalError(const KString& message) override;

  void writeI32(const KPersistName& name, long count, const int* values) override;
  void writeI32As64(const KPersistName& name, long count, const int* values) override;
  void writeI64(const KPersistName& name, long count, const LONGLONG* values) override;
  void writeS(const KPersistName& name, long count, const KString* values) override;
  void writeR(const KPersistName& name, long count, const double* values) override;
  void writeB(const KPersistName& name, long count, const bool* values) override;
  void writeC(const KPersistName& name, long count, const char* values) override;
  void writeU32(const KPersistName& name, long count, const UINT* values) override;
  void writeU32As64(const KPersistName& name, long count, const UINT* values) override;
  void writeU64(const KPersistName& name, long count, const ULONGLONG* values) override;
  void writeL64(const KPersistName& name, long count, const ULONGLONG* values) override;
  void writeL32(const KPersistName& name, long count, const UINT* values) override;

  int readInt(const KPersistName& name, int def, int lo = INT32_MIN, int hi = INT32_MAX) override;
  LONGLONG readInt64(const KPersistName& name, LONGLONG def, LONGLONG lo = INT64_MIN,
                     LONGLONG hi = INT64_MAX) override;
  UINT readUInt(const KPersistName& name, UINT def, UINT lo = 0, UINT hi = UINT32_MAX) override;
  ULONGLONG readUInt64(const KPersistName& name, ULONGLONG def, ULONGLONG lo = 0,
                       ULONGLONG hi = UINT64_MAX) override;
  ULONGLONG readLValue(const KPersistName& name, ULONGLONG def, ULONGLONG lo = 0,
                       ULONGLONG hi = UINT64_MAX) override;
  double readReal(const KPersistName& name, double def, double lo = -1.7976931348623157e308,
                  double hi = 1.7976931348623157e308) override;
  bool readBool(const KPersistName& name, bool def) override;
  char readChar(const KPersistName& name, char def) override;
  KString readString(const KPersistName& name, const KString& def) override;
  long readInts(const KPersistName& name, KSimpleArray<int>& out) override;
  long readInts64(const KPersistName& name, KSimpleArray<LONGLONG>& out) override;
  long readUInts(const KPersistName& name, KSimpleArray<UINT>& out) override;
  long readUInts64(const KPersistName& name, KSimpleArray<ULONGLONG>& out) override;
  long readLValues(const KPersistName& name, KSimpleArray<ULONGLONG>& out) override;
  long readReals(const KPersistName& name, KSimpleArray<double>& out) override;
  long readBools(const KPersistName& name, KSimpleArray<bool>& out) override;
  long readChars(const KPersistName& name, KString& out) override;
  long readStrings(const KPersistName& name, KSimpleArray<KString>& out) override;

  void beginObject(const KPersistName& type, const KPersistName& name) override;
  void endObject() override;
  void enterObject(const KPersistName& type, const KPersistName& name) override;
  void leaveObject() override;
  void leaveObjectsUpTo(const KPersistName& type, const KPersistName& name) override;
  bool objectExists(const KPersistName& type, const KPersistName& name) override;
  long findAttribute(char tag, const KPersistName& name) override;
  int getDepth() const override { return m_nDepth; }
  bool isWriting() const override { return m_bWriting; }

  // For tests: how many records the attribute searches have read so far,
  // and how many pages have been inflated.
  long getScannedRecords() const { return m_nScanned; }
  long getInflatedPageCount() const { return m_pFile->getInflatedPageCount(); }

 protected:
  // What a value array given to writeRecord holds.
  enum EValueKind { kInt32, kInt64, kUInt32, kUInt64, kReal, kBool, kChar, kString };
  struct FValues {
    EValueKind m_kind;
    const void* m_data;
  };

  KImplPersistance(const char* fileName, bool writing, int level, KCompressedFile* file);

  // Representation: open flags; header; records.
  virtual UINT openFlags() const = 0;
  virtual void writeHeader() = 0;
  // Reads and checks the raw header into m_header (CFileException when it is
  // not an object file) and answers the logical position of the first record.
  virtual ULONGLONG readHeader() = 0;
  virtual void writeObjectStart(const KPersistName& type, const KPersistName& name) = 0;
  virtual void writeObjectEnd(const KPersistName& type, const KPersistName& name) = 0;
  virtual void writeRecord(char tag, const KPersistName& name, long count, FValues values) = 0;
  // Reads the head of the record at the current position; false at the end
  // of the data.
  virtual bool readRecordHead(FRecordHead& head) = 0;
  // Right after readRecordHead of an attribute: moves past its values,
  // keeping them in the buffers when `keep` (otherwise they may be dropped).
  virtual void readRecordValues(const FRecordHead& head, bool keep) = 0;

  // For the destructors of the concrete classes: completes an unclosed
  // writer (see above) while the representation still exists.
  void closeFromDestructor() noexcept;
  [[noreturn]] void throwBadFile() const;
  // Bytes of the logical stream after the current position.
  ULONGLONG remainingBytes();
  // Makes room for `count` values of the record's tag (one window of them
  // when the values come windowed) and sets m_nValues; throws
  // CMemoryException when the heap cannot give it.
  void prepareValues(char tag, long count);
  // Where value i of the record being read goes in the buffers: i itself,
  // unless the values come in windows, when a full window is handed on
  // first and i lands in the next one.
  long slot(long i) {
    if (i - m_nWindowStart >= m_nWindow) deliverWindow(i);
    return i - m_nWindowStart;
  }
  // How many values from i on fit the window that i lands in.
  long windowRoom(long i, long count) { return std::min(count - i, m_nWindow - slot(i)); }
  // The buffers the record's values go to: the reader's own, or the
  // caller's array while an array reader fills it directly.
  KSimpleArray<LONGLONG>& ints() { return *m_pInts; }
  KSimpleArray<ULONGLONG>& uints() { return *m_pUInts; }
  KSimpleArray<double>& reals() { return *m_pReals; }
  KSimpleArray<bool>& bools() { return *m_pBools; }
  KString& chars() { return *m_pChars; }
  KSimpleArray<KString>& strings() { return *m_pStrings; }
  KString nameText(const KPersistName& name) const { return name.getText(m_pDictionary); }

  KString m_fileName;
  bool m_bWriting;
  bool m_bOldIntegers = false;
  int m_nApplication = 0;
  int m_nVersion = kFormatVersion;
  int m_header[kHeaderFields] = {};
  std::unique_ptr<KCompressedFile> m_pFile;
  ULONGLONG m_logicalSize = 0;

  KHSimpleArray<LONGLONG> m_ints;
  KHSimpleArray<ULONGLONG> m_uints;
  KHSimpleArray<double> m_reals;
  KHSimpleArray<bool> m_bools;
  KString m_chars;
  KHSimpleArray<KString> m_strings;
  long m_nValues = 0;

 private:
  struct FFrame {
    long m_object = -1;
    ULONGLONG m_scanPos = 0;
    bool m_bScanned = false;
    KNamedFilePtrTree m_index;
  };

  void ensureOpen();
  void ensureReading();
  void ensureWriting();
  void openForWriting();
  void openForReading();
  // How much a reader's open does: the values of EListing, then the rest.
  enum EReading { kHeader = kHeaderOnly, kStreamed = kStream, kFull };
  void openRead(EReading reading);
  // The object index, grown from its frontier (see above).
  bool isClosed(long object) const { return object < 0 ? m_bIndexed : m_objects[object].m_end != 0; }
  template <class Done>
  void indexUntil(Done&& done);
  void indexRecord(const FRecordHead& head, ULONGLONG after);
  // After the reader has passed a record (head and values): takes it into
  // the index when it stands at the frontier.
  void passRecord(const FRecordHead& head) {
    if (!m_bIndexed && head.m_start == m_indexPos) indexRecord(head, m_pFile->GetPosition());
  }
  void discard() noexcept;
  void commit();
  void rethrowNamed(const CFileException& e) const;
  void raiseMaximum(int field, long count);
  template <class F>
  void guardedWrite(F&& f);
  void putRecord(char tag, int field, const KPersistName& name, long count, FValues values);
  long childObject(long parent, const KPersistName& type, const KPersistName& name);
  long objectAt(ULONGLONG start) const;
  // The algorithm of every reader: true with the record's values loaded.
  bool locate(char tag, const KPersistName& name);
  bool locateSingle(char tag, const KPersistName& name);
  bool readNextRecordIn(FRecordHead& head, long window, std::function<void(long, long)>* sink);
  void deliverWindow(long next);
  template <class T>
  long readDirect(char tag, const KPersistName& name, T& out, T*& target);
  // Reads the next attribute head of an object body from the file position,
  // skipping nested objects whole; false at the object's end record.
  bool nextAttributeHead(FRecordHead& head);
  // Looks for (tag, name) through the whole body of the frame's object, past
  // the index; true with the record's values loaded.
  bool rescan(const FFrame& f, char tag, const KPersistName& name);
  void clearRecord() { m_bHaveRecord = false; }

  int m_nLevel;
  int m_nMode = 0;
  KString m_tempName;
  bool m_bOpen = false;
  bool m_bClosed = false;
  bool m_bBroken = false;
  int m_nUncaught = 0;
  ULONGLONG m_streamStart = 0;

  FRecordHead m_record;
  bool m_bHaveRecord = false;
  bool m_bLoaded = false;

  KPersistance* m_pMirror = nullptr;
  const KPersistNameDictionary* m_pDictionary = nullptr;
  int m_nUnique = 0;

  KHGrowingArray<FObjectEntry> m_objects;
  ULONGLONG m_checkedAtOpen = kCheckedAtOpen;
  // The index's frontier: where its next record starts, the objects open
  // there, and whether the index holds the whole file.
  ULONGLONG m_indexPos = 0;
  long m_indexStack[kMaxDepth] = {};
  int m_nIndexDepth = 0;
  bool m_bIndexed = true;
  FFrame m_frames[kMaxDepth];
  KPersistName m_openTypes[kMaxDepth];
  KPersistName m_openNames[kMaxDepth];
  int m_nDepth = 0;
  long m_nScanned = 0;

  KSimpleArray<LONGLONG>* m_pInts = &m_ints;
  KSimpleArray<ULONGLONG>* m_pUInts = &m_uints;
  KSimpleArray<double>* m_pReals = &m_reals;
  KSimpleArray<bool>* m_pBools = &m_bools;
  KString* m_pChars = &m_chars;
  KSimpleArray<KString>* m_pStrings = &m_strings;
  // Set while an array reader fills the caller's array: prepareValues sizes
  // it exactly.
  bool m_bDirect = false;
  // Windowed values: the window's size (the whole count otherwise), the
  // index of its first value, and where full windows go.
  long m_nWindow = kArraySizeLimit;
  long m_nWindowStart = 0;
  std::function<void(long, long)>* m_pSink = nullptr;
};
