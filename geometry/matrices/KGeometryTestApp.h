// A test application object that answers real options from a map, so that
// tests can change the geometric tolerances. Installed for the lifetime of
// the object; every change marks the options changed.
#pragma once
#include <map>
#include <string>

#include "containers/options/KOptionBase.h"
#include "core/application/KApplicationAbstract.h"

class KGeometryTestApp : public KApplicationAbstract {
 public:
  KGeometryTestApp() : m_previous(KSetApplication(this)) { markOptionsChanged(); }
  ~KGeometryTestApp() override {
    KSetApplication(m_previous);
    markOptionsChanged();
  }
  void setReal(const std::string& name, double value) {
    m_values[name] = value;
    markOptionsChanged();
  }
  double LookupRealOption(const KString& name, double current) override {
    auto it = m_values.find(std::string(name.GetString()));
    return it == m_values.end() ? current : it->second;
  }

 private:
  KApplicationAbstract* m_previous;
  std::map<std::string, double> m_values;
};
