#include "storage/objectfile/KImplPersistance.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "platform/KFileSystem.h"
#include "platform/KMessageBox.h"

namespace {
constexpr double kUndefinedReal = 2.2250738585072014e-308;

template <class T>
T clampTo(T value, T lo, T hi) {
  if (value < lo) return lo;
  if (value > hi) return hi;
  return value;
}

// The folder of a path ("." when it has none) and its last component.
void splitPath(const KString& path, KString& folder, KString& file) {
  int slash = path.ReverseFind('/');
  folder = slash < 0 ? KString(".") : (slash == 0 ? KString("/") : path.Left(slash));
  file = slash < 0 ? path : path.Mid(slash + 1);
}
}  // namespace

KImplPersistance::KImplPersistance(const char* fileName, bool writing, int level, KCompressedFile* file)
    : m_fileName(fileName), m_bWriting(writing), m_pFile(file), m_nLevel(writing ? level : 1) {
  m_nUncaught = std::uncaught_exceptions();
  for (int f : {kHdrMaxI32, kHdrMaxS, kHdrMaxB, kHdrMaxR, kHdrMaxC, kHdrMaxU32, kHdrMaxL32, kHdrMaxI64,
                kHdrMaxU64, kHdrMaxL64})
    m_header[f] = 1;
}

KImplPersistance::~KImplPersistance() {
  if (m_bWriting && m_bOpen && !m_bClosed) discard();
  delete m_pMirror;
}

void KImplPersistance::closeFromDestructor() noexcept {
  if (!m_bWriting || !m_bOpen || m_bClosed) return;
  if (m_bBroken || m_nDepth != 0 || std::uncaught_exceptions() > m_nUncaught) {
    discard();
    return;
  }
  try {
    Close();
  } catch (...) {
  }
}

void KImplPersistance::throwBadFile() const {
  AfxThrowFileException(CFileException::genericException, -1, m_fileName);
}

void KImplPersistance::rethrowNamed(const CFileException& e) const {
  CFileException named(e);
  named.m_strFileName = m_fileName;
  throw named;
}

// ---- open and close ---------------------------------------------------------

void KImplPersistance::open() { ensureOpen(); }

void KImplPersistance::ensureOpen() {
  if (m_bOpen) return;
  if (m_bClosed) AfxThrowFileException(CFileException::invalidFile, -1, m_fileName);
  if (m_bWriting)
    openForWriting();
  else
    openForReading();
}

void KImplPersistance::ensureReading() {
  if (m_bWriting) AfxThrowInvalidArgException();
  ensureOpen();
}

void KImplPersistance::ensureWriting() {
  if (!m_bWriting) AfxThrowInvalidArgException();
  if (m_bBroken) throwBadFile();
  ensureOpen();
}

void KImplPersistance::openForWriting() {
  if (m_nLevel < 0 || m_nLevel > 9) AfxThrowInvalidArgException();
  KString folder, file;
  splitPath(m_fileName, folder, file);
  int rc = KFileSystem::Current()->createTempFile(folder, file + "~", m_tempName);
  if (rc) CFileException::ThrowOsError(rc, m_fileName);
  try {
    CFileException error;
    if (!m_pFile->m_file.Open(m_tempName, openFlags(), &error)) rethrowNamed(error);
    m_bOpen = true;
    m_pFile->SetHeaderSize(kHeaderArea);
    m_pFile->SetCompressionLevel(m_nLevel);
    if (m_nLevel == 0) writeHeader();
  } catch (const CFileException& e) {
    discard();
    m_bClosed = true;
    rethrowNamed(e);
  } catch (...) {
    discard();
    m_bClosed = true;
    throw;
  }
}

void KImplPersistance::openForReading() {
  openRead(kFull);
  delete m_pMirror;
  m_pMirror = nullptr;
}

void KImplPersistance::openForListing(EListing listing) {
  if (m_bWriting) AfxThrowInvalidArgException();
  if (m_bOpen) return;
  if (m_bClosed) AfxThrowFileException(CFileException::invalidFile, -1, m_fileName);
  openRead(static_cast<EReading>(listing));
}

