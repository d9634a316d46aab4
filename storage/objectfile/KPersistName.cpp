#include "storage/objectfile/KPersistName.h"

#include "containers/trees/KTreeCompare.h"

KString KPersistName::getText(const KPersistNameDictionary* dictionary) const {
  if (!m_name.IsEmpty() || !isNumeric() || !dictionary) return m_name;
  KString text;
  if (!dictionary->getNameText(m_nId, m_nIndex, text)) text.Empty();
  return text;
}

bool KPersistName::operator==(const KPersistName& other) const {
  if (isNumeric() && other.isNumeric()) return m_nId == other.m_nId && m_nIndex == other.m_nIndex;
  return kCompareNoCase(m_name.GetString(), other.m_name.GetString()) == 0;
}
