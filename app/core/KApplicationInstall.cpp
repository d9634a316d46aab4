// Temporary neutral answers until the version resource, installer records and
// registry store are wired (see the start-up work in progress).
#include "app/core/KApplicationAbstract.h"

void KApplicationAbstract::GetFileVersion(int& major, int& minor, int& build, int& revision, int& n, int& sub) {
  major = minor = build = revision = n = sub = 0;
}
bool KApplicationAbstract::GetProductCode(KString& code, DWORD) { code.Empty(); return true; }
KString KApplicationAbstract::QueryProductProperty(const KString&, const char*, DWORD) { return KString(); }
LCID KApplicationAbstract::GetUILanguage(bool) { return 1033; }
