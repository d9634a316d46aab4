// KHostFacts: what quelmhost reports about its start-up, gathered in one
// place so the main dialog and the info command show the same facts.
#pragma once
#include "platform/KString.h"

struct KHostFacts {
  KString version;        // file version text, "major.minor.build.revision"
  LCID uiLanguage = 0;    // the language start-up chose
  KString libraries;      // attached resource libraries, first searched first, ", "-separated
  KString settingsFile;   // the user settings store (HKEY_CURRENT_USER)
  KString registryKey;    // "HKEY_CURRENT_USER\Software\<company>\<registry key>"
};

// The facts of the current application object and resource chain.
KHostFacts KCollectHostFacts(LCID uiLanguage);
