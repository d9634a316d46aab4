#include "storage/objectfile/KObjectFileWalker.h"

#include <climits>
#include <cstring>

#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KTextPersistance.h"

bool KIsTextObjectFile(const char* fileName) {
  CFile file;
  CFileException error;
  if (!file.Open(fileName, CFile::modeRead | CFile::shareDenyWrite, &error)) {
    error.m_strFileName = fileName;
    throw error;
  }
  char start[32] = {};
  size_t length = std::strlen(KImplPersistance::kFormatText);
  UINT got = file.Read(start, static_cast<UINT>(length));
  file.Close();
  return got == length && std::memcmp(start, KImplPersistance::kFormatText, length) == 0;
}

KObjectFileWalker::KObjectFileWalker(const char* fileName, EMode mode)
    : m_bText(KIsTextObjectFile(fileName)), m_mode(mode) {
  if (m_bText)
    m_pFile = std::make_unique<KTextPersistance>(fileName, false);
  else
    m_pFile = std::make_unique<KBinaryPersistance>(fileName, false);
  if (mode == kIndexed) {
    m_pFile->setCheckedAtOpen(ULLONG_MAX);
    m_pFile->open();
    m_pFile->rewindRecords();
  } else {
    m_pFile->openForListing(mode == kHeaderOnly ? KImplPersistance::kHeaderOnly : KImplPersistance::kStream);
  }
}

void KObjectFileWalker::rewind() {
  m_pFile->rewindRecords();
  m_nDepth = 0;
}

bool KObjectFileWalker::nextIn(FObjectFileRecord& record, long window, std::function<void(long, long)>* sink) {
  if (m_mode == kHeaderOnly) return false;
  FRecordHead& head = m_head;
  bool more = m_pPlaceReals ? m_pFile->readNextRecordPlacingReals(head, *m_pPlaceReals)
              : sink         ? m_pFile->readNextRecordWindowed(head, window, *sink)
                             : m_pFile->readNextRecord(head);
  // The indexed open has checked the structure already; a stream is checked
  // as it comes, by the same rules.
  auto refuse = [this] { AfxThrowFileException(CFileException::genericException, -1, m_pFile->getFileName()); };
  if (!more) {
    if (m_nDepth != 0) refuse();
    return false;
  }
  m_tag = head.m_tag;
  record.m_tag = head.m_tag;
  record.m_position = head.m_start;
  record.m_count = static_cast<long>(head.m_count);
  record.m_name = head.m_name;
  record.m_type = head.m_type;
  if (head.m_tag == 'O') {
    if (m_nDepth >= KImplPersistance::kMaxDepth) refuse();
    m_openTypes[m_nDepth] = head.m_type;
    m_openNames[m_nDepth] = head.m_name;
    record.m_depth = m_nDepth++;
  } else if (head.m_tag == 'E') {
    if (m_nDepth == 0) refuse();
    record.m_depth = --m_nDepth;
    record.m_type = m_openTypes[m_nDepth];
    record.m_name = m_openNames[m_nDepth];
  } else {
    if (m_nDepth == 0) refuse();
    record.m_depth = m_nDepth;
  }
  return true;
}

bool KObjectFileWalker::nextPlacingReals(FObjectFileRecord& record, const std::function<double*(long)>& place) {
  m_pPlaceReals = &place;
  try {
    bool more = nextIn(record, 0, nullptr);
    m_pPlaceReals = nullptr;
    return more;
  } catch (...) {
    m_pPlaceReals = nullptr;
    throw;
  }
}

KString KObjectFileWalker::valueText(long i) const { return valueText(*m_pFile, m_tag, i); }

KString KObjectFileWalker::valueText(const KImplPersistance& v, char tag, long i) {
  KString text;
  if (i < 0 || i >= v.getValueCount()) return text;
  switch (tag) {
    case 'I': text.Format("%I64d", v.intValues()[i]); break;
    case 'U': case 'L': text.Format("%I64u", v.uintValues()[i]); break;
    case 'R': text = KRealToText(v.realValues()[i]); break;
    case 'B': text = v.boolValues()[i] ? "T" : "F"; break;
    case 'C': text = KString(v.charValues().GetAt(static_cast<int>(i)), 1); break;
    case 'S': text = v.stringValues()[i]; break;
    default: break;
  }
  return text;
}
