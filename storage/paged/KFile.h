// KFile: the plain file under the compressed paged files, a CFile with
// 64-bit positioning, line reading and string writing.
//
// Files are always opened binary: the text and binary mode flags are cleared
// before the open, and line ends are handled by ReadString alone. Failures
// throw CFileException by value, as CFile does.
#pragma once
#include "platform/CFile.h"
#include "platform/KString.h"
#include "platform/KWinTypes.h"

class KFile : public CFile {
 public:
  KFile() = default;

  // Opens as CFile::Open does, after clearing typeText and typeBinary from
  // `openFlags`.
  BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* pError = nullptr) override;
  // Stores the path; a null name throws CInvalidArgException.
  void SetFilePath(LPCTSTR newName) override;

  // Moves the position by a signed 64-bit offset from begin, current or end
  // and answers the new position.
  ULONGLONG Seek(LONGLONG offset, UINT origin) override;
  ULONGLONG GetPosition() const override;
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }

  // Reads one line into `line`, without its line feed and without a carriage
  // return right before it, and leaves the position after the line feed:
  // TRUE. At the end of the file answers FALSE; a last line without line end
  // is then in `line`. A carriage return that is the last byte of the file
  // belongs to no line.
  BOOL ReadString(KString& line);
  // Writes the characters of `text` (null: nothing), without terminator or
  // line end.
  void WriteString(const char* text);

  // Bytes read per step of ReadString.
  static constexpr UINT kLineChunk = 200;
};
