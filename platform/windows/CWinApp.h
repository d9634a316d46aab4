// CWinApp: the program's application object, in the manner of the MFC class.
// One object exists per program; constructing it makes it the one AfxGetApp
// answers, destroying it clears that. AfxWinMain drives it: InitInstance, and
// when that answers TRUE the message loop (Run); otherwise ExitInstance at
// once. A dialog-based program does its work in InitInstance and answers
// FALSE, so it ends when its main dialog closes.
//
// Key messages pass the application first: the window layer hands each one
// to PreTranslateMessage before delivering it.
#pragma once
#include "platform/windows/CWnd.h"

class CWinApp {
 public:
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Start-up of the program; FALSE ends it without a message loop. Default: TRUE.
  virtual BOOL InitInstance();
  // The message loop. A dialog-based program never enters it; here it ends
  // at once with ExitInstance's exit code.
  virtual int Run();
  // Shut-down; answers the process exit code (default 0).
  virtual int ExitInstance();
  // TRUE when the message is handled and must not be delivered. Default: the
  // windows from the message's window up to its top-level window are asked
  // (CWnd::WalkPreTranslateTree).
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  CWnd* GetMainWnd() const { return m_pMainWnd; }

  // The main window while it exists; not owned.
  CWnd* m_pMainWnd = nullptr;
  // Name given at construction (may be null).
  const char* m_pszAppName;
};

// The program's application object, or null when none exists.
CWinApp* AfxGetApp();
// Runs the current application object as a program entry runs it; answers the
// exit code (-1 when there is no application object).
int AfxWinMain();
