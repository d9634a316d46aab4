// KEnumTrpl<E>: one row of an enumeration table: the enumerator, its fixed
// text (the name used in model files and scripts, never translated) and the
// identifier of its translatable text in the string resources, with that text
// as loaded when the row was made (empty when the identifier is negative or
// the resource libraries do not hold it).
//
// Each enumeration has one table, handed out by its getTripleArray overload
// (KEnumTables.h). Lookups scan a table in order; the first match wins.
#pragma once
#include "platform/KString.h"

template <class E>
class KEnumTrpl {
 public:
  // Loads the resource text from the resource chain when resourceId >= 0.
  KEnumTrpl(E value, const KString& fixedText, long resourceId);
  KEnumTrpl(const KEnumTrpl& other);
  KEnumTrpl& operator=(const KEnumTrpl& other);
  ~KEnumTrpl();

  E getEnumVal() const { return m_enumVal; }
  KString getHardStr() const { return m_hardStr; }
  // The resource text when the identifier is above 0, else empty.
  KString getResStr() const { return m_nResId > 0 ? m_resStr : KString(); }
  long getResId() const { return m_nResId; }

 private:
  E m_enumVal;
  KString m_hardStr;
  KString m_resStr;
  long m_nResId;
};

template <class E>
KEnumTrpl<E>::KEnumTrpl(E value, const KString& fixedText, long resourceId)
    : m_enumVal(value), m_hardStr(fixedText), m_nResId(resourceId) {
  if (resourceId >= 0) m_resStr.LoadString(static_cast<UINT>(resourceId));
}

template <class E>
KEnumTrpl<E>::KEnumTrpl(const KEnumTrpl& other) = default;

template <class E>
KEnumTrpl<E>& KEnumTrpl<E>::operator=(const KEnumTrpl& other) = default;

template <class E>
KEnumTrpl<E>::~KEnumTrpl() = default;

// The first row of `table` (of `count` rows) whose fixed text is `text`
// (compared exactly), or null.
template <class E>
const KEnumTrpl<E>* findEnumTrplByHardStr(const KEnumTrpl<E>* table, long count, const char* text) {
  for (long i = 0; i < count; ++i)
    if (table[i].getHardStr() == text) return &table[i];
  return nullptr;
}

// The first row of `table` whose enumerator is `value`, or null.
template <class E>
const KEnumTrpl<E>* findEnumTrplByValue(const KEnumTrpl<E>* table, long count, E value) {
  for (long i = 0; i < count; ++i)
    if (table[i].getEnumVal() == value) return &table[i];
  return nullptr;
}
