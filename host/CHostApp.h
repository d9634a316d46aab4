// CHostApp: the application object of quelmhost. Start-up, in order:
//   1. the host's KApplicationAbstract object (a function-local static, built
//      on first use and destroyed at process exit) is made current;
//   2. the user-interface language is read (GetUILanguage(true)) and becomes
//      the thread locale;
//   3. the resource libraries are attached: QUELMres, then QUELMres2, and for
//      simplified Chinese (2052) QUELMresCHS, then QUELMres2CHS, so the
//      Chinese texts are searched before the English ones;
//   4. InitInstance runs the main dialog modally and answers FALSE, so the
//      program ends when the dialog closes, without a message loop. The main
//      dialog is the workbench (KWorkbenchDialog) when a window system is
//      available, else the start-up summary on the terminal (KHostMainDialog).
// Steps 1 to 3 (startUp) also serve the commands that do not show the dialog.
#pragma once
#include "platform/KString.h"
#include "platform/windows/CWinApp.h"
#include "platform/KWinTypes.h"

class KApplicationAbstract;

// How the main dialog starts (quelmhost [workbench] --open --close-after).
struct KHostDialogStart {
  KString m_openPath;            // an object file to browse at once
  int m_nCloseAfterSeconds = 0;  // 0: stay until the user closes it
};

class CHostApp : public CWinApp {
 public:
  CHostApp();

  BOOL InitInstance() override;
  // Answers the exit code of the run: 0 once the main dialog has closed.
  int ExitInstance() override;

  // Steps 1 to 3 of start-up; later calls do nothing (the libraries are
  // attached once per process).
  void startUp();
  // How InitInstance starts the main dialog.
  void setDialogStart(const KHostDialogStart& start) { m_dialogStart = start; }
  // The language start-up chose (0 before startUp).
  LCID getUILanguage() const { return m_language; }

  // The host's application object (built on first call).
  static KApplicationAbstract& applicationObject();

 private:
  bool m_started = false;
  LCID m_language = 0;
  int m_exitCode = 0;
  KHostDialogStart m_dialogStart;
};
