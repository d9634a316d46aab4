// Shared by the workbench tests. KWorkbenchTestApp: option lookups answered
// from its own store and length questions from its own unit set, as the
// host's application object does, and a registry key of its own.
// writeWorkbenchSample: a small object file of three objects, one nested,
// with a numeric name.
#pragma once
#include "containers/options/KOptionBase.h"
#include "core/application/KApplicationAbstract.h"
#include "model/options/KDatabaseOptions.h"
#include "model/units/KConsistentUnits.h"
#include "storage/objectfile/KImplPersistance.h"

class KWorkbenchTestApp : public KApplicationAbstract {
 public:
  KWorkbenchTestApp() { m_previous = KSetApplication(this); markOptionsChanged(); }
  ~KWorkbenchTestApp() override { KSetApplication(m_previous); markOptionsChanged(); }
  bool LookupBoolOption(const KString& name, bool current) override { return m_options.getBoolean(name, current); }
  long LookupIntegerOption(const KString& name, long current) override { return m_options.getInteger(name, current); }
  double LookupRealOption(const KString& name, double current) override { return m_options.getDouble(name, current); }
  bool HasGlobalOptions() override { return true; }
  KDatabaseOptions* GetGlobalOptions() override { return &m_options; }
  int GetFeetInchesMode() override { return m_units.feetInchesMode(); }
  void SplitFeetInches(double value, long& feet, double& inches) override {
    double whole = 0.0;
    if (m_units.splitFeetInches(value, whole, inches)) KApplicationAbstract::SplitFeetInches(value, feet, inches);
    else feet = static_cast<long>(whole);
  }
  bool ConvertFromSI(double& value, long code) override { return m_units.convertFromSI(value, code); }
  KString GetCompanyKeyName() override { return "QUELM"; }
  KString GetRegistryKeyName() override { return "WorkbenchTests"; }

  KDatabaseOptions m_options;
  KConsistentUnits m_units;

 private:
  KApplicationAbstract* m_previous;
};

inline void writeWorkbenchSample(KImplPersistance& out) {
  out.setApplication(7);
  out.setMode(2);
  out.beginObject("Model", "beam");
  double reals[10];
  for (int i = 0; i < 10; ++i) reals[i] = i * 0.5;
  out.writeR("reals", 10, reals);
  KString names[] = {"alpha", "with blank"};
  out.writeS("names", 2, names);
  out.beginObject(KPersistName(12, 3, ""), KPersistName(40, 2, ""));
  out.writeInt("case", -4);
  out.endObject();
  out.endObject();
  out.beginObject("Load", "wind");
  out.writeBool("active", true);
  out.endObject();
  out.Close();
}
