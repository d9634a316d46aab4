// KScriptExportObj: a library object that can be handed to the product's
// scripting host as an automation object. The host wraps the object and
// records its wrapper's handle here; while the handle is set the script side
// holds a reference to this object.
//
// Lifetime, two ways round:
// - The script drops its last reference: the host calls onLastScriptRelease,
//   which forgets the handle and, when getDeleteOnLastScriptRelease() says so,
//   deletes the object (objects made for scripts only).
// - The library deletes the object first: the destructor asks the host to
//   release the wrapper's handle, so the script side never keeps a dangling
//   reference.
//
// A copy is a new object that no script has seen: it starts without a handle,
// and assignment keeps the target's own handle. (Sharing one handle between
// two objects would release it twice.)
//
// Virtual-table order after KPropsClass: setDeleteOnLastScriptRelease,
// getDeleteOnLastScriptRelease, onLastScriptRelease.
#pragma once
#include "core/application/KObject.h"
#include "platform/KOleAuto.h"

class KScriptExportObj : public KPropsClass {
 public:
  KScriptExportObj() = default;
  KScriptExportObj(const KScriptExportObj& other);
  KScriptExportObj& operator=(const KScriptExportObj& other);
  ~KScriptExportObj() override;

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }
  // Asks the script side through the host (memberId = `what`); the answer
  // converted to a long, 0 when the host has no answer.
  long query(long what) const override;

  virtual void setDeleteOnLastScriptRelease(bool on) = 0;
  virtual bool getDeleteOnLastScriptRelease() const = 0;
  // The script side dropped its last reference: the handle becomes null, then
  // the object deletes itself when getDeleteOnLastScriptRelease() is true (so
  // it must have been made with new). Nothing may touch it afterwards.
  virtual void onLastScriptRelease();

  // The host's handle of this object's script-side wrapper; null when the
  // object was never handed to a script or the script released it.
  void* getScriptHandle() const { return m_scriptHandle; }
  // Called by the host when it wraps the object.
  void setScriptHandle(void* handle) { m_scriptHandle = handle; }

  // Routes a property or method call through the host with this object's
  // handle (see KApplicationAbstract::ForwardScriptCall).
  HRESULT forwardScriptCall(long memberId, VARIANT* args, int argCount, VARIANT* result);

 private:
  void* m_scriptHandle = nullptr;
};
