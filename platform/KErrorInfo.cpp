#include "platform/KErrorInfo.h"

#include <atomic>

namespace {
std::atomic<long> g_liveErrorInfos{0};

// Holds a BSTR copy of a text; frees it with itself.
class KOwnedBstr {
 public:
  KOwnedBstr() = default;
  ~KOwnedBstr() { SysFreeString(m_text); }
  KOwnedBstr(const KOwnedBstr&) = delete;
  KOwnedBstr& operator=(const KOwnedBstr&) = delete;

  HRESULT set(LPCOLESTR text) {
    BSTR copy = nullptr;
    if (text) {
      copy = SysAllocString(text);
      if (!copy) return E_OUTOFMEMORY;
    }
    SysFreeString(m_text);
    m_text = copy;
    return S_OK;
  }
  HRESULT copyTo(BSTR* out) const {
    if (!out) return E_POINTER;
    *out = m_text ? SysAllocStringLen(m_text, SysStringLen(m_text)) : nullptr;
    return (m_text && !*out) ? E_OUTOFMEMORY : S_OK;
  }

 private:
  BSTR m_text = nullptr;
};

class KErrorInfoObject final : public IErrorInfo, public ICreateErrorInfo {
 public:
  KErrorInfoObject() { ++g_liveErrorInfos; }
  KErrorInfoObject(const KErrorInfoObject&) = delete;
  KErrorInfoObject& operator=(const KErrorInfoObject&) = delete;

  HRESULT QueryInterface(const IID& iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IErrorInfo) {
      *object = static_cast<IErrorInfo*>(this);
    } else if (iid == IID_ICreateErrorInfo) {
      *object = static_cast<ICreateErrorInfo*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }

  HRESULT GetGUID(GUID* guid) override {
    if (!guid) return E_POINTER;
    *guid = m_guid;
    return S_OK;
  }
  HRESULT GetSource(BSTR* source) override { return m_source.copyTo(source); }
  HRESULT GetDescription(BSTR* description) override { return m_description.copyTo(description); }
  HRESULT GetHelpFile(BSTR* helpFile) override { return m_helpFile.copyTo(helpFile); }
  HRESULT GetHelpContext(DWORD* helpContext) override {
    if (!helpContext) return E_POINTER;
    *helpContext = m_helpContext;
    return S_OK;
  }

  HRESULT SetGUID(const GUID& guid) override {
    m_guid = guid;
    return S_OK;
  }
  HRESULT SetSource(LPCOLESTR source) override { return m_source.set(source); }
  HRESULT SetDescription(LPCOLESTR description) override { return m_description.set(description); }
  HRESULT SetHelpFile(LPCOLESTR helpFile) override { return m_helpFile.set(helpFile); }
  HRESULT SetHelpContext(DWORD helpContext) override {
    m_helpContext = helpContext;
    return S_OK;
  }

 private:
  ~KErrorInfoObject() { --g_liveErrorInfos; }

  ULONG m_references = 1;
  GUID m_guid = GUID_NULL;
  KOwnedBstr m_source;
  KOwnedBstr m_description;
  KOwnedBstr m_helpFile;
  DWORD m_helpContext = 0;
};

// The thread's current error; released when the thread ends.
struct KThreadError {
  IErrorInfo* info = nullptr;
  ~KThreadError() {
    if (info) info->Release();
  }
};
thread_local KThreadError t_error;
}  // namespace

long KLiveErrorInfos() { return g_liveErrorInfos; }

HRESULT CreateErrorInfo(ICreateErrorInfo** created) {
  if (!created) return E_INVALIDARG;
  *created = new KErrorInfoObject;
  return S_OK;
}

HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info) {
  if (reserved != 0) return E_INVALIDARG;
  if (info) info->AddRef();
  IErrorInfo* previous = t_error.info;
  t_error.info = info;
  if (previous) previous->Release();
  return S_OK;
}

HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info) {
  if (reserved != 0 || !info) return E_INVALIDARG;
  *info = t_error.info;
  t_error.info = nullptr;
  return *info ? S_OK : S_FALSE;
}
