// KDialogSuppressException and the process-wide switch that suppresses
// dialogs. Unattended runs (batch commands, scripts) set the switch so that
// no dialog waits for a user who is not there: a dialog asked to run modally
// throws this exception instead of creating a window, and the caller decides
// what an unanswered dialog means.
//
// The switch is plain process-wide state, used from the user-interface thread
// only; guard a block with KFlagDefence(dialogsSuppressedFlag(), true).
#pragma once
#include <exception>

class KDialogSuppressException : public std::exception {
 public:
  const char* what() const noexcept override { return "dialogs are suppressed"; }
};

// The switch itself, for scoped guards.
bool& dialogsSuppressedFlag();
inline bool areDialogsSuppressed() { return dialogsSuppressedFlag(); }
inline void setDialogsSuppressed(bool suppressed) { dialogsSuppressedFlag() = suppressed; }
