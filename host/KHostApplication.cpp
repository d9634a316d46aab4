#include "host/KHostApplication.h"

#include "host/pyscript/KPyScriptObject.h"

#include <cmath>
#include <cstdio>

void KHostApplication::OutputLine(const KString& text) {
  fputs(text.GetString(), stdout);
  fputc('\n', stdout);
  fflush(stdout);
}

bool KHostApplication::LookupBoolOption(const KString& name, bool current) {
  return m_options.getBoolean(name, current);
}
long KHostApplication::LookupIntegerOption(const KString& name, long current) {
  return m_options.getInteger(name, current);
}
double KHostApplication::LookupRealOption(const KString& name, double current) {
  return m_options.getDouble(name, current);
}
KString KHostApplication::LookupStringOption(const KString& name, const KString& current) {
  return m_options.getString(name, current);
}

void KHostApplication::SplitFeetInches(double value, long& feet, double& inches) {
  double whole = 0.0;
  if (m_units.splitFeetInches(value, whole, inches)) {
    KApplicationAbstract::SplitFeetInches(value, feet, inches);
    return;
  }
  if (!(std::fabs(whole) < 1e15)) {
    // Beyond what a long counts in whole feet: the length in inches alone
    // still shows (and reads back as) the right value.
    feet = 0;
    inches = m_units.feetInchesMode() == 1 ? value * 12.0 : value;
    return;
  }
  feet = static_cast<long>(whole);
}

void KHostApplication::ReleaseScriptHandle(void* handle) { KPyReleaseScriptHandle(handle); }
