// The layout of quelmhost's workbench and the identifiers of its controls.
#pragma once
#include "platform/KResourceKinds.h"

enum : UINT {
  IDD_WORKBENCH = 30800,
  IDC_WB_UNITS = 30801,        // edit: the unit set, "force,length,mass,time,temperature"
  IDC_WB_APPLYUNITS = 30802,
  IDC_WB_ENTRY = 30803,        // edit: any expression of a length
  IDC_WB_EVALUATE = 30804,
  IDC_WB_VALUE = 30805,        // the value in the current unit set, with its unit
  IDC_WB_SCREENVALUE = 30806,  // the same in screen units; IDC_KUNITLABEL1 beside it names them
  IDC_WB_MESSAGE = 30807,      // why the last entry or unit set was refused
  IDC_WB_OPEN = 30808,
  IDC_WB_SAVECOPY = 30809,
  IDC_WB_FILE = 30810,         // the object file shown, its form and size, or why it could not be read
  IDC_WB_OBJECTS = 30811,      // list: the objects and attributes of the object file
  IDC_WB_OPTIONS = 30812,      // list: the application options
};

// The workbench's dialog template (title "quelmhost workbench").
const KDialogTemplate& KWorkbenchTemplate();
