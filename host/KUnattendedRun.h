// KUnattendedRun: for the length of a batch command, nothing waits for a
// user. Dialogs are suppressed (a modal dialog throws
// KDialogSuppressException instead of opening), and message boxes write
// their text to standard error, "quelmhost: <text>", and answer their
// default button, even when a window system is available. Both are given
// back as they were when the object goes.
#pragma once
#include "core/application/KFlagDefence.h"
#include "platform/KMessageBox.h"

class KUnattendedRun {
 public:
  KUnattendedRun();
  ~KUnattendedRun();
  KUnattendedRun(const KUnattendedRun&) = delete;
  KUnattendedRun& operator=(const KUnattendedRun&) = delete;

 private:
  KFlagDefence m_dialogs;
  KMessagePresenter m_previous;
};
