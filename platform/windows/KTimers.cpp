// CWnd::SetTimer and KillTimer over wx timers, kept in one table keyed by
// window and identifier. A window's timers end with it (forgetTimers, called
// when its record goes), so a later window at the same address never gets a
// stale tick. A timer is often killed from its own WM_TIMER handler: the wx
// object is stopped at once and deleted only once the loop is idle again.
#include "platform/windows/KWxPrivate.h"
#include "platform/windows/KWindowSystem.h"

#include <wx/app.h>
#include <wx/timer.h>

#include <map>
#include <memory>
#include <utility>

namespace {
class KWindowTimer : public wxTimer {
 public:
  KWindowTimer(HWND window, UINT_PTR id) : m_window(window), m_id(id) {}
  void Notify() override { ::SendMessage(m_window, WM_TIMER, m_id, 0); }

 private:
  HWND m_window;
  UINT_PTR m_id;
};

using KTimerTable = std::map<std::pair<HWND, UINT_PTR>, std::unique_ptr<KWindowTimer>>;
KTimerTable& timers() {
  static KTimerTable table;
  return table;
}

void retire(std::unique_ptr<KWindowTimer> timer) {
  timer->Stop();
  KWindowTimer* stopped = timer.release();
  if (wxTheApp) wxTheApp->CallAfter([stopped] { delete stopped; });
  else delete stopped;
}
}  // namespace

void forgetTimers(HWND h) {
  KTimerTable& table = timers();
  for (auto it = table.lower_bound({h, 0}); it != table.end() && it->first.first == h;) {
    retire(std::move(it->second));
    it = table.erase(it);
  }
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void* callback) {
  if (!m_hWnd || callback || !AfxWindowSystemAvailable()) return 0;
  std::unique_ptr<KWindowTimer>& timer = timers()[{m_hWnd, id}];
  if (!timer) timer = std::make_unique<KWindowTimer>(m_hWnd, id);
  timer->Start(static_cast<int>(elapse));
  return id;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
  auto it = timers().find({m_hWnd, id});
  if (it == timers().end()) return FALSE;
  retire(std::move(it->second));
  timers().erase(it);
  return TRUE;
}
