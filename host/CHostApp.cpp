#include "host/CHostApp.h"

#include "host/KHostApplication.h"
#include "host/KHostMainDialog.h"
#include "platform/KLocale.h"
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
  KHostMainDialog dialog(m_language);
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  m_exitCode = 0;
  return FALSE;
}

int CHostApp::ExitInstance() { return m_exitCode; }
