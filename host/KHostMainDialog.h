// KHostMainDialog: quelmhost's main dialog until the program built on this
// shell supplies its own: a start-up summary (version, user-interface
// language, resource libraries in search order, settings store) in the texts
// of the attached resource libraries, so a Chinese start-up shows Chinese.
#pragma once
#include "host/KTerminalDialog.h"
#include "platform/KString.h"

class KHostMainDialog : public KTerminalDialog {
 public:
  explicit KHostMainDialog(LCID uiLanguage) : m_uiLanguage(uiLanguage) {}

 protected:
  void OnInitDialog() override;
  const char* closePrompt() const override { return m_prompt; }

 private:
  LCID m_uiLanguage;
  KString m_prompt;
};
