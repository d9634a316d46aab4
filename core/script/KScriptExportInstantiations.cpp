// The script-export instances that the library compiles once and the program
// exports.
#include "core/script/KScriptExportObjImpl.h"

template class KScriptExportObjImpl<KScriptExportObj>;
