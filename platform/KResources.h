// The resource chain: the string tables of the program and of the resource
// libraries attached to it, searched most recently attached first (the manner
// of an MFC extension-module chain).
//
// A resource library describes itself with an AFX_EXTENSION_MODULE whose
// string table is a sorted array of (identifier, text) entries, calls
// AfxInitExtensionModule when it is loaded and creates a CDynLinkLibrary from
// its attaching entry point; the CDynLinkLibrary puts it at the head of the
// chain. Resource libraries link against nothing: these symbols are resolved
// from the program that loads them, which exports them.
//
// Besides strings a module may carry dialog templates, accelerator tables and
// bitmaps (platform/KResourceKinds.h). A module's handle (HINSTANCE) is the
// address of its AFX_EXTENSION_MODULE; the program's own resources form a
// module of their own, whose handle AfxGetInstanceHandle answers. Lookups
// without a module search the current resource handle's module first, then
// the program's, then the chain.
#pragma once
#include "platform/KResourceKinds.h"
#include "platform/KWinTypes.h"

struct KStringTableEntry {
  UINT id;
  const char* text;
};

struct AFX_EXTENSION_MODULE {
  const char* name = nullptr;             // module name shown in listings, e.g. "QUELMres2"
  const KStringTableEntry* strings = nullptr;  // sorted by id, no duplicates
  int stringCount = 0;
  LANGID language = 0;                    // language of the table (1033, 2052, ...)
  bool initialized = false;
  const KModuleResources* resources = nullptr;  // dialogs, accelerators, bitmaps; set by the library
};

// Records the module's resources; false when the table is unusable (null with a
// non-zero count, or not sorted by identifier).
extern "C" BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, const char* name,
                                       const KStringTableEntry* strings, int count, LANGID language);
// Removes the module from the chain (library unloading).
extern "C" void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module);

// One link of the chain. Constructing it inserts the module at the head of the
// chain; it stays until the module is terminated or the process ends. Links
// are created with new by the attaching entry point and deleted by
// AfxTermExtensionModule.
class CDynLinkLibrary {
 public:
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL systemLibrary = FALSE);
  ~CDynLinkLibrary();
  CDynLinkLibrary(const CDynLinkLibrary&) = delete;
  CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

  AFX_EXTENSION_MODULE& module() const { return m_module; }
  CDynLinkLibrary* next() const { return m_pNext; }

 private:
  friend void AfxTermExtensionModule(AFX_EXTENSION_MODULE&);
  AFX_EXTENSION_MODULE& m_module;
  BOOL m_bSystem;
  CDynLinkLibrary* m_pNext = nullptr;
};

// The text of string resource `id` in the first module of the chain that holds
// it, or null. The current resource handle's module is searched first; the
// program's own table (AfxSetProgramStrings) comes before the chain, as an
// executable's resources come before its libraries'.
extern "C" const char* AfxFindStringResource(UINT id);
// Head of the chain (most recently attached first); null when none is attached.
CDynLinkLibrary* AfxGetResourceChain();
// The program's own string table (optional).
void AfxSetProgramStrings(const KStringTableEntry* strings, int count);
// The program's own dialogs, accelerators and bitmaps (optional; `resources`
// must outlive its use; null removes them).
void AfxSetProgramResources(const KModuleResources* resources);

// The program's module handle (never null).
HINSTANCE AfxGetInstanceHandle();
// The module searched first by lookups without a module; the program's until
// changed. AfxSetResourceHandle(null) restores the program's.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
// The handle of the attached module called `name` (case-insensitive, e.g.
// "QUELMres"); null when no such module is in the chain.
HINSTANCE AfxFindResourceModule(const char* name);
// The module record behind a handle of the program or the chain; null for any
// other value.
const AFX_EXTENSION_MODULE* AfxModuleOfHandle(HINSTANCE module);

// Resources by identifier: in `module` only, or, when `module` is null, in
// the search order above. Null when not found.
const KDialogTemplate* AfxFindDialogTemplate(HINSTANCE module, UINT id);
const KAcceleratorTable* AfxFindAcceleratorTable(HINSTANCE module, UINT id);
const KBitmapResource* AfxFindBitmapResource(HINSTANCE module, UINT id);
