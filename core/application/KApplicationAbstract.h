// KApplicationAbstract: the interface through which library code asks the
// running program for settings and services. Exactly one object is current in
// the process (KGetApplication); a program makes its own object current at
// start-up with KSetApplication. Until then, and after the current object is
// unset, a process-wide default object answers with the neutral defaults, so
// library code always has an application to ask.
//
// Every operation has a default; a program overrides what it supports. The
// defaults that do real work (version, installer properties, UI language) are
// in KApplicationAbstract.cpp.
#pragma once
#include "core/application/KObject.h"
#include "platform/KOleAuto.h"
#include "platform/KWinTypes.h"

class KDatabaseOptions;
class KScriptExportObj;

// Registry view flags of the access mask (32-bit and 64-bit registry views).
enum : DWORD { KEY_WOW64_64KEY_VIEW = 0x100, KEY_WOW64_32KEY_VIEW = 0x200 };

class KApplicationAbstract {
 public:
  KApplicationAbstract();
  virtual ~KApplicationAbstract();
  KApplicationAbstract(const KApplicationAbstract&) = delete;
  KApplicationAbstract& operator=(const KApplicationAbstract&) = delete;

  // --- Option lookups: (name, current value) -> value to use. Default: current.
  virtual bool LookupBoolOption(const KString& name, bool current);
  virtual long LookupIntegerOption(const KString& name, long current);
  virtual double LookupRealOption(const KString& name, double current);
  virtual KString LookupStringOption(const KString& name, const KString& current);

  // --- Comparison locale for case-insensitive names (1024 after construction).
  virtual LCID GetCompareLocale() const { return m_compareLocale; }
  virtual void SetCompareLocale(LCID lcid) { m_compareLocale = lcid; }
  virtual bool IsDeveloperDiagnostics() { return false; }

  // --- Application-wide options store: none by default.
  virtual bool HasGlobalOptions() { return false; }
  virtual KDatabaseOptions* GetGlobalOptions() { return nullptr; }

  // --- Registry names: "Software\<company>\<registry key>".
  virtual KString GetCompanyKeyName();
  // The application title: string resource 0xE000.
  virtual KString GetRegistryKeyName();

  // --- Version of the running program.
  virtual void GetFileVersion(int& major, int& minor, int& build, int& revision, int& n, int& sub);
  virtual KString GetFileVersionText();
  static void SplitPackedVersion(DWORD packed, int& major, int& minor, int& build);
  static void SplitBuild(int build, int& n, int& sub);
  static void SplitVersion(DWORD packed, int& major, int& minor, int& n, int& sub);
  // Label of (major, minor, n): "Dev" at 50, "A" 51-74, "B" from 75.
  static KString VersionLabel(int major, int minor, int n);

  // --- Installation (from the installer's records). True = no product code.
  virtual bool GetProductCode(KString& code, DWORD viewFlags);
  virtual KString GetInstallLocation(DWORD viewFlags);
  virtual KString GetInstallDate();
  virtual DWORD GetInstalledVersion();
  virtual KString GetVersionLabel();

  // --- User-interface language: "UILanguage" under "File locations", or the
  // system (system = true) or user default locale when unset (-1 or 0).
  virtual LCID GetUILanguage(bool system);

  // --- Messages and output.
  virtual int MessageBox(const KString& text, UINT type = 0);
  // One line of trace output; default: standard error.
  virtual void OutputLine(const KString& text);

  // --- Numbers and units.
  virtual KString IntegerToText(long value, int maxWidth);
  // Converts value from SI into the current units of the quantity; true = failed.
  virtual bool ConvertFromSI(double& value, long quantityCode);
  virtual void SplitFeetInches(double value, long& feet, double& inches);
  // 0 none, 1 feet, 2 inches.
  virtual int GetFeetInchesMode() { return 0; }
  // Time-scale enumerator: seconds of the unit (1 seconds, 60, 3600, 86400; 0 increments).
  virtual long GetTimescaleUnit() { return 1; }

  // --- Folders and times.
  virtual KString GetWorkingFolder();
  // Start of the run, taken on the first request and kept.
  virtual __time64_t GetStartTime();

  // --- Identifiers: repeatable test identifiers are made in test mode.
  virtual bool IsTestMode() { return m_testMode; }
  virtual void SetTestMode(bool on) { m_testMode = on; }

  // --- Small state kept in the application object.
  virtual long GetNumber(int slot) const;
  virtual void SetNumber(int slot, long value);

  // --- Script host (neutral until a program supplies one). A script handle
  // is the host's token for the script-side wrapper of a library object.
  // The library object is gone or no longer wants its wrapper: the host
  // drops the wrapper's reference to it.
  virtual void ReleaseScriptHandle(void* handle) { (void)handle; }
  // Routes a property or method call of `object` (whose wrapper is `handle`)
  // through the script host; `args` holds `argCount` arguments, last first, as
  // automation passes them; `result` (may be null) receives the answer.
  // Default: no host, DISP_E_MEMBERNOTFOUND.
  virtual HRESULT ForwardScriptCall(void* handle, KScriptExportObj* object, long memberId, VARIANT* args,
                                    int argCount, VARIANT* result);
  // A script error is about to be raised: the host may log or show it.
  virtual void NotifyScriptError(const KString& source, const KString& description, HRESULT code) {
    (void)source; (void)description; (void)code;
  }

 protected:
  // Installer product-property query (property by product code); empty when the
  // installer records no value. Overridable so tests and programs can supply it.
  virtual KString QueryProductProperty(const KString& productCode, const char* property, DWORD viewFlags);

 private:
  LCID m_compareLocale = 1024;
  bool m_testMode = false;
  __time64_t m_startTime = 0;
  long m_numbers[16] = {};
  // Installer caches, filled on first request and never refreshed.
  // One per registry view: native (no flag), 64-bit and 32-bit.
  bool m_haveLocation[3] = {false, false, false};
  KString m_location[3];
  bool m_haveDate = false;
  KString m_installDate;
  bool m_haveVersion = false;
  DWORD m_installedVersion = 0;
  bool m_haveLabel = false;
  KString m_versionLabel;
};

// The current application object (never null: a default object answers when
// no program has made its own current).
KApplicationAbstract* KGetApplication();
// Makes `app` current (null: back to the default object). Answers the previous one.
KApplicationAbstract* KSetApplication(KApplicationAbstract* app);
