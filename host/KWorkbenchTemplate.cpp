#include "host/KWorkbenchTemplate.h"

#include "platform/KMessageBox.h"
#include "platform/windows/KWindowTypes.h"
#include "ui/dialogs/KDialog.h"

namespace {
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kEdit = kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;

// Dialog units: three bands (entry, object file, options) and the Close button.
const KDialogItemTemplate kItems[] = {
    {"Button", IDC_STATIC, kChild | BS_GROUPBOX, 7, 4, 426, 66, "Entry"},
    {"Static", IDC_STATIC, kChild | SS_LEFT, 14, 18, 44, 10, "Unit set:"},
    {"Edit", IDC_WB_UNITS, kEdit, 60, 16, 110, 13, nullptr},
    {"Button", IDC_WB_APPLYUNITS, kButton, 174, 15, 50, 15, "Apply"},
    {"Static", IDC_STATIC, kChild | SS_LEFT, 14, 36, 44, 10, "Expression:"},
    {"Edit", IDC_WB_ENTRY, kEdit, 60, 34, 164, 13, nullptr},
    {"Button", IDC_WB_EVALUATE, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 228, 33, 50, 15, "Evaluate"},
    {"Static", IDC_STATIC, kChild | SS_LEFT, 290, 18, 40, 10, "Value:"},
    {"Static", IDC_WB_VALUE, kChild | SS_LEFT, 332, 18, 96, 10, ""},
    {"Static", IDC_STATIC, kChild | SS_LEFT, 290, 36, 40, 10, "Screen:"},
    {"Static", IDC_WB_SCREENVALUE, kChild | SS_RIGHT, 332, 36, 60, 10, ""},
    {"Static", IDC_KUNITLABEL1, kChild | SS_LEFT, 396, 36, 30, 10, "mm"},
    {"Static", IDC_WB_MESSAGE, kChild | SS_LEFT, 14, 53, 412, 10, ""},
    {"Button", IDC_STATIC, kChild | BS_GROUPBOX, 7, 74, 426, 160, "Object file"},
    {"Button", IDC_WB_OPEN, kButton, 14, 86, 56, 15, "Open..."},
    {"Button", IDC_WB_SAVECOPY, kButton, 74, 86, 60, 15, "Save copy..."},
    {"Static", IDC_WB_FILE, kChild | SS_LEFT, 140, 89, 286, 10, "No object file open"},
    {"SysListView32", IDC_WB_OBJECTS, kList, 14, 106, 412, 122, nullptr},
    {"Button", IDC_STATIC, kChild | BS_GROUPBOX, 7, 238, 426, 84, "Application options"},
    {"SysListView32", IDC_WB_OPTIONS, kList, 14, 250, 412, 66, nullptr},
    {"Button", IDCANCEL, kButton, 383, 328, 50, 15, "Close"},
};

const KDialogTemplate kTemplate = {IDD_WORKBENCH,
                                   "quelmhost workbench",
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                                   440,
                                   348,
                                   kItems,
                                   static_cast<int>(sizeof kItems / sizeof kItems[0]),
                                   nullptr,
                                   0};
}  // namespace

const KDialogTemplate& KWorkbenchTemplate() { return kTemplate; }
