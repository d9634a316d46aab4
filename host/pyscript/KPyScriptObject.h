// The Python side of script-exported library objects (KScriptExportObj).
//
// Each exported object has at most one wrapper: the wrapper's address is the
// object's script handle, and asking for a wrapper of an object that has a
// handle gives the existing Python object back (pybind11 finds its instance
// by address). Lifetime, both ways round:
// - The last Python reference goes: the wrapper's destructor forgets the
//   object and calls onLastScriptRelease, which clears the handle and
//   deletes objects made for the script (delete flag set).
// - The library deletes the object first: its destructor asks the
//   application to release the handle (KPyReleaseScriptHandle), which turns
//   the wrapper dead; every later use raises ReferenceError "the object no
//   longer exists" instead of touching freed memory.
#pragma once
#include "core/script/KScriptExportObj.h"

class KPyScriptObject {
 public:
  explicit KPyScriptObject(KScriptExportObj* object);
  virtual ~KPyScriptObject();
  KPyScriptObject(const KPyScriptObject&) = delete;
  KPyScriptObject& operator=(const KPyScriptObject&) = delete;

  bool isAlive() const { return m_object != nullptr; }
  // The object; throws ReferenceError when it no longer exists.
  KScriptExportObj& object() const;
  // The library released the handle: the wrapper turns dead.
  void forget() { m_object = nullptr; }

 private:
  KScriptExportObj* m_object;
};

// Raises Python's ReferenceError with `text`.
[[noreturn]] void KPyRaiseReferenceError(const char* text);

// The application's ReleaseScriptHandle in a program that hosts Python.
void KPyReleaseScriptHandle(void* handle);
