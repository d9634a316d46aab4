// KOleDataSource: the data source of the library's drags. It counts the
// sources made and destroyed in the process, so that a diagnostic can show
// that every drag gave its source back.
#pragma once
#include "platform/COleDataSource.h"

class KOleDataSource : public COleDataSource {
 public:
  KOleDataSource() { ++m_created_S; }
  ~KOleDataSource() override { ++m_destroyed_S; }

  // Writes the two counters through the application's output, one line each:
  // "KOleDataSource::m_created_S %u" and "KOleDataSource::m_destroyed_S %u".
  static void dumpCounters();

  static UINT m_created_S;
  static UINT m_destroyed_S;
};
