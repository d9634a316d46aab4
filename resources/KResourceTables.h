// The string tables of the four resource libraries. Each table is sorted by
// identifier without duplicates (the chain searches it by bisection) and its
// texts are UTF-8. The libraries compile their own table; the table tests
// compile all four to check them without loading the libraries.
#pragma once
#include "platform/KResources.h"

// This system's own user-interface texts, US English (1033).
extern const KStringTableEntry kQUELMres2Strings[];
extern const int kQUELMres2StringCount;
// Simplified-Chinese (2052) translations of some QUELMres2 texts.
extern const KStringTableEntry kQUELMres2CHSStrings[];
extern const int kQUELMres2CHSStringCount;
// The companion texts: application title, expression and file-dialog
// messages, enumeration texts and the host's start-up texts, US English (1033).
extern const KStringTableEntry kQUELMresStrings[];
extern const int kQUELMresStringCount;
// Simplified-Chinese (2052) translations of the companion texts.
extern const KStringTableEntry kQUELMresCHSStrings[];
extern const int kQUELMresCHSStringCount;

// Identifiers of the host's start-up texts (companion library).
enum : UINT {
  IDS_HOST_TITLE = 0xE000,       // application title, also the registry key name
  IDS_HOST_VERSION = 61000,
  IDS_HOST_UI_LANGUAGE = 61001,
  IDS_HOST_RESOURCE_LIBRARIES = 61002,
  IDS_HOST_SETTINGS = 61003,
  IDS_HOST_PRESS_ENTER = 61004,
  IDS_HOST_REGISTRY_KEY = 61005,
  IDS_HOST_HEADING = 61006,
};

// Resources of other kinds in the companion library (QUELMres).
enum : UINT {
  // Accelerators of every library dialog: Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+A,
  // Ctrl+Z to the edit commands, F1 to help.
  IDR_DIALOG_ACCELERATORS = 5084,
  // 16 x 16 mark of the product on light grey (192, 192, 192), the colour a
  // dialog maps to its face colour.
  IDB_QUELM_MARK = 5085,
};
