// Clipboard formats and the data source of drag-and-drop transfers.
//
// A registered clipboard format is a number from 0xC000 up that names the
// same format for every program using the same name; the stand-in keeps the
// names of one process, compared without regard to case. A data source holds
// one block of bytes per format and is what a drag carries; the drop side
// reads the bytes of the format it understands.
#pragma once
#include "platform/KWinTypes.h"

#include <map>
#include <string>

typedef WORD CLIPFORMAT;

// The format registered under `name` (the same one on every call); 0 for a
// null or empty name.
UINT RegisterClipboardFormatA(LPCSTR name);

class COleDataSource {
 public:
  COleDataSource() = default;
  virtual ~COleDataSource() = default;
  COleDataSource(const COleDataSource&) = delete;
  COleDataSource& operator=(const COleDataSource&) = delete;

  // Offers `size` bytes in `format`, replacing what was offered in it before.
  void CacheData(CLIPFORMAT format, const void* bytes, size_t size);
  // The bytes offered in `format`; false when the format is not offered.
  bool GetData(CLIPFORMAT format, std::string& bytes) const;
  bool IsDataAvailable(CLIPFORMAT format) const { return m_data.count(format) != 0; }
  void Empty() { m_data.clear(); }

 private:
  std::map<CLIPFORMAT, std::string> m_data;
};
