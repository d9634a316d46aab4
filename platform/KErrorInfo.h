// Error information of automation calls: an object that carries the source
// and description of a failure from the object that raised it to the caller,
// kept per thread.
//
// CreateErrorInfo makes an empty object and hands out its ICreateErrorInfo
// (one reference the caller owns); the same object answers IErrorInfo through
// QueryInterface. SetErrorInfo installs an object as the thread's current
// error (taking its own reference, releasing the one it replaces; null
// clears). GetErrorInfo hands the current error to the caller and clears it,
// so an error is read once: S_FALSE and null when the thread has none.
#pragma once
#include "platform/KOleAuto.h"

struct IErrorInfo : IUnknown {
  virtual HRESULT GetGUID(GUID* guid) = 0;
  // Each hands out a new BSTR the caller frees (null when never set).
  virtual HRESULT GetSource(BSTR* source) = 0;
  virtual HRESULT GetDescription(BSTR* description) = 0;
  virtual HRESULT GetHelpFile(BSTR* helpFile) = 0;
  virtual HRESULT GetHelpContext(DWORD* helpContext) = 0;

 protected:
  ~IErrorInfo() = default;
};

struct ICreateErrorInfo : IUnknown {
  virtual HRESULT SetGUID(const GUID& guid) = 0;
  // Each keeps a copy of the text (null clears it).
  virtual HRESULT SetSource(LPCOLESTR source) = 0;
  virtual HRESULT SetDescription(LPCOLESTR description) = 0;
  virtual HRESULT SetHelpFile(LPCOLESTR helpFile) = 0;
  virtual HRESULT SetHelpContext(DWORD helpContext) = 0;

 protected:
  ~ICreateErrorInfo() = default;
};

HRESULT CreateErrorInfo(ICreateErrorInfo** created);
// `reserved` must be 0.
HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info);
HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info);

// Error-information objects alive in the process: tests check for leaks.
long KLiveErrorInfos();
