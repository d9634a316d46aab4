#include "host/KWorkbenchOptions.h"

#include "core/application/KApplicationAbstract.h"
#include "host/KOptionTexts.h"
#include "host/KLibraryCachedOptions.h"
#include "model/options/KDatabaseOptions.h"

namespace {
bool isCachedOption(const KString& name) {
  for (int i = 0; i < kLibraryCachedOptionCount; ++i)
    if (compareOptionNames(kLibraryCachedOptions[i].name, name) == 0) return true;
  return false;
}

template <class T>
void addStoreRows(const KDatabaseOptions& store, const char* type, std::vector<KWorkbenchOptionRow>& rows) {
  struct Context {
    const char* type;
    std::vector<KWorkbenchOptionRow>* rows;
  } context{type, &rows};
  store.forEach<T>(
      [](const KOption<T>& r, void* c) {
        auto& ctx = *static_cast<Context*>(c);
        if (isCachedOption(r.m_name)) return;
        ctx.rows->push_back({r.m_name, ctx.type, KOptionValueText(r.m_value), !(r.m_value == r.m_firstSaveValue)});
      },
      &context);
}
}  // namespace

std::vector<KWorkbenchOptionRow> KListApplicationOptions(KApplicationAbstract& app, const KDatabaseOptions* store) {
  std::vector<KWorkbenchOptionRow> rows;
  for (int i = 0; i < kLibraryCachedOptionCount; ++i) {
    const KCachedOptionInfo& o = kLibraryCachedOptions[i];
    KWorkbenchOptionRow row;
    if (o.type == 'B') {
      const bool builtIn = o.builtIn != 0;
      const bool v = app.LookupBoolOption(o.name, builtIn);
      row = {o.name, "bool", KOptionValueText(v), v != builtIn};
    } else if (o.type == 'I') {
      const long builtIn = static_cast<long>(o.builtIn);
      const long v = app.LookupIntegerOption(o.name, builtIn);
      row = {o.name, "int", KOptionValueText(v), v != builtIn};
    } else {
      const double v = app.LookupRealOption(o.name, o.builtIn);
      row = {o.name, "real", KOptionValueText(v), v != o.builtIn};
    }
    rows.push_back(row);
  }
  if (!store) return rows;
  addStoreRows<long>(*store, "int", rows);
  addStoreRows<double>(*store, "real", rows);
  addStoreRows<KString>(*store, "string", rows);
  addStoreRows<bool>(*store, "bool", rows);
  return rows;
}
