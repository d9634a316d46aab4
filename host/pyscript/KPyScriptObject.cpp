#include "host/pyscript/KPyScriptObject.h"

#include <pybind11/pybind11.h>

KPyScriptObject::KPyScriptObject(KScriptExportObj* object) : m_object(object) { object->setScriptHandle(this); }

KPyScriptObject::~KPyScriptObject() {
  KScriptExportObj* object = m_object;
  m_object = nullptr;
  if (object) object->onLastScriptRelease();
}

KScriptExportObj& KPyScriptObject::object() const {
  if (!m_object) KPyRaiseReferenceError("the object no longer exists");
  return *m_object;
}

void KPyReleaseScriptHandle(void* handle) {
  if (handle) static_cast<KPyScriptObject*>(handle)->forget();
}

void KPyRaiseReferenceError(const char* text) {
  PyErr_SetString(PyExc_ReferenceError, text);
  throw pybind11::error_already_set();
}
