// KOleVariantArrayIndex: an odometer over the indices of a multi-dimensional
// array, for walking every element of a safe array that scripts pass in.
//
// A new index is all zeros. advance() steps the last dimension first: from
// the last dimension to the first, the first index below its upper limit is
// incremented and the walk stops, the indices at their limit before it go
// back to 0; when every index has wrapped the index becomes invalid. A 2 x 3
// array is visited as (0,0), (0,1), (0,2), (1,0), (1,1), (1,2).
//
// The index is invalid from the start when it has no dimension, when a
// dimension is empty (there is no element to stand on), or when the safe
// array it was built from has a lower bound other than 0.
#pragma once
#include "platform/KOleAuto.h"

#include <vector>

class KOleVariantArrayIndex {
 public:
  // One entry per dimension: the element count.
  explicit KOleVariantArrayIndex(const std::vector<LONG>& sizes);
  // The dimensions of the safe array of `v` (following one level of
  // VT_BYREF); invalid when `v` holds no safe array.
  explicit KOleVariantArrayIndex(const VARIANT& v);
  virtual ~KOleVariantArrayIndex() = default;

  bool isValid() const { return m_bValid; }
  int getDimensions() const { return m_nDimensions; }
  // The indices, dimension 1 first, ready for SafeArrayGetElement.
  const LONG* getIndices() const { return m_current.data(); }
  LONG operator[](int dim) const { return m_current[static_cast<size_t>(dim)]; }
  // Steps to the next element; answers isValid() afterwards.
  bool advance();

 private:
  void start();

  std::vector<LONG> m_current;
  int m_nDimensions = 0;
  std::vector<LONG> m_upper;
  bool m_bValid = false;
};
