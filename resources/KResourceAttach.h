// The attaching entry points of the four resource libraries, for the program
// that links them as imports. Each call puts its library at the head of the
// resource chain, so the library attached last is searched first.
#pragma once
#include "platform/KWinTypes.h"

extern "C" {
void InitMFCExtension();       // QUELMres
void InitMFCExtension2();      // QUELMres2
void InitMFCExtension_CHS();   // QUELMresCHS
void InitMFCExtension2_CHS();  // QUELMres2CHS
BOOL IsMFCExtensionDebug2();   // QUELMres2: false in this build
}