// Opens, reads and applies the header; then, but for the header alone, finds
// the pages and the logical size; then, for a full open, builds the object
// index. A failure closes the file again.
void KImplPersistance::openRead(EReading reading) {
  CFileException error;
  if (!m_pFile->m_file.Open(m_fileName, openFlags(), &error)) rethrowNamed(error);
  m_bOpen = true;
  m_pFile->SetHeaderSize(kHeaderArea);
  try {
    m_streamStart = readHeader();
    int level = m_header[kHdrLevel];
    if (level < 0 || level > 9) throwBadFile();
    m_nLevel = level;
    m_nApplication = m_header[kHdrApplication];
    m_nVersion = m_header[kHdrVersion];
    m_nMode = m_header[kHdrMode];
    m_bOldIntegers = m_nVersion < kFirstWideVersion;
    m_pFile->SetCompressionLevel(level);
    if (reading == kHeader) return;
    m_pFile->SetSparsePageTable(reading == kStreamed);
    if (level == 0) {
      m_logicalSize = m_pFile->m_file.GetLength();
    } else {
      m_pFile->Seek(0, CFile::begin);  // builds the page table
      m_logicalSize = m_pFile->GetDataLength();
    }
    if (m_streamStart > m_logicalSize) throwBadFile();
    if (reading == kFull) {
      m_indexPos = m_streamStart;
      m_bIndexed = false;
      const ULONGLONG checked = m_checkedAtOpen;
      indexUntil([&] { return m_indexPos - m_streamStart >= checked; });
    } else {
      m_pFile->Seek(static_cast<LONGLONG>(m_streamStart), CFile::begin);
    }
  } catch (...) {
    m_pFile->m_file.Abort();
    m_bOpen = false;
    m_bClosed = true;
    throw;
  }
}

void KImplPersistance::discard() noexcept {
  try {
    m_pFile->m_file.Abort();
  } catch (...) {
  }
  if (!m_tempName.IsEmpty()) {
    KFileSystem::Current()->remove(m_tempName);
    m_tempName.Empty();
  }
  m_bClosed = true;
}

void KImplPersistance::commit() {
  if (m_nDepth != 0 || m_bBroken) throwBadFile();
  if (m_pMirror) {
    if (auto* mirror = dynamic_cast<KImplPersistance*>(m_pMirror)) mirror->Close();
  }
  writeHeader();
  m_pFile->Close();
  if (int rc = KFileSystem::Current()->replaceFile(m_tempName, m_fileName)) CFileException::ThrowOsError(rc, m_fileName);
  m_tempName.Empty();
}

void KImplPersistance::Close() {
  if (m_bClosed) return;
  if (!m_bWriting) {
    m_bClosed = true;
    if (m_bOpen) m_pFile->Close();
    return;
  }
  try {
    ensureOpen();
    commit();
    m_bClosed = true;
  } catch (const CFileException& e) {
    discard();
    rethrowNamed(e);
  } catch (...) {
    discard();
    throw;
  }
}

// ---- names, mirror, errors ---------------------------------------------------

KPersistName KImplPersistance::makeUniqueName(const KPersistName& base) {
  ++m_nUnique;
  if (base.isNumeric()) return KPersistName(base.m_nId, base.m_nIndex + m_nUnique, base.m_name);
  KString text;
  text.Format("%sUnique%d", base.m_name.GetString(), m_nUnique);
  return KPersistName(text);
}

void KImplPersistance::setMirror(KPersistance* mirror) {
  if (mirror == m_pMirror) return;
  delete m_pMirror;
  m_pMirror = mirror;
}

void KImplPersistance::setNameDictionary(const KPersistNameDictionary* dictionary) {
  m_pDictionary = dictionary;
  if (m_pMirror) m_pMirror->setNameDictionary(dictionary);
}

bool KImplPersistance::getCurrentObject(KPersistName& type, KPersistName& name) const {
  if (m_nDepth == 0) return false;
  if (m_bWriting) {
    type = m_openTypes[m_nDepth - 1];
    name = m_openNames[m_nDepth - 1];
  } else {
    const FObjectEntry& e = m_objects[m_frames[m_nDepth - 1].m_object];
    type = e.m_type;
    name = e.m_name;
  }
  return true;
}

