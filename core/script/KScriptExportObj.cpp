#include "core/script/KScriptExportObj.h"

#include "core/application/KApplicationAbstract.h"

KScriptExportObj::KScriptExportObj(const KScriptExportObj& other) : KPropsClass(other) {}

KScriptExportObj& KScriptExportObj::operator=(const KScriptExportObj& other) {
  KPropsClass::operator=(other);
  return *this;
}

KScriptExportObj::~KScriptExportObj() {
  if (m_scriptHandle) KGetApplication()->ReleaseScriptHandle(m_scriptHandle);
}

long KScriptExportObj::query(long what) const {
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = KGetApplication()->ForwardScriptCall(m_scriptHandle, const_cast<KScriptExportObj*>(this), what,
                                                    nullptr, 0, &result);
  long answer = 0;
  if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4))) answer = result.lVal;
  VariantClear(&result);
  return answer;
}

void KScriptExportObj::onLastScriptRelease() {
  m_scriptHandle = nullptr;
  if (getDeleteOnLastScriptRelease()) delete this;
}

HRESULT KScriptExportObj::forwardScriptCall(long memberId, VARIANT* args, int argCount, VARIANT* result) {
  return KGetApplication()->ForwardScriptCall(m_scriptHandle, this, memberId, args, argCount, result);
}
