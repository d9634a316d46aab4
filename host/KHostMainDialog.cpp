#include "host/KHostMainDialog.h"

#include "host/KHostFacts.h"
#include "resources/KResourceTables.h"

#include <cstdio>

namespace {
// The string resource `id`, or `fallback` when no attached library holds it.
KString text(UINT id, const char* fallback) {
  KString s;
  if (!s.LoadString(id)) s = fallback;
  return s;
}
}  // namespace

void KHostMainDialog::OnInitDialog() {
  KHostFacts facts = KCollectHostFacts(m_uiLanguage);
  KString title = text(IDS_HOST_TITLE, "quelmhost");
  printf("%s - %s\n", title.GetString(), text(IDS_HOST_HEADING, "Start-up summary").GetString());
  printf("  %s: %s\n", text(IDS_HOST_VERSION, "Version").GetString(), facts.version.GetString());
  printf("  %s: %u\n", text(IDS_HOST_UI_LANGUAGE, "User-interface language").GetString(),
         static_cast<unsigned>(facts.uiLanguage));
  printf("  %s: %s\n", text(IDS_HOST_RESOURCE_LIBRARIES, "Resource libraries").GetString(),
         facts.libraries.GetString());
  printf("  %s: %s\n", text(IDS_HOST_SETTINGS, "Settings").GetString(), facts.settingsFile.GetString());
  printf("  %s: %s\n", text(IDS_HOST_REGISTRY_KEY, "Registry key").GetString(), facts.registryKey.GetString());
  m_prompt = text(IDS_HOST_PRESS_ENTER, "Press Enter to close");
}