void KImplPersistance::fatalError(const KString& message) {
  AfxMessageBox(message);
  throwBadFile();
}

// ---- writing -----------------------------------------------------------------

template <class F>
void KImplPersistance::guardedWrite(F&& f) {
  ensureWriting();
  try {
    f();
  } catch (const CFileException& e) {
    m_bBroken = true;
    rethrowNamed(e);
  } catch (...) {
    m_bBroken = true;
    throw;
  }
}

void KImplPersistance::raiseMaximum(int field, long count) {
  if (count > m_header[field]) m_header[field] = static_cast<int>(std::min<long>(count, INT32_MAX));
}

void KImplPersistance::putRecord(char tag, int field, const KPersistName& name, long count, FValues values) {
  if (count > kMaxAttributeValues) {
    // A numeric name without a dictionary text is shown by its numbers.
    KString shown = nameText(name);
    if (shown.IsEmpty() && name.isNumeric()) shown.Format("#%d.%d", name.m_nId, name.m_nIndex);
    throw KAttributeTooLargeException(m_fileName, shown, count);
  }
  if (count < 0 || (count > 0 && !values.m_data)) AfxThrowInvalidArgException();
  // Every attribute belongs to an object: the reader finds attributes only
  // inside one, so a file with one outside could not be read back.
  if (m_nDepth == 0) AfxThrowInvalidArgException();
  guardedWrite([&] { writeRecord(tag, name, count, values); });
  raiseMaximum(field, count);
  if (m_pMirror) {
    switch (values.m_kind) {
      case kInt32:
        if (field == kHdrMaxI32) m_pMirror->writeI32(name, count, static_cast<const int*>(values.m_data));
        else m_pMirror->writeI32As64(name, count, static_cast<const int*>(values.m_data));
        break;
      case kInt64: m_pMirror->writeI64(name, count, static_cast<const LONGLONG*>(values.m_data)); break;
      case kUInt32:
        if (field == kHdrMaxU32) m_pMirror->writeU32(name, count, static_cast<const UINT*>(values.m_data));
        else if (field == kHdrMaxU64) m_pMirror->writeU32As64(name, count, static_cast<const UINT*>(values.m_data));
        else m_pMirror->writeL32(name, count, static_cast<const UINT*>(values.m_data));
        break;
      case kUInt64:
        if (tag == 'U') m_pMirror->writeU64(name, count, static_cast<const ULONGLONG*>(values.m_data));
        else m_pMirror->writeL64(name, count, static_cast<const ULONGLONG*>(values.m_data));
        break;
      case kReal: m_pMirror->writeR(name, count, static_cast<const double*>(values.m_data)); break;
      case kBool: m_pMirror->writeB(name, count, static_cast<const bool*>(values.m_data)); break;
      case kChar: m_pMirror->writeC(name, count, static_cast<const char*>(values.m_data)); break;
      case kString: m_pMirror->writeS(name, count, static_cast<const KString*>(values.m_data)); break;
    }
  }
}

void KImplPersistance::writeI32(const KPersistName& n, long c, const int* v) { putRecord('I', kHdrMaxI32, n, c, {kInt32, v}); }
void KImplPersistance::writeI32As64(const KPersistName& n, long c, const int* v) { putRecord('I', kHdrMaxI64, n, c, {kInt32, v}); }
void KImplPersistance::writeI64(const KPersistName& n, long c, const LONGLONG* v) { putRecord('I', kHdrMaxI64, n, c, {kInt64, v}); }
void KImplPersistance::writeS(const KPersistName& n, long c, const KString* v) { putRecord('S', kHdrMaxS, n, c, {kString, v}); }
void KImplPersistance::writeR(const KPersistName& n, long c, const double* v) { putRecord('R', kHdrMaxR, n, c, {kReal, v}); }
void KImplPersistance::writeB(const KPersistName& n, long c, const bool* v) { putRecord('B', kHdrMaxB, n, c, {kBool, v}); }
void KImplPersistance::writeC(const KPersistName& n, long c, const char* v) { putRecord('C', kHdrMaxC, n, c, {kChar, v}); }
void KImplPersistance::writeU32(const KPersistName& n, long c, const UINT* v) { putRecord('U', kHdrMaxU32, n, c, {kUInt32, v}); }
void KImplPersistance::writeU32As64(const KPersistName& n, long c, const UINT* v) { putRecord('U', kHdrMaxU64, n, c, {kUInt32, v}); }
void KImplPersistance::writeU64(const KPersistName& n, long c, const ULONGLONG* v) { putRecord('U', kHdrMaxU64, n, c, {kUInt64, v}); }
void KImplPersistance::writeL64(const KPersistName& n, long c, const ULONGLONG* v) { putRecord('L', kHdrMaxL64, n, c, {kUInt64, v}); }
void KImplPersistance::writeL32(const KPersistName& n, long c, const UINT* v) { putRecord('L', kHdrMaxL32, n, c, {kUInt32, v}); }

