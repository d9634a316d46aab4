// The application object of the unit-set fuzz targets: lengths and feet and
// inches follow its unit set, the time scale its own field. Made current on
// first use and kept for the life of the process, as a program's is.
#pragma once
#include "core/application/KApplicationAbstract.h"
#include "model/units/KConsistentUnits.h"

class KFuzzUnitsApp : public KApplicationAbstract {
 public:
  int GetFeetInchesMode() override { return m_units.feetInchesMode(); }
  bool ConvertFromSI(double& value, long code) override { return m_units.convertFromSI(value, code); }
  long GetTimescaleUnit() override { return m_timescale; }

  static KFuzzUnitsApp& current() {
    static KFuzzUnitsApp* app = [] {
      auto* a = new KFuzzUnitsApp;
      KSetApplication(a);
      return a;
    }();
    return *app;
  }

  KConsistentUnits m_units;
  long m_timescale = 1;
};
