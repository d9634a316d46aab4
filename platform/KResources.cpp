#include "platform/KResources.h"

#include <algorithm>
#include <strings.h>

namespace {
struct ChainState {
  CDynLinkLibrary* head = nullptr;
  AFX_EXTENSION_MODULE program;  // the program's own resources
  HINSTANCE resourceHandle = nullptr;  // null: the program's
};
// Plain static: resource libraries attach before the program's static
// initialisers run, so the state must need no dynamic initialisation (the
// module record's initialisers are constant).
ChainState g_chain;

const char* findIn(const KStringTableEntry* table, int count, UINT id) {
  if (!table || count <= 0) return nullptr;
  const KStringTableEntry* end = table + count;
  const KStringTableEntry* it = std::lower_bound(table, end, id,
      [](const KStringTableEntry& e, UINT key) { return e.id < key; });
  return (it != end && it->id == id) ? it->text : nullptr;
}
}  // namespace

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& module, const char* name,
                            const KStringTableEntry* strings, int count, LANGID language) {
  if (count < 0 || (count > 0 && !strings)) return FALSE;
  for (int i = 1; i < count; ++i)
    if (strings[i - 1].id >= strings[i].id) return FALSE;
  module.name = name;
  module.strings = strings;
  module.stringCount = count;
  module.language = language;
  module.initialized = true;
  return TRUE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& module, BOOL systemLibrary)
    : m_module(module), m_bSystem(systemLibrary), m_pNext(g_chain.head) {
  g_chain.head = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
  if (!m_pNext && g_chain.head != this) {
    bool linked = false;
    for (CDynLinkLibrary* p = g_chain.head; p; p = p->m_pNext) linked |= (p->m_pNext == this);
    if (!linked) return;
  }
  for (CDynLinkLibrary** p = &g_chain.head; *p; p = &(*p)->m_pNext)
    if (*p == this) { *p = m_pNext; break; }
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& module) {
  for (CDynLinkLibrary** p = &g_chain.head; *p;) {
    if (&(*p)->m_module == &module) {
      CDynLinkLibrary* dead = *p;
      *p = dead->m_pNext;
      dead->m_pNext = nullptr;
      delete dead;  // links are created with new by the attaching entry point
    } else {
      p = &(*p)->m_pNext;
    }
  }
  module.initialized = false;
  if (g_chain.resourceHandle == &module) g_chain.resourceHandle = nullptr;
}

namespace {
// Calls `find` on the modules in search order (current resource handle's
// module, the program's, the chain) until it answers non-null.
template <class Find>
auto searchModules(Find find) -> decltype(find(g_chain.program)) {
  const AFX_EXTENSION_MODULE* first = AfxModuleOfHandle(AfxGetResourceHandle());
  if (first)
    if (auto found = find(*first)) return found;
  if (first != &g_chain.program)
    if (auto found = find(g_chain.program)) return found;
  for (CDynLinkLibrary* lib = g_chain.head; lib; lib = lib->next())
    if (&lib->module() != first)
      if (auto found = find(lib->module())) return found;
  return nullptr;
}

template <class T>
const T* findById(const T* table, int count, UINT id) {
  for (int i = 0; table && i < count; ++i)
    if (table[i].id == id) return &table[i];
  return nullptr;
}
}  // namespace

const char* AfxFindStringResource(UINT id) {
  return searchModules([id](const AFX_EXTENSION_MODULE& m) { return findIn(m.strings, m.stringCount, id); });
}

CDynLinkLibrary* AfxGetResourceChain() { return g_chain.head; }

void AfxSetProgramStrings(const KStringTableEntry* strings, int count) {
  g_chain.program.strings = strings;
  g_chain.program.stringCount = count;
}

void AfxSetProgramResources(const KModuleResources* resources) { g_chain.program.resources = resources; }

HINSTANCE AfxGetInstanceHandle() { return &g_chain.program; }

HINSTANCE AfxGetResourceHandle() { return g_chain.resourceHandle ? g_chain.resourceHandle : &g_chain.program; }

void AfxSetResourceHandle(HINSTANCE module) { g_chain.resourceHandle = module; }

HINSTANCE AfxFindResourceModule(const char* name) {
  if (!name) return nullptr;
  for (CDynLinkLibrary* lib = g_chain.head; lib; lib = lib->next())
    if (lib->module().name && strcasecmp(lib->module().name, name) == 0) return &lib->module();
  return nullptr;
}

const AFX_EXTENSION_MODULE* AfxModuleOfHandle(HINSTANCE module) {
  if (module == &g_chain.program) return &g_chain.program;
  for (CDynLinkLibrary* lib = g_chain.head; lib; lib = lib->next())
    if (&lib->module() == module) return &lib->module();
  return nullptr;
}

namespace {
template <class Find>
auto findResource(HINSTANCE module, Find find) -> decltype(find(g_chain.program)) {
  if (!module) return searchModules(find);
  const AFX_EXTENSION_MODULE* m = AfxModuleOfHandle(module);
  return m ? find(*m) : nullptr;
}
}  // namespace

const KDialogTemplate* AfxFindDialogTemplate(HINSTANCE module, UINT id) {
  return findResource(module, [id](const AFX_EXTENSION_MODULE& m) -> const KDialogTemplate* {
    return m.resources ? findById(m.resources->dialogs, m.resources->dialogCount, id) : nullptr;
  });
}

const KAcceleratorTable* AfxFindAcceleratorTable(HINSTANCE module, UINT id) {
  return findResource(module, [id](const AFX_EXTENSION_MODULE& m) -> const KAcceleratorTable* {
    return m.resources ? findById(m.resources->accelerators, m.resources->acceleratorCount, id) : nullptr;
  });
}

const KBitmapResource* AfxFindBitmapResource(HINSTANCE module, UINT id) {
  return findResource(module, [id](const AFX_EXTENSION_MODULE& m) -> const KBitmapResource* {
    return m.resources ? findById(m.resources->bitmaps, m.resources->bitmapCount, id) : nullptr;
  });
}