void KImplPersistance::beginObject(const KPersistName& type, const KPersistName& name) {
  ensureWriting();
  if (m_nDepth >= kMaxDepth) AfxThrowFileException(CFileException::genericException, -1, m_fileName);
  guardedWrite([&] { writeObjectStart(type, name); });
  m_openTypes[m_nDepth] = type;
  m_openNames[m_nDepth] = name;
  ++m_nDepth;
  if (m_pMirror) m_pMirror->beginObject(type, name);
}

void KImplPersistance::endObject() {
  ensureWriting();
  if (m_nDepth == 0) AfxThrowInvalidArgException();
  guardedWrite([&] { writeObjectEnd(m_openTypes[m_nDepth - 1], m_openNames[m_nDepth - 1]); });
  --m_nDepth;
  if (m_pMirror) m_pMirror->endObject();
}

// ---- the object index ------------------------------------------------------

ULONGLONG KImplPersistance::remainingBytes() {
  ULONGLONG pos = m_pFile->GetPosition();
  return pos < m_logicalSize ? m_logicalSize - pos : 0;
}

// The frontier's record has been read, head and values; `after` is where the
// next one starts. Checks that the structure stays sound.
void KImplPersistance::indexRecord(const FRecordHead& head, ULONGLONG after) {
  if (after <= m_indexPos) throwBadFile();
  if (head.m_tag == 'O') {
    if (m_nIndexDepth >= kMaxDepth) throwBadFile();
    FObjectEntry entry;
    entry.m_type = head.m_type;
    entry.m_name = head.m_name;
    entry.m_parent = m_nIndexDepth ? m_indexStack[m_nIndexDepth - 1] : -1;
    entry.m_start = m_indexPos;
    entry.m_body = after;
    long at = m_objects.add(entry, std::max(16L, m_objects.getCount()));
    if (at < 0) AfxThrowMemoryException();
    m_indexStack[m_nIndexDepth++] = at;
  } else if (head.m_tag == 'E') {
    if (m_nIndexDepth == 0) throwBadFile();
    FObjectEntry& entry = m_objects[m_indexStack[--m_nIndexDepth]];
    entry.m_end = after;
    entry.m_next = m_objects.getCount();
  } else if (m_nIndexDepth == 0) {
    throwBadFile();
  }
  m_indexPos = after;
}

// Indexes records from the frontier until `done()` holds or the data ends.
// The file position is left where the pass stopped.
template <class Done>
void KImplPersistance::indexUntil(Done&& done) {
  if (m_bIndexed || done()) return;
  m_pFile->Seek(static_cast<LONGLONG>(m_indexPos), CFile::begin);
  FRecordHead head;
  do {
    head.m_start = m_indexPos;
    if (!readRecordHead(head)) {
      if (m_nIndexDepth != 0) throwBadFile();
      m_bIndexed = true;
      return;
    }
    if (head.m_tag != 'O' && head.m_tag != 'E') readRecordValues(head, false);
    indexRecord(head, m_pFile->GetPosition());
  } while (!done());
}

