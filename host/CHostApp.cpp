#include "host/CHostApp.h"

#include "host/KHostApplication.h"
#include "host/KHostMainDialog.h"
#include "host/KWorkbenchDialog.h"
#include "platform/KLocale.h"
#include "platform/windows/KWindowSystem.h"
#include "resources/KResourceAttach.h"

enum : LCID { LANGUAGE_CHINESE_SIMPLIFIED = 2052 };

CHostApp::CHostApp() : CWinApp("quelmhost") {}

KApplicationAbstract& CHostApp::applicationObject() {
  static KHostApplication application;
  return application;
}

void CHostApp::startUp() {
  if (m_started) return;
  m_started = true;
  KSetApplication(&applicationObject());

  m_language = applicationObject().GetUILanguage(true);
  SetThreadLocale(m_language & 0xFFFF);

  InitMFCExtension();
  InitMFCExtension2();
  if ((m_language & 0xFFFF) == LANGUAGE_CHINESE_SIMPLIFIED) {
    InitMFCExtension_CHS();
    InitMFCExtension2_CHS();
  }
}

BOOL CHostApp::InitInstance() {
  startUp();
  m_exitCode = 0;
  if (AfxWindowSystemAvailable()) {
    auto& host = static_cast<KHostApplication&>(applicationObject());
    KWorkbenchDialog workbench(host, host.units());
    workbench.setOpenPath(m_dialogStart.m_openPath);
    workbench.setCloseAfter(m_dialogStart.m_nCloseAfterSeconds);
    m_pMainWnd = &workbench;
    const INT_PTR result = workbench.DoModal();
    m_pMainWnd = nullptr;
    if (result != -1) return FALSE;
    // The workbench could not be made: the terminal dialog still can.
  }
  KHostMainDialog dialog(m_language);
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

int CHostApp::ExitInstance() { return m_exitCode; }
