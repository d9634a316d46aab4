#include "core/application/KApplicationAbstract.h"

#include "platform/KMessageBox.h"
#include "platform/KTime.h"
#include "platform/KFileSystem.h"
#include "platform/KRegistry.h"

#include <cmath>
#include <cstdio>

namespace {
KApplicationAbstract*& currentApp() {
  static KApplicationAbstract* app = nullptr;
  return app;
}
KApplicationAbstract& defaultApp() {
  static KApplicationAbstract app;
  return app;
}
}  // namespace

KApplicationAbstract* KGetApplication() {
  KApplicationAbstract* app = currentApp();
  return app ? app : &defaultApp();
}

KApplicationAbstract* KSetApplication(KApplicationAbstract* app) {
  KApplicationAbstract* old = currentApp();
  currentApp() = app;
  // While a program's object is current, unreadable registry stores are
  // reported through its trace output; otherwise the registry's own default.
  static bool routed = false;
  if (app && !routed) {
    KRegistrySetErrorReporter([](const KString& message) {
      if (KApplicationAbstract* current = currentApp()) current->OutputLine(message);
      else fprintf(stderr, "%s\n", message.GetString());
    });
    routed = true;
  } else if (!app && routed) {
    KRegistrySetErrorReporter(KRegistryErrorReporter());
    routed = false;
  }
  return old;
}

KApplicationAbstract::KApplicationAbstract() = default;
KApplicationAbstract::~KApplicationAbstract() {
  if (currentApp() == this) currentApp() = nullptr;
}

bool KApplicationAbstract::LookupBoolOption(const KString&, bool current) { return current; }
long KApplicationAbstract::LookupIntegerOption(const KString&, long current) { return current; }
double KApplicationAbstract::LookupRealOption(const KString&, double current) { return current; }
KString KApplicationAbstract::LookupStringOption(const KString&, const KString& current) { return current; }

KString KApplicationAbstract::GetCompanyKeyName() { return "QUELM"; }

KString KApplicationAbstract::GetRegistryKeyName() {
  KString title;
  if (!title.LoadString(0xE000)) title = "quelmhost";
  return title;
}

KString KApplicationAbstract::GetFileVersionText() {
  int major, minor, build, revision, n, sub;
  GetFileVersion(major, minor, build, revision, n, sub);
  KString text;
  text.Format("%d.%d.%d.%d", major, minor, build, revision);
  return text;
}

void KApplicationAbstract::SplitPackedVersion(DWORD packed, int& major, int& minor, int& build) {
  major = static_cast<int>((packed >> 24) & 0xFF);
  minor = static_cast<int>((packed >> 16) & 0xFF);
  build = static_cast<int>(packed & 0xFFFF);
}

void KApplicationAbstract::SplitBuild(int build, int& n, int& sub) {
  sub = build & 0xF;
  n = (build >> 4) & 0xFF;
}

void KApplicationAbstract::SplitVersion(DWORD packed, int& major, int& minor, int& n, int& sub) {
  int build;
  SplitPackedVersion(packed, major, minor, build);
  SplitBuild(build, n, sub);
}

KString KApplicationAbstract::VersionLabel(int major, int minor, int n) {
  KString label;
  if (n == 50) label.Format("%d.%d-Dev", major, minor);
  else if (n >= 51 && n <= 74) label.Format("%d.%d-A%d", major, minor, n - 50);
  else if (n >= 75) label.Format("%d.%d-B%d", major, minor, n - 74);
  else label.Format("%d.%d-%d", major, minor, n);
  return label;
}

KString KApplicationAbstract::GetVersionLabel() {
  if (!m_haveLabel) {
    int major, minor, n, sub;
    SplitVersion(GetInstalledVersion(), major, minor, n, sub);
    m_versionLabel.Format("%sc%d", VersionLabel(major, minor, n % 100).GetString(), sub);
    m_haveLabel = true;
  }
  return m_versionLabel;
}

KString KApplicationAbstract::GetInstallLocation(DWORD viewFlags) {
  int slot = (viewFlags & KEY_WOW64_32KEY_VIEW) ? 2 : (viewFlags & KEY_WOW64_64KEY_VIEW) ? 1 : 0;
  if (!m_haveLocation[slot]) {
    KString code;
    if (!GetProductCode(code, viewFlags)) m_location[slot] = QueryProductProperty(code, "InstallLocation", viewFlags);
    m_haveLocation[slot] = true;
  }
  return m_location[slot];
}

KString KApplicationAbstract::GetInstallDate() {
  if (!m_haveDate) {
    KString code;
    if (!GetProductCode(code, 0)) m_installDate = QueryProductProperty(code, "InstallDate", 0);
    m_haveDate = true;
  }
  return m_installDate;
}

DWORD KApplicationAbstract::GetInstalledVersion() {
  if (!m_haveVersion) {
    KString code;
    if (!GetProductCode(code, 0)) {
      KString text = QueryProductProperty(code, "Version", 0);
      // Recorded in decimal; a leading zero is not an octal mark.
      bool hex = text.GetLength() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
      m_installedVersion = static_cast<DWORD>(strtoul(text, nullptr, hex ? 16 : 10));
    }
    m_haveVersion = true;
  }
  return m_installedVersion;
}

int KApplicationAbstract::MessageBox(const KString& text, UINT type) { return AfxMessageBox(text, type); }

void KApplicationAbstract::OutputLine(const KString& text) { fprintf(stderr, "%s\n", text.GetString()); }

KString KApplicationAbstract::IntegerToText(long value, int maxWidth) {
  KString text;
  text.Format("%ld", value);
  (void)maxWidth;
  return text;
}

bool KApplicationAbstract::ConvertFromSI(double&, long) { return false; }

void KApplicationAbstract::SplitFeetInches(double value, long& feet, double& inches) {
  double whole = std::trunc(value);
  feet = static_cast<long>(whole);
  inches = (value - whole) * 12.0;
}

KString KApplicationAbstract::GetWorkingFolder() { return KFileSystem::currentDirectory(); }

HRESULT KApplicationAbstract::ForwardScriptCall(void*, KScriptExportObj*, long, VARIANT*, int, VARIANT*) {
  return DISP_E_MEMBERNOTFOUND;
}

__time64_t KApplicationAbstract::GetStartTime() {
  if (m_startTime == 0) m_startTime = _time64(nullptr);
  return m_startTime;
}

long KApplicationAbstract::GetNumber(int slot) const {
  return (slot >= 0 && slot < 16) ? m_numbers[slot] : 0;
}
void KApplicationAbstract::SetNumber(int slot, long value) {
  if (slot >= 0 && slot < 16) m_numbers[slot] = value;
}