// The children of `parent` are found by jumping from each to the entry past
// its descendants; the index is grown only as far as the search needs.
long KImplPersistance::childObject(long parent, const KPersistName& type, const KPersistName& name) {
  long i = parent < 0 ? 0 : parent + 1;
  for (;;) {
    indexUntil([&] { return i < m_objects.getCount() || isClosed(parent); });
    if (i >= m_objects.getCount()) return -1;
    if (parent >= 0 && isClosed(parent) && i >= m_objects[parent].m_next) return -1;
    const FObjectEntry& e = m_objects[i];
    if (e.m_type == type && e.m_name == name) return i;
    indexUntil([&] { return isClosed(i); });
    i = m_objects[i].m_next;
  }
}

long KImplPersistance::objectAt(ULONGLONG start) const {
  long lo = 0, hi = m_objects.getCount();
  while (lo < hi) {
    long mid = lo + (hi - lo) / 2;
    if (m_objects[mid].m_start < start) lo = mid + 1;
    else hi = mid;
  }
  return lo < m_objects.getCount() && m_objects[lo].m_start == start ? lo : -1;
}

// ---- navigation ----------------------------------------------------------------

void KImplPersistance::enterObject(const KPersistName& type, const KPersistName& name) {
  ensureReading();
  if (m_nDepth >= kMaxDepth) throwBadFile();
  long parent = m_nDepth ? m_frames[m_nDepth - 1].m_object : -1;
  long found = childObject(parent, type, name);
  // childObject has indexed the whole file when the top level misses.
  if (found < 0 && parent < 0 && m_objects.getCount() > 0 && m_objects[0].m_next == m_objects.getCount())
    found = 0;  // the one top-level object
  if (found < 0) throwBadFile();
  clearRecord();
  FFrame& f = m_frames[m_nDepth++];
  f.m_object = found;
  f.m_scanPos = m_objects[found].m_body;
  f.m_bScanned = false;
  f.m_index.emptyTree(f.m_index, true, false);
}

void KImplPersistance::leaveObject() {
  ensureReading();
  if (m_nDepth == 0) AfxThrowInvalidArgException();
  clearRecord();
  FFrame& f = m_frames[--m_nDepth];
  f.m_object = -1;
  f.m_scanPos = 0;
  f.m_bScanned = false;
  f.m_index.emptyTree(f.m_index, true, false);
}

void KImplPersistance::leaveObjectsUpTo(const KPersistName& type, const KPersistName& name) {
  ensureReading();
  int target = m_nDepth - 1;
  for (; target >= 0; --target) {
    const FObjectEntry& e = m_objects[m_frames[target].m_object];
    if (e.m_type == type && e.m_name == name) break;
  }
  if (target < 0) throwBadFile();
  while (m_nDepth - 1 > target) leaveObject();
}

bool KImplPersistance::objectExists(const KPersistName& type, const KPersistName& name) {
  ensureReading();
  return childObject(m_nDepth ? m_frames[m_nDepth - 1].m_object : -1, type, name) >= 0;
}

void KImplPersistance::rewindRecords() {
  ensureReading();
  clearRecord();
  m_pFile->Seek(static_cast<LONGLONG>(m_streamStart), CFile::begin);
}

bool KImplPersistance::readNextRecord(FRecordHead& head) { return readNextRecordIn(head, kArraySizeLimit, nullptr); }

bool KImplPersistance::readNextRecordIn(FRecordHead& head, long window, std::function<void(long, long)>* sink) {
  ensureReading();
  clearRecord();
  head.m_start = m_pFile->GetPosition();
  if (!readRecordHead(head)) return false;
  if (head.m_tag == 'O' || head.m_tag == 'E') {
    m_nValues = 0;
    return true;
  }
  m_nWindow = sink ? std::max(window, 1L) : kArraySizeLimit;
  m_nWindowStart = 0;
  m_pSink = sink;
  try {
    readRecordValues(head, true);
    if (sink && m_nValues > m_nWindowStart) deliverWindow(m_nValues);
  } catch (...) {
    m_nWindow = kArraySizeLimit;
    m_pSink = nullptr;
    throw;
  }
  m_nWindow = kArraySizeLimit;
  m_pSink = nullptr;
  return true;
}

namespace {

// The array the reals of one record are read into: its storage is the
// caller's memory, asked for once the count is known and never released
// here.
class KPlacedReals : public KSimpleArray<double> {
 public:
  explicit KPlacedReals(const std::function<double*(long)>& place) : m_place(place) {}
  double* allocateStorage(unsigned& kind, long n) override {
    kind = kStorageNone;
    return m_place(n);
  }
  void releaseStorage(unsigned, double*, long) override {}

