#include "platform/KMessageBox.h"

#include "platform/KResources.h"

#include <cstdio>

namespace {
KMessagePresenter& presenter() {
  static KMessagePresenter p;
  return p;
}

KMessagePresenter& windowSystemBox() {
  static KMessagePresenter box;
  return box;
}
}  // namespace

KMessagePresenter AfxSetMessagePresenter(KMessagePresenter p) {
  KMessagePresenter old = presenter();
  presenter() = std::move(p);
  return old;
}

void AfxSetWindowSystemMessageBox(KMessagePresenter box) { windowSystemBox() = std::move(box); }

int AfxDefaultButton(UINT type) {
  static const int buttons[][3] = {
      {IDOK, IDOK, IDOK},        {IDOK, IDCANCEL, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL},   {IDYES, IDNO, IDNO},        {IDRETRY, IDCANCEL, IDCANCEL}};
  UINT kind = type & MB_TYPEMASK;
  UINT def = (type & MB_DEFMASK) >> 8;
  if (kind > 5) kind = 0;
  if (def > 2) def = 0;
  return buttons[kind][def];
}

int AfxMessageBox(const char* text, UINT type, UINT) {
  if (presenter()) return presenter()(text ? text : "", type);
  if (windowSystemBox())
    if (int answer = windowSystemBox()(text ? text : "", type)) return answer;
  fprintf(stderr, "%s\n", text ? text : "");
  return AfxDefaultButton(type);
}

int AfxMessageBox(UINT textId, UINT type, UINT helpId) {
  const char* text = AfxFindStringResource(textId);
  return AfxMessageBox(text ? text : "", type, helpId);
}
