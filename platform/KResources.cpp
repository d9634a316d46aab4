#include "platform/KResources.h"

#include <algorithm>

namespace {
struct ChainState {
  CDynLinkLibrary* head = nullptr;
  const KStringTableEntry* programStrings = nullptr;
  int programCount = 0;
};
// Plain static: resource libraries attach before the program's static
// initialisers run, so the state must need no dynamic initialisation.
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
}

const char* AfxFindStringResource(UINT id) {
  if (const char* t = findIn(g_chain.programStrings, g_chain.programCount, id)) return t;
  for (CDynLinkLibrary* lib = g_chain.head; lib; lib = lib->next())
    if (const char* t = findIn(lib->module().strings, lib->module().stringCount, id)) return t;
  return nullptr;
}

CDynLinkLibrary* AfxGetResourceChain() { return g_chain.head; }

void AfxSetProgramStrings(const KStringTableEntry* strings, int count) {
  g_chain.programStrings = strings;
  g_chain.programCount = count;
}
