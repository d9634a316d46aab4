// The application options as the workbench lists them: every cached option
// the library declares, with the value it reads now and whether that differs
// from its built-in value, then every other option of the application-wide
// store, modified when its value differs from its first-save value.
#pragma once
#include "platform/KString.h"

#include <vector>

class KApplicationAbstract;
class KDatabaseOptions;

struct KWorkbenchOptionRow {
  KString name;
  KString type;   // "bool", "int", "real", "string"
  KString value;
  bool modified = false;
};

// The rows in that order; the cached options in the order the library
// declares them, the store's records by type (int, real, string, bool) and
// name.
std::vector<KWorkbenchOptionRow> KListApplicationOptions(KApplicationAbstract& app, const KDatabaseOptions* store);
