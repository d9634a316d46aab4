#include "storage/objectfile/KObjectFileWalker.h"

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

KObjectFileWalker::KObjectFileWalker(const char* fileName) : m_bText(KIsTextObjectFile(fileName)) {
  if (m_bText)
    m_pFile = std::make_unique<KTextPersistance>(fileName, false);
  else
    m_pFile = std::make_unique<KBinaryPersistance>(fileName, false);
  m_pFile->open();
  m_pFile->rewindRecords();
}

void KObjectFileWalker::rewind() {
  m_pFile->rewindRecords();
  m_nDepth = 0;
  m_nObject = 0;
}

bool KObjectFileWalker::next(FObjectFileRecord& record) {
  FRecordHead head;
  if (!m_pFile->readNextRecord(head)) return false;
  m_tag = head.m_tag;
  record.m_tag = head.m_tag;
  record.m_position = head.m_start;
  record.m_count = static_cast<long>(head.m_count);
  record.m_name = head.m_name;
  record.m_type = head.m_type;
  if (head.m_tag == 'O') {
    m_open[m_nDepth] = m_nObject++;
    record.m_depth = m_nDepth++;
  } else if (head.m_tag == 'E') {
    // Binary end records carry no names; take them from the object index.
    record.m_depth = --m_nDepth;
    const FObjectEntry& entry = m_pFile->getObject(m_open[m_nDepth]);
    record.m_type = entry.m_type;
    record.m_name = entry.m_name;
  } else {
    record.m_depth = m_nDepth;
  }
  return true;
}

KString KObjectFileWalker::valueText(long i) const {
  KString text;
  const KImplPersistance& v = *m_pFile;
  if (i < 0 || i >= v.getValueCount()) return text;
  switch (m_tag) {
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
