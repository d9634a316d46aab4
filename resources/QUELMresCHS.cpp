// QUELMresCHS: simplified-Chinese companion of QUELMres.
#include "resources/KResourceLibrary.h"
#include "resources/KResourceTables.h"

QUELM_RESOURCE_LIBRARY("QUELMresCHS", InitMFCExtension_CHS, kQUELMresCHSStrings, kQUELMresCHSStringCount, 2052)
