// Load and unload glue shared by the resource libraries. A resource library is
// a shared object that links against nothing of this system: it describes its
// string table with an AFX_EXTENSION_MODULE, records it when the loader maps
// the library and removes it again when the library is unmapped. The chain
// functions it calls (AfxInitExtensionModule, AfxTermExtensionModule,
// CDynLinkLibrary) are resolved from the program that loads it, which exports
// them.
//
// A resource library is a linked import of its program: a library whose table
// the chain refuses cannot be used, so the load stops the process with a
// message, as a failed import stops a program before it runs.
//
// Only the attaching entry points are visible outside a library; everything
// else, the tables included, has hidden visibility.
#pragma once
#include "platform/KResources.h"

#include <cstdio>
#include <cstdlib>

#define QUELM_RESOURCE_EXPORT extern "C" __attribute__((visibility("default")))

// Records `module` with the chain's bookkeeping or ends the process.
inline void KResourceLibraryLoad(AFX_EXTENSION_MODULE& module, const char* name,
                                 const KStringTableEntry* strings, int count, LANGID language) {
  if (!AfxInitExtensionModule(module, name, strings, count, language)) {
    fprintf(stderr, "%s: the string table cannot be used (it must be sorted by identifier without duplicates)\n",
            name);
    abort();
  }
}

// Defines the library's module record, its load and unload hooks and its
// attaching entry point `attachName`, which puts the library at the head of
// the resource chain. `table` and `count` name the library's string table,
// `kinds` (a KModuleResources pointer, may be null) its dialogs, accelerator
// tables and bitmaps.
#define QUELM_RESOURCE_LIBRARY(libName, attachName, table, count, language) \
  QUELM_RESOURCE_LIBRARY_WITH_KINDS(libName, attachName, table, count, language, nullptr)
#define QUELM_RESOURCE_LIBRARY_WITH_KINDS(libName, attachName, table, count, language, kinds) \
  namespace {                                                                              \
  AFX_EXTENSION_MODULE g_module;                                                           \
  __attribute__((constructor)) void onLibraryLoad() {                                      \
    KResourceLibraryLoad(g_module, libName, table, count, language);                       \
    g_module.resources = kinds;                                                            \
  }                                                                                        \
  __attribute__((destructor)) void onLibraryUnload() { AfxTermExtensionModule(g_module); } \
  }                                                                                        \
  QUELM_RESOURCE_EXPORT void attachName() { new CDynLinkLibrary(g_module); }
