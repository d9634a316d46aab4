#include "ui/dialogs/KDialog.h"

#include "containers/options/KLibraryOptions.h"
#include "platform/KExceptions.h"
#include "platform/KMessageBox.h"
#include "platform/windows/CGdiObjects.h"

#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace {

// The readable name of a type from its mangled name.
KString demangledName(const char* mangled) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return KString(status == 0 && name ? name.get() : mangled);
}

// Type name and description of the exception being handled.
void describeCurrentException(KString& typeName, KString& description) {
  const std::type_info* type = abi::__cxa_current_exception_type();
  typeName = type ? demangledName(type->name()) : KString("unknown");
  try {
    throw;
  } catch (const std::exception& e) {
    description = e.what();
  } catch (const CException& e) {
    e.GetErrorMessage(description);
  } catch (...) {
    description.Empty();
  }
}

}  // namespace

KDialog::KDialog(UINT nIDTemplate, CWnd* pParent) : KDialogExtender<CDialog>(nIDTemplate, pParent) {}

INT_PTR KDialog::DoModal() {
  if (areDialogsSuppressed()) throw KDialogSuppressException();
  m_bModeless = false;
  return CDialog::DoModal();
}

BOOL KDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_bModeless = true;
  return CDialog::Create(nIDTemplate, pParentWnd);
}

KString KDialog::initDialogExceptionText(const char* typeName, const char* description) {
  KString text("An exception of type \"");
  text += typeName;
  text +=
      "\" has been received from OnInitDialog.\nPlease send a screenshot of this message (and another of the "
      "resulting dialog) to QUELM customer support.";
  if (description && *description) {
    text += "Details follow: \"";
    text += description;
    text += "\"";
  }
  return text;
}

LRESULT KDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return CDialog::WindowProc(message, wParam, lParam);
  setUnitLabels();
  if (!catchOnInitDialogExceptionOption().value()) return CDialog::WindowProc(message, wParam, lParam);
  return guardedInitDialog(wParam, lParam);
}

LRESULT KDialog::guardedInitDialog(WPARAM wParam, LPARAM lParam) {
  try {
    return CDialog::WindowProc(WM_INITDIALOG, wParam, lParam);
  } catch (...) {
    KString typeName, description;
    describeCurrentException(typeName, description);
    AfxMessageBox(initDialogExceptionText(typeName, description), MB_OK | MB_ICONERROR);
  }
  // Focus stays where the window system puts it, as after a plain OnInitDialog.
  return TRUE;
}

void KDialog::setUnitLabels() {
  const char* unit = screenUnitsUSOption().value() ? "in" : "mm";
  for (int id : {IDC_KUNITLABEL1, IDC_KUNITLABEL2, IDC_KUNITLABEL3}) {
    if (CWnd* label = GetDlgItem(id)) label->SetWindowText(unit);
  }
}

void KDialog::OnOK() {
  if (!m_bModeless) {
    CDialog::OnOK();
    return;
  }
  // A failed exchange has already told the user and put the focus on the
  // offending control: the dialog stays.
  if (!UpdateData(TRUE)) return;
  DestroyWindow();
}

void KDialog::OnCancel() {
  if (!m_bModeless) {
    CDialog::OnCancel();
    return;
  }
  DestroyWindow();
}

void KDialog::setBitmap(int controlId, UINT bitmapId) {
  COLORMAP map = {RGB(192, 192, 192), ::GetSysColor(COLOR_3DFACE)};
  HBITMAP bitmap = ::CreateMappedBitmap(nullptr, bitmapId, 0, &map, 1);
  if (!bitmap) {
    AfxMessageBox("Bitmap resource failed to load!");
    return;
  }
  CWnd* picture = GetDlgItem(controlId);
  if (!picture) {
    ::DeleteObject(bitmap);
    return;
  }
  picture->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void KDialog::moveControl(int id, int left, int top, int right, int bottom) {
  if (CWnd* control = GetDlgItem(id)) control->MoveWindow(left, top, right - left, bottom - top);
}

void KDialog::setReadOnly(int id, bool readOnly) {
  if (CWnd* control = GetDlgItem(id)) control->SendMessage(EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void KDialog::enableControl(int id, bool enable) {
  if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable ? TRUE : FALSE);
}
