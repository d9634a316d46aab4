// Test application for the unit tests: a unit set and a time-scale unit
// that answer the application's feet-and-inches and time-scale questions,
// and the two formatting switches.
#pragma once
#include "containers/options/KOptionBase.h"
#include "core/application/KApplicationAbstract.h"
#include "model/units/KConsistentUnits.h"
#include "model/units/KTimescaleUnits.h"

#include <cmath>

class KUnitsTestApp : public KApplicationAbstract {
 public:
  KUnitsTestApp() { m_previous = KSetApplication(this); markOptionsChanged(); }
  ~KUnitsTestApp() override { KSetApplication(m_previous); markOptionsChanged(); }

  bool LookupBoolOption(const KString& name, bool current) override {
    if (name == "feetInchesFormat") return m_feetInches;
    return current;
  }
  int GetFeetInchesMode() override { return m_units.feetInchesMode(); }
  void SplitFeetInches(double value, long& feet, double& inches) override {
    double whole = 0.0;
    if (m_units.splitFeetInches(value, whole, inches)) KApplicationAbstract::SplitFeetInches(value, feet, inches);
    else feet = static_cast<long>(whole);
  }
  long GetTimescaleUnit() override { return m_timescale.m_timescaleUnit; }

  void useUnits(const char* setName) { m_units.setFromSetName(setName); }
  void setFeetInches(bool on) { m_feetInches = on; markOptionsChanged(); }

  KConsistentUnits m_units;
  KTimescaleUnits m_timescale;
  bool m_feetInches = false;

 private:
  KApplicationAbstract* m_previous;
};
