// KObject: root of the library's polymorphic classes. Every descendant answers
// its own size and a recursive memory report, so that memory dialogs can list
// what an object holds. Virtual-table order (other modules rely on it):
//   0 destructor, 1 onNotify(), 2 getSizeOfThis(), 3 dumpAllocatedMembers(),
//   4 query(); KPropsClass adds 5 hasProperty().
#pragma once
#include "platform/KString.h"

struct _TREEITEM;  // a tree-view node of the memory-report dialog

class KObject {
 public:
  virtual ~KObject() = default;
  // Notification hook; does nothing by default.
  virtual void onNotify() {}
  // Size of the object in bytes; every class reports its own.
  virtual long getSizeOfThis() const { return static_cast<long>(sizeof(*this)); }
  // Bytes held below this object (not counting getSizeOfThis()); entries may be
  // listed under `parent` in a memory-report view. 0 by default.
  virtual long dumpAllocatedMembers(_TREEITEM* parent, bool list, KString& name) const {
    (void)parent; (void)list; (void)name;
    return 0;
  }
  // One-argument query; 0 by default.
  virtual long query(long what) const { (void)what; return 0; }
};

class KPropsClass : public KObject {
 public:
  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  // Classes that carry properties override this; false by default.
  virtual bool hasProperty(long id) const { (void)id; return false; }
};

// A small polymorphic flag class of its own (not a KObject).
class KFlag {
 public:
  virtual ~KFlag() = default;
  virtual long getSizeOfThis() const { return static_cast<long>(sizeof(*this)); }
  virtual void onNotify() {}
};
