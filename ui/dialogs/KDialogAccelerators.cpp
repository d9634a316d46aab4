#include "ui/dialogs/KDialogAccelerators.h"

#include "platform/KResources.h"

HACCEL KLoadDialogAccelerators() {
  HINSTANCE library = AfxFindResourceModule("QUELMres");
  if (!library) return nullptr;
  HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(library);
  HACCEL table = LoadAccelerators(AfxGetResourceHandle(), IDR_KDIALOG_ACCELERATORS);
  AfxSetResourceHandle(previous);
  return table;
}
