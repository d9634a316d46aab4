// The accelerator table shared by the library's dialogs: table 5084 of the
// QUELMres resource library.
#pragma once
#include "platform/windows/KWindowSystem.h"

constexpr UINT IDR_KDIALOG_ACCELERATORS = 5084;

// Loads the table with the resource handle switched to QUELMres for the load
// and restored afterwards. Null when QUELMres is not attached or holds no
// such table.
HACCEL KLoadDialogAccelerators();
