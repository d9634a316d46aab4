#include "host/KHostCommands.h"

#include "core/application/KApplicationAbstract.h"
#include "host/CHostApp.h"
#include "host/KEvalCommand.h"
#include "host/KHostFacts.h"
#include "host/KObjectFileCommands.h"
#include "host/KOptionsCommand.h"
#include "platform/KModule.h"

#include <cstdio>
#include <cstring>

namespace {
const char kUsage[] =
    "usage: quelmhost [command]\n"
    "  (no command)     start up, show the main dialog, end when it closes\n"
    "  --version        print the file version\n"
    "  --help           print this text\n"
    "  info             print the UI language, resource libraries (first searched first),\n"
    "                   settings file and registry key\n"
    "  --module PATH    load the plug-in module PATH and run its QuelmModuleMain\n"
    "  dump FILE [--header] [--object TYPE/NAME] [--all]\n"
    "                   list the objects and attributes of an object file\n"
    "  convert IN OUT --form text|binary [--level N]\n"
    "                   rewrite an object file in the given form and level\n"
    "  eval \"EXPR\" [--set NAME=VALUE]... [--feet | --inches]\n"
    "       [--units SET] [--quantity Q] [--timescale T] [--option NAME=VALUE]...\n"
    "                   evaluate an expression (as an entry field of a quantity) and print its value\n"
    "  format VALUE [--units SET] [--quantity Q] [--timescale T] [--digits N] [--option NAME=VALUE]...\n"
    "                   print a value as an entry field of the quantity shows it\n"
    "  options MODEL list | get NAME | set NAME VALUE [--type T] | script [--all]\n"
    "                   list, read, set or script the options of a model file\n"
    "exit status: 0 success, 1 failure, 2 wrong usage\n";

int usageError(const char* reason) {
  fprintf(stderr, "quelmhost: %s\n%s", reason, kUsage);
  return KHOST_EXIT_USAGE;
}

// The application object `app` is the one AfxWinMain drives.
int runDialog() { return AfxWinMain() == 0 ? KHOST_EXIT_OK : KHOST_EXIT_FAILED; }

int printVersion() {
  printf("%s\n", CHostApp::applicationObject().GetFileVersionText().GetString());
  return KHOST_EXIT_OK;
}

int printInfo(CHostApp& app) {
  app.startUp();
  KHostFacts facts = KCollectHostFacts(app.getUILanguage());
  printf("UI language: %u\n", static_cast<unsigned>(facts.uiLanguage));
  printf("Resource libraries: %s\n", facts.libraries.GetString());
  printf("Settings: %s\n", facts.settingsFile.GetString());
  printf("Registry key: %s\n", facts.registryKey.GetString());
  return KHOST_EXIT_OK;
}

int runModule(CHostApp& app, const char* path) {
  app.startUp();
  HMODULE module = LoadLibraryA(path);
  if (!module) {
    fprintf(stderr, "quelmhost: cannot load module %s: %s\n", path, KGetModuleErrorText().GetString());
    return KHOST_EXIT_FAILED;
  }
  auto entry = reinterpret_cast<KQuelmModuleMain>(GetProcAddress(module, "QuelmModuleMain"));
  if (!entry) {
    fprintf(stderr, "quelmhost: module %s has no QuelmModuleMain: %s\n", path, KGetModuleErrorText().GetString());
    FreeLibrary(module);
    return KHOST_EXIT_FAILED;
  }
  fflush(stdout);
  int result = entry(&CHostApp::applicationObject());
  fflush(stdout);
  FreeLibrary(module);
  printf("Module result: %d\n", result);
  if (result != 0) {
    fprintf(stderr, "quelmhost: module %s failed with result %d\n", path, result);
    return KHOST_EXIT_FAILED;
  }
  return KHOST_EXIT_OK;
}
}  // namespace

int KRunHostCommand(int argc, char** argv) {
  CHostApp app;
  if (argc <= 1) return runDialog();
  const char* command = argv[1];
  if (strcmp(command, "--module") == 0) {
    if (argc != 3) return usageError("--module takes one path");
    return runModule(app, argv[2]);
  }
  if (strcmp(command, "eval") == 0) return KRunEvalCommand(app, argc - 1, argv + 1);
  if (strcmp(command, "format") == 0) return KRunFormatCommand(app, argc - 1, argv + 1);
  if (strcmp(command, "options") == 0) return KRunOptionsCommand(app, argc - 1, argv + 1);
  if (strcmp(command, "dump") == 0) return KRunDumpCommand(argc - 1, argv + 1);
  if (strcmp(command, "convert") == 0) return KRunConvertCommand(argc - 1, argv + 1);
  if (argc > 2) return usageError("too many arguments");
  if (strcmp(command, "--version") == 0) return printVersion();
  if (strcmp(command, "--help") == 0) {
    fputs(kUsage, stdout);
    return KHOST_EXIT_OK;
  }
  if (strcmp(command, "info") == 0) return printInfo(app);
  KString reason;
  reason.Format("unknown command '%s'", command);
  return usageError(reason);
}
