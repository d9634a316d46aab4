// KPersistance: the save/load interface every persistent class writes to and
// reads from. An object file is a sequence of nested objects; each object
// holds named attributes, arrays of one value type each:
//
//   tag  values               tag  values
//   B    booleans             U    unsigned integers (32- or 64-bit)
//   C    characters           L    unsigned integers of a second kind
//   I    signed integers      R    reals (IEEE double)
//   S    strings
//
// Writing: beginObject, the typed array writers (directly or through the
// single-value writers), nested objects, endObject. Reading: enterObject,
// readers by attribute name in any order (a missing attribute gives the
// caller's default), leaveObject. Format and file errors throw
// CFileException by value; a heap request that cannot be met throws
// CMemoryException.
//
// Size limit: one attribute holds at most kMaxAttributeValues
// (536,870,911 = 2^29 - 1) values, in both forms, so that every count fits
// the arrays the readers fill. A writer given more throws
// KAttributeTooLargeException naming the file and the attribute, before
// anything of the attribute is written (the file stays usable); a reader
// refuses a record that claims more as a damaged file. Larger data is split
// over several attributes or objects by its owner.
//
// A persistence object may have a mirror, another persistence object that
// receives every write made here; the mirror is owned and deleted with it.
#pragma once
#include <cstdint>

#include "core/application/KObject.h"
#include "containers/memory/KSimpleArray.h"
#include "storage/objectfile/KPersistName.h"
#include "platform/KExceptions.h"
#include "platform/KString.h"
#include "platform/KWinTypes.h"

constexpr long kMaxAttributeValues = kArraySizeLimit - 1;

// An attribute of more than kMaxAttributeValues values was given to a
// writer. An invalid argument, so callers that catch those see it too.
class KAttributeTooLargeException : public CInvalidArgException {
 public:
  KAttributeTooLargeException(const KString& fileName, const KString& attribute, long long count)
      : m_strFileName(fileName), m_strAttribute(attribute), m_nCount(count) {}
  BOOL GetErrorMessage(KString& message) const override;

  KString m_strFileName;
  KString m_strAttribute;
  long long m_nCount;
};

class KPersistance : public KObject {
 public:
  KPersistance() = default;
  KPersistance(const KPersistance&) = delete;
  KPersistance& operator=(const KPersistance&) = delete;
  ~KPersistance() override = default;
  long getSizeOfThis() const override { return 20; }

  // -- names -------------------------------------------------------------
  // A name not used before by this object: "<base>Unique<n>" for a text
  // name, the same m_nId with the next free m_nIndex for a numeric one.
  virtual KPersistName makeUniqueName(const KPersistName& base) = 0;

  // -- mirror, current object, dictionary, errors --------------------------
  virtual KPersistance* getMirror() const = 0;
  // Takes ownership of `mirror` (null: none); an earlier mirror is deleted.
  virtual void setMirror(KPersistance* mirror) = 0;
  // Type and object name of the current object; false at file level.
  virtual bool getCurrentObject(KPersistName& type, KPersistName& name) const = 0;
  // Sets the dictionary of numeric names here and on the mirror.
  virtual void setNameDictionary(const KPersistNameDictionary* dictionary) = 0;
  virtual const KPersistNameDictionary* getNameDictionary() const = 0;
  // Shows `message` through the message box and ends the operation with
  // CFileException(genericException, -1, file name).
  [[noreturn]] virtual void fatalError(const KString& message) = 0;
  virtual void housekeeping() {}

  // -- convenience writers (forward to the typed array writers) -----------
  void writeInt(const KPersistName& name, LONGLONG value) { writeI64(name, 1, &value); }
  void writeUInt(const KPersistName& name, ULONGLONG value) { writeU64(name, 1, &value); }
  void writeLValue(const KPersistName& name, ULONGLONG value) { writeL64(name, 1, &value); }
  void writeReal(const KPersistName& name, double value) { writeR(name, 1, &value); }
  void writeBool(const KPersistName& name, bool value) { writeB(name, 1, &value); }
  void writeChar(const KPersistName& name, char value) { writeC(name, 1, &value); }
  void writeString(const KPersistName& name, const KString& value) { writeS(name, 1, &value); }
  void writeChars(const KPersistName& name, const KString& text) {
    writeC(name, text.GetLength(), text.GetString());
  }
  void writeInts(const KPersistName& name, const KSimpleArray<int>& a) {
    writeI32As64(name, a.getValidCount(), a.getData());
  }
  void writeReals(const KPersistName& name, const KSimpleArray<double>& a) {
    writeR(name, a.getValidCount(), a.getData());
  }

