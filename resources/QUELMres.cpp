// QUELMres: the companion texts (application title, messages, enumeration
// texts, start-up texts).
#include "resources/KResourceLibrary.h"
#include "resources/KResourceTables.h"

QUELM_RESOURCE_LIBRARY("QUELMres", InitMFCExtension, kQUELMresStrings, kQUELMresStringCount, 1033)
