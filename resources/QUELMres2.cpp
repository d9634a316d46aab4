// QUELMres2: this system's own user-interface texts. Entry points: the
// attaching function InitMFCExtension2 and IsMFCExtensionDebug2 (a release
// library: false).
#include "resources/KResourceLibrary.h"
#include "resources/KResourceTables.h"

QUELM_RESOURCE_LIBRARY("QUELMres2", InitMFCExtension2, kQUELMres2Strings, kQUELMres2StringCount, 1033)

QUELM_RESOURCE_EXPORT BOOL IsMFCExtensionDebug2() { return FALSE; }
