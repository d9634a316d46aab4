#include "ui/dialogs/KDialogSuppressException.h"

bool& dialogsSuppressedFlag() {
  static bool suppressed = false;
  return suppressed;
}
