// Cached option objects: KOptionBase, KOptionType<T> and the concrete
// KBoolOption, KIntegerOption and KDoubleOption.
//
// Code that needs a tunable setting declares one of these as a function-local
// static with a name and a built-in default and reads it through value().
// The object asks the application object (LookupBoolOption etc.) for the
// value by name and keeps it until the options are declared changed.
//
// Invalidation without a registry of options: every refresh stamps the
// object with the clock tick (KClockTicks, monotonic milliseconds). One
// process-wide "changed time" separates stale stamps (<= it) from fresh ones
// (> it). markOptionsChanged() only sets a dirty flag; the first refresh that
// follows sets the changed time to the current tick and waits until the clock
// has moved past it, so that its own and every later stamp is greater while
// every earlier stamp is not. The wait lasts until the next tick (at most one
// millisecond); it cannot hang because the tick source is a steady clock that
// always advances.
//
// While the frozen flag is set, reads return cached values and refreshes
// neither look up nor stamp (used by the options store while it rebuilds;
// guard it with KFlagDefence(optionsFrozenFlag(), true)).
//
// Single-threaded. Option objects do not own their name text.
#pragma once
#include "platform/KString.h"

// Process-wide invalidation state (read inline on every option access).
struct KOptionsClock {
  long changedTime = 1;  // stamps at or below this tick are stale
  bool dirty = false;    // set by markOptionsChanged, cleared by the next refresh
  bool frozen = false;   // reads return cached values, refreshes do nothing
};
extern KOptionsClock g_optionsClock;

// Makes every cached option stale; each refreshes once at its next read.
void markOptionsChanged();
// The frozen flag, for scoped guards.
bool& optionsFrozenFlag();
inline bool areOptionsFrozen() { return g_optionsClock.frozen; }
inline void setOptionsFrozen(bool frozen) { g_optionsClock.frozen = frozen; }
inline long optionsChangedTime() { return g_optionsClock.changedTime; }

class KOptionBase {
 public:
  KOptionBase() = default;
  virtual ~KOptionBase() = default;
  KOptionBase(const KOptionBase&) = delete;
  KOptionBase& operator=(const KOptionBase&) = delete;

  // Stamps the object with the current tick (after advancing the changed
  // time when options were marked changed). Does nothing while frozen.
  virtual void refresh();
  virtual KString name() const = 0;

  bool needsRefresh() const { return g_optionsClock.dirty || m_stamp <= g_optionsClock.changedTime; }
  long getStamp() const { return m_stamp; }

 protected:
  long m_stamp = 0;
};

template <class T>
class KOptionType : public KOptionBase {
 public:
  KOptionType(const char* name, const T& initial) : m_value(initial), m_pszName(name) {}
  // An option whose name is looked up under the string-table entry nameId.
  KOptionType(const char* name, const T& initial, int nameId)
      : m_value(initial), m_pszName(name), m_nNameId(nameId) {}

  // Looks the value up under the option's name, with the cached value as the
  // fallback, then stamps.
  void refresh() override {
    if (g_optionsClock.frozen) return;
    KString lookupName;
    if (m_nNameId == -1 || !lookupName.LoadString(static_cast<UINT>(m_nNameId))) lookupName = m_pszName;
    m_value = lookup(lookupName, m_value);
    KOptionBase::refresh();
  }
  // The name text (the string-table entry is used only for the lookup).
  KString name() const override { return KString(m_pszName); }
  virtual T lookup(const KString& name, const T& current) = 0;

  // The current value, refreshed first when options changed since the stamp.
  const T& value() {
    if (!g_optionsClock.frozen && needsRefresh()) refresh();
    return m_value;
  }
  operator T() { return value(); }
  // The cached value without any refresh.
  const T& cachedValue() const { return m_value; }
  int getNameId() const { return m_nNameId; }

 protected:
  T m_value;
  const char* m_pszName;
  int m_nNameId = -1;
};

class KBoolOption : public KOptionType<bool> {
 public:
  KBoolOption(const char* name, bool initial) : KOptionType<bool>(name, initial) {}
  KBoolOption(const char* name, bool initial, int nameId) : KOptionType<bool>(name, initial, nameId) {}
  bool lookup(const KString& name, const bool& current) override;
};

class KIntegerOption : public KOptionType<long> {
 public:
  KIntegerOption(const char* name, long initial) : KOptionType<long>(name, initial) {}
  KIntegerOption(const char* name, long initial, int nameId) : KOptionType<long>(name, initial, nameId) {}
  long lookup(const KString& name, const long& current) override;
};

class KDoubleOption : public KOptionType<double> {
 public:
  KDoubleOption(const char* name, double initial) : KOptionType<double>(name, initial) {}
  KDoubleOption(const char* name, double initial, int nameId) : KOptionType<double>(name, initial, nameId) {}
  double lookup(const KString& name, const double& current) override;
};