 private:
  const std::function<double*(long)>& m_place;
};

}  // namespace

bool KImplPersistance::readNextRecordPlacingReals(FRecordHead& head, const std::function<double*(long)>& place) {
  ensureReading();
  clearRecord();
  head.m_start = m_pFile->GetPosition();
  if (!readRecordHead(head)) return false;
  m_nValues = 0;
  if (head.m_tag == 'O' || head.m_tag == 'E') return true;
  if (head.m_tag != 'R') {
    readRecordValues(head, true);
    return true;
  }
  // As readDirect does: prepareValues sizes the array exactly, which asks
  // `place` for the room.
  KPlacedReals placed(place);
  KSimpleArray<double>* own = m_pReals;
  m_pReals = &placed;
  m_bDirect = true;
  try {
    readRecordValues(head, true);
  } catch (...) {
    m_pReals = own;
    m_bDirect = false;
    throw;
  }
  m_pReals = own;
  m_bDirect = false;
  m_nValues = 0;  // none of them is in the reader's buffer
  return true;
}

void KImplPersistance::deliverWindow(long next) {
  if (m_pSink) (*m_pSink)(m_nWindowStart, next - m_nWindowStart);
  m_nWindowStart = next;
}

// ---- finding attributes ----------------------------------------------------------

void KImplPersistance::prepareValues(char tag, long count) {
  const long n = std::min(count, m_nWindow);
  // The reader's own buffers only grow; a caller's array gets the count.
  auto fit = [n, this](auto& array) {
    if (m_bDirect ? array.getCount() != n : array.getCount() < n) {
      array.setSize(n);
      if (array.getCount() < n) AfxThrowMemoryException();
    }
  };
  switch (tag) {
    case 'I': fit(ints()); break;
    case 'U': case 'L': fit(uints()); break;
    case 'R': fit(reals()); break;
    case 'B': fit(bools()); break;
    case 'S': fit(strings()); break;
    case 'C': chars().Empty(); break;
    default: throwBadFile();
  }
  m_nValues = count;
}

bool KImplPersistance::locate(char tag, const KPersistName& name) {
  ensureReading();
  if (m_nDepth == 0) return false;
  if (m_bHaveRecord && m_record.m_tag == tag && m_record.m_name == name) {
    if (!m_bLoaded) {
      m_pFile->Seek(static_cast<LONGLONG>(m_record.m_start), CFile::begin);
      FRecordHead head;
      if (!readRecordHead(head)) throwBadFile();
      readRecordValues(head, true);
      m_bLoaded = true;
    }
    return true;
  }
  FFrame& f = m_frames[m_nDepth - 1];
  if (const KNamedFilePtr* ref = f.m_index.findName(name)) {
    m_pFile->Seek(ref->m_position, CFile::begin);
    FRecordHead head;
    head.m_start = static_cast<ULONGLONG>(ref->m_position);
    if (!readRecordHead(head)) throwBadFile();
    m_record = head;
    m_bHaveRecord = true;
    m_bLoaded = false;
    if (head.m_tag == tag) {
      readRecordValues(head, true);
      m_bLoaded = true;
      return true;
    }
    // The index holds the first record of each name; an attribute of the
    // same name under another tag is looked for through the whole object.
    return rescan(f, tag, name);
  }
  if (f.m_bScanned) {
    clearRecord();
    return false;
  }
  m_pFile->Seek(static_cast<LONGLONG>(f.m_scanPos), CFile::begin);
  for (;;) {
    FRecordHead head;
    if (!nextAttributeHead(head)) {
      f.m_scanPos = m_pFile->GetPosition();
      f.m_bScanned = true;
      clearRecord();
      return false;
    }
    if (!f.m_index.findName(head.m_name)) {
      bool added = false;
      f.m_index.add(KNamedFilePtr::forName(head.m_name, static_cast<LONGLONG>(head.m_start)), &added);
      if (!added) AfxThrowMemoryException();
    }
    m_record = head;
    m_bHaveRecord = true;
    bool match = head.m_tag == tag && head.m_name == name;
    readRecordValues(head, match);
    passRecord(head);
    m_bLoaded = match;
    f.m_scanPos = m_pFile->GetPosition();
    if (match) return true;
  }
}

