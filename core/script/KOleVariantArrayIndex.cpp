#include "core/script/KOleVariantArrayIndex.h"

#include "core/script/KScriptArgs.h"

KOleVariantArrayIndex::KOleVariantArrayIndex(const std::vector<LONG>& sizes)
    : m_nDimensions(static_cast<int>(sizes.size())) {
  for (LONG size : sizes) m_upper.push_back(size - 1);
  m_bValid = true;
  start();
}

KOleVariantArrayIndex::KOleVariantArrayIndex(const VARIANT& v) {
  SAFEARRAY* array = scriptArray(v);
  m_nDimensions = static_cast<int>(SafeArrayGetDim(array));
  m_bValid = true;
  for (UINT d = 1; d <= static_cast<UINT>(m_nDimensions); ++d) {
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array, d, &lower);
    SafeArrayGetUBound(array, d, &upper);
    if (lower != 0) m_bValid = false;
    m_upper.push_back(upper);
  }
  start();
}

void KOleVariantArrayIndex::start() {
  m_current.assign(static_cast<size_t>(m_nDimensions), 0);
  if (m_nDimensions == 0) m_bValid = false;
  for (LONG upper : m_upper)
    if (upper < 0) m_bValid = false;
}

bool KOleVariantArrayIndex::advance() {
  if (!m_bValid) return false;
  for (int d = m_nDimensions - 1; d >= 0; --d) {
    if (m_current[d] < m_upper[d]) {
      ++m_current[d];
      return true;
    }
    m_current[d] = 0;
  }
  m_bValid = false;
  return false;
}
