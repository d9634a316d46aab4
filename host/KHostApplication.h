// KHostApplication: quelmhost's answer to the application interface. It
// overrides only what the host itself supplies; every other operation keeps
// the library's default. The host's object is a function-local static made
// current at start-up (CHostApp::applicationObject).
//
// The host keeps an application-wide options store: the cached options'
// lookups answer from it, so a command can set any option for its run. It
// also keeps the unit set and time-scale unit of the run, which answer the
// feet-and-inches, time-scale and unit-conversion questions.
#pragma once
#include "core/application/KApplicationAbstract.h"
#include "model/options/KDatabaseOptions.h"
#include "model/units/KConsistentUnits.h"
#include "model/units/KTimescaleUnits.h"

class KHostApplication : public KApplicationAbstract {
 public:
  // Trace lines go to standard output, where the host's terminal dialog
  // writes too, so both keep their order.
  void OutputLine(const KString& text) override;

  bool LookupBoolOption(const KString& name, bool current) override;
  long LookupIntegerOption(const KString& name, long current) override;
  double LookupRealOption(const KString& name, double current) override;
  KString LookupStringOption(const KString& name, const KString& current) override;
  bool HasGlobalOptions() override { return true; }
  KDatabaseOptions* GetGlobalOptions() override { return &m_options; }

  int GetFeetInchesMode() override { return m_units.feetInchesMode(); }
  void SplitFeetInches(double value, long& feet, double& inches) override;
  long GetTimescaleUnit() override { return m_timescale.m_timescaleUnit; }
  bool ConvertFromSI(double& value, long quantityCode) override { return m_units.convertFromSI(value, quantityCode); }

  // Scripts run by the host hold wrappers of library objects (host/pyscript).
  void ReleaseScriptHandle(void* handle) override;

  KConsistentUnits& units() { return m_units; }
  KTimescaleUnits& timescale() { return m_timescale; }

 private:
  KDatabaseOptions m_options;
  KConsistentUnits m_units;
  KTimescaleUnits m_timescale;
};