// A nested object is passed by its positions in the index alone, so that no
// page is loaded for it: a parent's attributes after large children cost
// only the pages they stand on. An object whose end is not yet indexed has
// the frontier inside it; the index is grown past its end first.
bool KImplPersistance::nextAttributeHead(FRecordHead& head) {
  ULONGLONG at = m_pFile->GetPosition();
  for (;;) {
    long child = objectAt(at);
    if (child < 0) {
      if (at != m_pFile->GetPosition()) m_pFile->Seek(static_cast<LONGLONG>(at), CFile::begin);
      head = FRecordHead();
      head.m_start = at;
      if (!readRecordHead(head)) throwBadFile();
      if (head.m_tag != 'O') {
        ++m_nScanned;
        // An attribute is taken into the index once its values are passed.
        if (head.m_tag == 'E') passRecord(head);
        return head.m_tag != 'E';
      }
      passRecord(head);
      child = objectAt(at);
      if (child < 0) throwBadFile();
    }
    ++m_nScanned;
    indexUntil([&] { return isClosed(child); });
    if (!isClosed(child)) throwBadFile();
    at = m_objects[child].m_end;
  }
}

bool KImplPersistance::rescan(const FFrame& f, char tag, const KPersistName& name) {
  m_pFile->Seek(static_cast<LONGLONG>(m_objects[f.m_object].m_body), CFile::begin);
  FRecordHead head;
  while (nextAttributeHead(head)) {
    const bool match = head.m_tag == tag && head.m_name == name;
    readRecordValues(head, match);
    passRecord(head);
    if (match) {
      m_record = head;
      m_bHaveRecord = true;
      m_bLoaded = true;
      return true;
    }
  }
  clearRecord();
  return false;
}

bool KImplPersistance::locateSingle(char tag, const KPersistName& name) {
  return locate(tag, name) && m_record.m_count == 1;
}

long KImplPersistance::findAttribute(char tag, const KPersistName& name) {
  if (!locate(tag, name)) return -1;
  return static_cast<long>(m_record.m_count);
}

// ---- readers --------------------------------------------------------------------

int KImplPersistance::readInt(const KPersistName& name, int def, int lo, int hi) {
  if (!locateSingle('I', name)) return def;
  LONGLONG v = m_ints[0];
  if (v < INT32_MIN) return lo;
  if (v > INT32_MAX) return hi;
  return clampTo(static_cast<int>(v), lo, hi);
}

LONGLONG KImplPersistance::readInt64(const KPersistName& name, LONGLONG def, LONGLONG lo, LONGLONG hi) {
  return locateSingle('I', name) ? clampTo(m_ints[0], lo, hi) : def;
}

UINT KImplPersistance::readUInt(const KPersistName& name, UINT def, UINT lo, UINT hi) {
  if (!locateSingle('U', name)) return def;
  ULONGLONG v = m_uints[0];
  if (v > UINT32_MAX) return hi;
  return clampTo(static_cast<UINT>(v), lo, hi);
}

ULONGLONG KImplPersistance::readUInt64(const KPersistName& name, ULONGLONG def, ULONGLONG lo, ULONGLONG hi) {
  return locateSingle('U', name) ? clampTo(m_uints[0], lo, hi) : def;
}

ULONGLONG KImplPersistance::readLValue(const KPersistName& name, ULONGLONG def, ULONGLONG lo, ULONGLONG hi) {
  return locateSingle('L', name) ? clampTo(m_uints[0], lo, hi) : def;
}

double KImplPersistance::readReal(const KPersistName& name, double def, double lo, double hi) {
  if (!locateSingle('R', name)) return def;
  double v = m_reals[0];
  if (std::isnan(v) || v == kUndefinedReal) return v;
  return clampTo(v, lo, hi);
}

bool KImplPersistance::readBool(const KPersistName& name, bool def) {
  return locateSingle('B', name) ? m_bools[0] : def;
}