  // -- typed array writers: one attribute record each ----------------------
  // Each writes `count` values (count >= 0) under `name`, raises the
  // type's maximum count and repeats the call on the mirror.
  virtual void writeI32(const KPersistName& name, long count, const int* values) = 0;
  virtual void writeI32As64(const KPersistName& name, long count, const int* values) = 0;
  virtual void writeI64(const KPersistName& name, long count, const LONGLONG* values) = 0;
  virtual void writeS(const KPersistName& name, long count, const KString* values) = 0;
  virtual void writeR(const KPersistName& name, long count, const double* values) = 0;
  virtual void writeB(const KPersistName& name, long count, const bool* values) = 0;
  virtual void writeC(const KPersistName& name, long count, const char* values) = 0;
  virtual void writeU32(const KPersistName& name, long count, const UINT* values) = 0;
  virtual void writeU32As64(const KPersistName& name, long count, const UINT* values) = 0;
  virtual void writeU64(const KPersistName& name, long count, const ULONGLONG* values) = 0;
  virtual void writeL64(const KPersistName& name, long count, const ULONGLONG* values) = 0;
  virtual void writeL32(const KPersistName& name, long count, const UINT* values) = 0;

  // -- typed readers --------------------------------------------------------
  // Single values: the attribute of the type's tag with exactly one value,
  // clamped to [lo, hi]; `def` when it is missing. A value outside the
  // result's range yields the bound on its side. The undefined real and NaN
  // pass unclamped.
  virtual int readInt(const KPersistName& name, int def, int lo = INT32_MIN, int hi = INT32_MAX) = 0;
  virtual LONGLONG readInt64(const KPersistName& name, LONGLONG def, LONGLONG lo = INT64_MIN,
                             LONGLONG hi = INT64_MAX) = 0;
  virtual UINT readUInt(const KPersistName& name, UINT def, UINT lo = 0, UINT hi = UINT32_MAX) = 0;
  virtual ULONGLONG readUInt64(const KPersistName& name, ULONGLONG def, ULONGLONG lo = 0,
                               ULONGLONG hi = UINT64_MAX) = 0;
  virtual ULONGLONG readLValue(const KPersistName& name, ULONGLONG def, ULONGLONG lo = 0,
                               ULONGLONG hi = UINT64_MAX) = 0;
  virtual double readReal(const KPersistName& name, double def, double lo = -1.7976931348623157e308,
                          double hi = 1.7976931348623157e308) = 0;
  virtual bool readBool(const KPersistName& name, bool def) = 0;
  virtual char readChar(const KPersistName& name, char def) = 0;
  virtual KString readString(const KPersistName& name, const KString& def) = 0;
  // Arrays: the count, with the values in `out` (resized to it); -1 and
  // `out` untouched when the attribute is missing. 32-bit results saturate.
  virtual long readInts(const KPersistName& name, KSimpleArray<int>& out) = 0;
  virtual long readInts64(const KPersistName& name, KSimpleArray<LONGLONG>& out) = 0;
  virtual long readUInts(const KPersistName& name, KSimpleArray<UINT>& out) = 0;
  virtual long readUInts64(const KPersistName& name, KSimpleArray<ULONGLONG>& out) = 0;
  virtual long readLValues(const KPersistName& name, KSimpleArray<ULONGLONG>& out) = 0;
  virtual long readReals(const KPersistName& name, KSimpleArray<double>& out) = 0;
  virtual long readBools(const KPersistName& name, KSimpleArray<bool>& out) = 0;
  virtual long readChars(const KPersistName& name, KString& out) = 0;
  virtual long readStrings(const KPersistName& name, KSimpleArray<KString>& out) = 0;

  // -- object structure and navigation -------------------------------------
  // Writing: start a nested object (at most 100 levels) and end the
  // innermost one; both are repeated on the mirror.
  virtual void beginObject(const KPersistName& type, const KPersistName& name) = 0;
  virtual void endObject() = 0;
  // Reading: make the child object (type, name) of the current object
  // current; a missing object throws CFileException.
  virtual void enterObject(const KPersistName& type, const KPersistName& name) = 0;
  virtual void leaveObject() = 0;
  // Leaves objects until (type, name) is current; throws CFileException and
  // leaves nothing when no open object matches.
  virtual void leaveObjectsUpTo(const KPersistName& type, const KPersistName& name) = 0;
  // Whether the current object has a child object (type, name).
  virtual bool objectExists(const KPersistName& type, const KPersistName& name) = 0;
  // Finds the attribute `name` of `tag` (any count) in the current object
  // and makes it the current record: its count, or -1 when it is missing.
  virtual long findAttribute(char tag, const KPersistName& name) = 0;
  // Current nesting depth (0 at file level).
  virtual int getDepth() const = 0;
  virtual bool isWriting() const = 0;
};
