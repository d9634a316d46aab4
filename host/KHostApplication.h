// KHostApplication: quelmhost's answer to the application interface. It
// overrides only what the host itself supplies; every other operation keeps
// the library's default. The host's object is a function-local static made
// current at start-up (CHostApp::applicationObject).
#pragma once
#include "core/application/KApplicationAbstract.h"

class KHostApplication : public KApplicationAbstract {
 public:
  // Trace lines go to standard output, where the host's terminal dialog
  // writes too, so both keep their order.
  void OutputLine(const KString& text) override;
};
