// KNamedFilePtr: a file reference, a name with a 64-bit key kept as two
// 32-bit halves (first, then second), and the logical file position the
// reference points at.
//
// Order (cmpFunc): by the first half, then the second (positive when b's is
// greater); when both are equal and the first half is 0, by the names without
// regard to case (as KString trees); otherwise equal. The position takes no
// part in the order.
//
// The object file reader keys attributes this way: a numeric name puts its
// m_nId and m_nIndex in the halves, a text name leaves them 0 and is ordered
// by its text, which is exactly the equality of KPersistName. setKey64 and
// getKey64 use the halves as one 64-bit number (first = high half) for
// references keyed by a position.
//
// KNamedFilePtrTree is the tree of such references; its items come from a
// pool of 1000 items per block. The instances are compiled once in the
// library (KNamedFilePtr.cpp) and exported from the program.
#pragma once
#include <cstdint>

#include "containers/trees/KDataTreeItemRoot.h"
#include "containers/trees/KTreeCompare.h"
#include "storage/objectfile/KPersistName.h"
#include "platform/KString.h"
#include "platform/KWinTypes.h"

class KNamedFilePtr {
 public:
  KNamedFilePtr() = default;
  KNamedFilePtr(const KString& name, int32_t first, int32_t second, LONGLONG position = 0)
      : m_name(name), m_nFirst(first), m_nSecond(second), m_position(position) {}
  // The key of an attribute or object name, with the position it stands at.
  static KNamedFilePtr forName(const KPersistName& name, LONGLONG position);

  void setKey64(ULONGLONG key) {
    m_nFirst = static_cast<int32_t>(static_cast<uint32_t>(key >> 32));
    m_nSecond = static_cast<int32_t>(static_cast<uint32_t>(key));
  }
  ULONGLONG getKey64() const {
    return (static_cast<ULONGLONG>(static_cast<uint32_t>(m_nFirst)) << 32) | static_cast<uint32_t>(m_nSecond);
  }

  KString m_name;
  int32_t m_nFirst = 0;
  int32_t m_nSecond = 0;
  LONGLONG m_position = 0;
};

template <>
struct KTreeOrder<KNamedFilePtr> {
  static int compare(const KNamedFilePtr& a, const KNamedFilePtr& b, long) {
    if (a.m_nFirst != b.m_nFirst) return a.m_nFirst < b.m_nFirst ? 1 : -1;
    if (a.m_nSecond != b.m_nSecond) return a.m_nSecond < b.m_nSecond ? 1 : -1;
    if (a.m_nFirst == 0) return kCompareNoCase(a.m_name.GetString(), b.m_name.GetString());
    return 0;
  }
  // The key is a const KNamedFilePtr*.
  static int compareKey(const KNamedFilePtr& stored, const void* key, long treeId) {
    return compare(stored, *static_cast<const KNamedFilePtr*>(key), treeId);
  }
};

class QUELM_TREES_API KNamedFilePtrTree : public KDataTreeItemRoot<KNamedFilePtr> {
 public:
  KNamedFilePtrTree() = default;
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  // The reference stored under `name`, or null.
  const KNamedFilePtr* findName(const KPersistName& name) const;
};

extern template class KDataTreeItem<KNamedFilePtr>;
extern template class KTreeRootBase<KNamedFilePtr, KDataTreeItem<KNamedFilePtr>>;
extern template class KDataTreeItemRoot<KNamedFilePtr>;
