// Test plug-in of quelmhost: its entry calls back into the program through
// the program's exported symbols and prints one line per finding, so a test
// can check that each symbol was bound to the running host.
#include "core/application/KApplicationAbstract.h"
#include "platform/KResources.h"
#include "platform/KString.h"

#include <cstdio>

#ifdef QUELM_HAVE_TREES
#include "containers/trees/KDataTreeItemRoot.h"

namespace {
// A string tree through the program's exported instantiation: names compare
// without regard to case, so the lookup in capitals finds the stored name.
int checkTree() {
  KDataTreeItemRoot<KString> names;
  bool added = false;
  for (const char* name : {"gamma", "Beta", "alpha"}) names.add(KString(name), &added);
  names.add(KString("ALPHA"), &added);
  KString* found = names.find(KString("BETA"));
  printf("module: tree: %ld names, BETA finds %s, ALPHA added again: %s\n", names.getCount(),
         found ? found->GetString() : "(nothing)", added ? "yes" : "no");
  return names.getCount() == 3 && found && *found == "Beta" && !added ? 0 : 1;
}
}  // namespace
#endif

#ifdef QUELM_HAVE_TABLES
#include "storage/tables/KEnumTables.h"

namespace {
// An enumeration table through the program's exported table function: the
// rows in table order, the last one's text from QUELMres2.
int checkEnumTable() {
  KEnumTrpl<KEnum::mergeOptions>* table = nullptr;
  long count = 0;
  getTripleArray(table, count);
  KString rows;
  for (long i = 0; i < count; ++i) rows.AppendFormat("%s%s=%d", i ? " " : "", table[i].getHardStr().GetString(),
                                                     static_cast<int>(table[i].getEnumVal()));
  printf("module: merge options: %s (%s)\n", rows.GetString(), count ? table[count - 1].getResStr().GetString() : "");
  return count == 4 ? 0 : 1;
}
}  // namespace
#endif

#ifdef QUELM_HAVE_SCRIPT
#include "core/script/KGenericTreeItem.h"

namespace {
// A tree item of the plug-in's own, derived from the program's exported
// script-export instance, dragged and dropped through the program.
class KModuleItem : public KScriptExportObjImpl<KGenericTreeItem> {
 public:
  KModuleItem() : KScriptExportObjImpl<KGenericTreeItem>(KString("module item")) {}
};

int checkScriptExport() {
  KModuleItem item;
  item.setDeleteOnLastScriptRelease(true);
  std::unique_ptr<KOleDataSource> data = item.createDataSource(KGenericTreeItem::dragTypeName());
  KDragAndDropSource* dropped = KDragAndDropSource::fromDataSource(*data, KGenericTreeItem::dragTypeName());
  printf("module: script export: delete on release %s, drop finds %s\n",
         item.getDeleteOnLastScriptRelease() ? "yes" : "no",
         dropped == &item ? item.getName().GetString() : "(nothing)");
  item.setDeleteOnLastScriptRelease(false);
  return dropped == &item ? 0 : 1;
}
}  // namespace
#endif

extern "C" __attribute__((visibility("default"))) int QuelmModuleMain(KApplicationAbstract* app) {
  int failures = 0;
  KApplicationAbstract* current = KGetApplication();
  printf("module: current application is the host's: %s\n", current == app ? "yes" : "no");
  if (current != app) ++failures;

  KString key;
  key.Format("%s\\%s (%I64d)", app->GetCompanyKeyName().GetString(), app->GetRegistryKeyName().GetString(),
             static_cast<long long>(42));
  printf("module: registry key: %s\n", key.GetString());

  const char* na = AfxFindStringResource(24309);
  printf("module: string 24309: %s\n", na ? na : "(missing)");
  if (!na) ++failures;

#ifdef QUELM_HAVE_TREES
  failures += checkTree();
#endif
#ifdef QUELM_HAVE_TABLES
  failures += checkEnumTable();
#endif
#ifdef QUELM_HAVE_SCRIPT
  failures += checkScriptExport();
#endif
  return failures;
}
