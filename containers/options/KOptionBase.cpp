#include "containers/options/KOptionBase.h"

#include <thread>

#include "core/application/KApplicationAbstract.h"
#include "platform/KTime.h"

KOptionsClock g_optionsClock;

void markOptionsChanged() { g_optionsClock.dirty = true; }

bool& optionsFrozenFlag() { return g_optionsClock.frozen; }

void KOptionBase::refresh() {
  if (g_optionsClock.frozen) return;
  if (g_optionsClock.dirty) {
    // Everything stamped up to now (this tick included) becomes stale; wait
    // for the next tick so that stamps from here on are fresh. KClockTicks is
    // a steady clock, so the loop ends within a millisecond.
    long now = KClockTicks();
    g_optionsClock.changedTime = now;
    while (KClockTicks() <= now) std::this_thread::yield();
    g_optionsClock.dirty = false;
  }
  m_stamp = KClockTicks();
}

bool KBoolOption::lookup(const KString& name, const bool& current) {
  return KGetApplication()->LookupBoolOption(name, current);
}

long KIntegerOption::lookup(const KString& name, const long& current) {
  return KGetApplication()->LookupIntegerOption(name, current);
}

double KDoubleOption::lookup(const KString& name, const double& current) {
  return KGetApplication()->LookupRealOption(name, current);
}
