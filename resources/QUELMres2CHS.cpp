// QUELMres2CHS: simplified-Chinese companion of QUELMres2.
#include "resources/KResourceLibrary.h"
#include "resources/KResourceTables.h"

QUELM_RESOURCE_LIBRARY("QUELMres2CHS", InitMFCExtension2_CHS, kQUELMres2CHSStrings, kQUELMres2CHSStringCount, 2052)
