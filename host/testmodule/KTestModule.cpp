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
  return failures;
}
