// The script-export instances that the library compiles once and the program
// exports.
#include "core/script/KGenericTreeItem.h"
#include "core/script/KScriptExportObjImpl.h"

template class KScriptExportObjImpl<KScriptExportObj>;
template class KScriptExportObjImpl<KGenericTreeItem>;
