#include "host/KHostFacts.h"

#include "core/application/KApplicationAbstract.h"
#include "platform/KRegistry.h"
#include "platform/KResources.h"

KHostFacts KCollectHostFacts(LCID uiLanguage) {
  KApplicationAbstract* app = KGetApplication();
  KHostFacts facts;
  facts.version = app->GetFileVersionText();
  facts.uiLanguage = uiLanguage;
  for (CDynLinkLibrary* link = AfxGetResourceChain(); link; link = link->next()) {
    if (!facts.libraries.IsEmpty()) facts.libraries += ", ";
    const char* name = link->module().name;
    facts.libraries += name ? name : "(unnamed)";
  }
  facts.settingsFile = KRegistryStorePath(HKEY_CURRENT_USER);
  facts.registryKey = "HKEY_CURRENT_USER\\Software\\" + app->GetCompanyKeyName() + "\\" + app->GetRegistryKeyName();
  return facts;
}