char KImplPersistance::readChar(const KPersistName& name, char def) {
  return locateSingle('C', name) ? m_chars[0] : def;
}

KString KImplPersistance::readString(const KPersistName& name, const KString& def) {
  return locateSingle('S', name) ? m_strings[0] : def;
}

namespace {
template <class T, class S, class Convert>
long fillArray(KSimpleArray<T>& out, const S* values, long count, Convert convert) {
  out.setSize(count);
  if (out.getCount() != count) AfxThrowMemoryException();
  for (long i = 0; i < count; ++i) out[i] = convert(values[i]);
  return count;
}
void copyValues(KSimpleArray<KString>& out, const KSimpleArray<KString>& in, long count) {
  fillArray(out, in.getData(), count, [](const KString& v) { return v; });
}
void copyValues(KString& out, const KString& in, long) { out = in; }
template <class T>
void copyValues(KSimpleArray<T>& out, const KSimpleArray<T>& in, long count) {
  fillArray(out, in.getData(), count, [](T v) { return v; });
}
// A buffer this large is given back once its values have been copied out,
// so that a large array is not held twice.
constexpr long kKeptBuffer = 65536;
}  // namespace

// The values go straight into `out` (the buffer pointer `target` points at
// it meanwhile), so a large array exists once. Only values already loaded
// for the record read last are copied from the reader's own buffer.
template <class T>
long KImplPersistance::readDirect(char tag, const KPersistName& name, T& out, T*& target) {
  ensureReading();
  if (m_nDepth > 0 && m_bHaveRecord && m_bLoaded && m_record.m_tag == tag && m_record.m_name == name) {
    copyValues(out, *target, m_nValues);
    return m_nValues;
  }
  T* own = target;
  target = &out;
  m_bDirect = true;
  bool found = false;
  try {
    found = locate(tag, name);
  } catch (...) {
    target = own;
    m_bDirect = false;
    m_bLoaded = false;
    throw;
  }
  target = own;
  m_bDirect = false;
  m_bLoaded = false;  // the values are in `out`, not in the own buffer
  return found ? m_nValues : -1;
}

long KImplPersistance::readInts(const KPersistName& name, KSimpleArray<int>& out) {
  if (!locate('I', name)) return -1;
  long n = fillArray(out, m_ints.getData(), m_nValues,
                     [](LONGLONG v) { return static_cast<int>(clampTo<LONGLONG>(v, INT32_MIN, INT32_MAX)); });
  if (m_ints.getCount() > kKeptBuffer) {
    m_ints.removeAll();
    m_bLoaded = false;
  }
  return n;
}
long KImplPersistance::readInts64(const KPersistName& name, KSimpleArray<LONGLONG>& out) {
  return readDirect('I', name, out, m_pInts);
}
long KImplPersistance::readUInts(const KPersistName& name, KSimpleArray<UINT>& out) {
  if (!locate('U', name)) return -1;
  long n = fillArray(out, m_uints.getData(), m_nValues,
                     [](ULONGLONG v) { return static_cast<UINT>(std::min<ULONGLONG>(v, UINT32_MAX)); });
  if (m_uints.getCount() > kKeptBuffer) {
    m_uints.removeAll();
    m_bLoaded = false;
  }
  return n;
}
long KImplPersistance::readUInts64(const KPersistName& name, KSimpleArray<ULONGLONG>& out) {
  return readDirect('U', name, out, m_pUInts);
}
long KImplPersistance::readLValues(const KPersistName& name, KSimpleArray<ULONGLONG>& out) {
  return readDirect('L', name, out, m_pUInts);
}
long KImplPersistance::readReals(const KPersistName& name, KSimpleArray<double>& out) {
  return readDirect('R', name, out, m_pReals);
}
long KImplPersistance::readBools(const KPersistName& name, KSimpleArray<bool>& out) {
  return readDirect('B', name, out, m_pBools);
}
long KImplPersistance::readChars(const KPersistName& name, KString& out) {
  return readDirect('C', name, out, m_pChars);
}
long KImplPersistance::readStrings(const KPersistName& name, KSimpleArray<KString>& out) {
  return readDirect('S', name, out, m_pStrings);
}
