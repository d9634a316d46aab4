#include "storage/objectfile/KPersistName.h"

#include "containers/trees/KTreeCompare.h"
#include "storage/objectfile/KPersistance.h"

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

BOOL KAttributeTooLargeException::GetErrorMessage(KString& message) const {
  message.Format("%s: attribute \"%s\" has %lld values; an attribute holds at most %ld.", m_strFileName.GetString(),
                 m_strAttribute.GetString(), m_nCount, kMaxAttributeValues);
  return TRUE;
}
