#include "core/system/KTextFile.h"

#include <cstring>

#include "core/system/KTempNames.h"

KTextFile::~KTextFile() {
  if (!isOpen()) return;
  try {
    close();
  } catch (...) {  // close() reports through its result; nothing may escape a destructor
  }
}

bool KTextFile::open(const char* path) {
  if (isOpen()) close();
  m_buffer.clear();
  if (!path || !*path) return true;
  return !m_file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText | CFile::shareDenyWrite);
}

bool KTextFile::openDiagnostic(const char* base, const char* folder) {
  KString name = KModelTempName(base, 0, folder);
  if (name.IsEmpty()) return true;
  name += ".txt";
  return open(name.GetString());
}

bool KTextFile::writeLine(const char* text, int flag) {
  if (!isOpen()) return true;
  if (text) m_buffer.append(text);
  if (flag == 0 && m_buffer.size() < kBufferSize) return false;
  return writeBuffer();
}

bool KTextFile::writeBuffer() {
  if (!isOpen()) return true;
  try {
    if (!m_buffer.empty()) m_file.Write(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
    m_buffer.clear();
    return false;
  } catch (const CFileException&) {
    m_buffer.clear();
    m_file.Abort();
    return true;
  }
}

bool KTextFile::flush() {
  if (writeBuffer()) return true;
  try {
    m_file.Flush();
    return false;
  } catch (const CFileException&) {
    m_file.Abort();
    return true;
  }
}

bool KTextFile::close() {
  if (!isOpen()) return false;
  bool failed = writeBuffer();
  if (!isOpen()) return true;
  try {
    m_file.Close();
  } catch (const CFileException&) {
    failed = true;
  }
  return failed;
}
