#include "host/KHostCommands.h"

#include "core/application/KApplicationAbstract.h"
#include "host/CHostApp.h"
#include "host/KCommandLine.h"
#include "host/KEvalCommand.h"
#include "host/KHostFacts.h"
#include "host/KObjectFileCommands.h"
#include "host/KOptionsCommand.h"
#include "host/KScriptCommand.h"
#include "host/KUnattendedRun.h"
#include "platform/KModule.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
const char kUsage[] =
    "usage: quelmhost [command]\n"
    "  (no command)     start up, show the main dialog, end when it closes: the workbench\n"
    "                   on a window system, else the start-up summary on the terminal\n"
    "  [workbench] [--open FILE] [--close-after SECONDS]\n"
    "                   the same; --open browses an object file at once, --close-after\n"
    "                   closes the workbench that many seconds after it is shown\n"
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
    "  options MODEL list | get NAME | set NAME VALUE [--type T] | script [--all] [--commands]\n"
    "                   list, read, set or script the options of a model file\n"
    "  script FILE|- [ARGS]... [--model MODEL]\n"
    "                   run a Python script with module quelm (\"-\": standard input)\n"
    "Every command takes --help (its usage) and \"--\" (the end of the options,\n"
    "e.g. quelmhost eval -- \"-3^2\").\n"
    "exit status: 0 success, 1 failure, 2 wrong usage\n";
const char kDialogUsage[] =
    "usage: quelmhost [workbench] [--open FILE] [--close-after SECONDS]\n"
    "  start up and show the main dialog until it is closed: the workbench when a window\n"
    "  system is available (DISPLAY), else the start-up summary on the terminal\n"
    "  --open FILE             list the objects and attributes of an object file at once\n"
    "  --close-after SECONDS   close the workbench that many seconds (1 to 3600) after it\n"
    "                          is shown, as its Close button does (for unattended runs)\n";
const char kVersionUsage[] = "usage: quelmhost --version\n  print the file version of the program\n";
const char kInfoUsage[] =
    "usage: quelmhost info\n"
    "  print the UI language, the resource libraries (first searched first), the\n"
    "  settings file and the registry key, one \"Label: value\" line each\n";
const char kModuleUsage[] =
    "usage: quelmhost --module PATH\n"
    "  load the plug-in module PATH, call its QuelmModuleMain and print its result\n";

int usageError(const char* reason) {
  fprintf(stderr, "quelmhost: %s\n%s", reason, kUsage);
  return KHOST_EXIT_USAGE;
}

// The application object `app` is the one AfxWinMain drives. argv[0] is the
// program or the word "workbench".
int runDialog(CHostApp& app, int argc, char** argv) {
  KHostDialogStart start;
  KCommandLine line("workbench", kDialogUsage);
  line.option("--open", [&start](const char* value) {
    start.m_openPath = value;
    return KString();
  });
  line.option("--close-after", [&start](const char* value) {
    char* end = nullptr;
    long seconds = std::strtol(value, &end, 10);
    if (end == value || *end || seconds < 1 || seconds > 3600) return KString("--close-after takes 1 to 3600 seconds");
    start.m_nCloseAfterSeconds = static_cast<int>(seconds);
    return KString();
  });
  if (int status = line.parse(argc, argv); status >= 0) return status;
  app.setDialogStart(start);
  return AfxWinMain() == 0 ? KHOST_EXIT_OK : KHOST_EXIT_FAILED;
}

// The main dialog's options may stand without the command word.
bool startsDialogOption(const char* arg) {
  return std::strncmp(arg, "--open", 6) == 0 || std::strncmp(arg, "--close-after", 13) == 0;
}

int printVersion(int argc, char** argv) {
  KCommandLine line("--version", kVersionUsage);
  if (int status = line.parse(argc, argv); status >= 0) return status;
  printf("%s\n", CHostApp::applicationObject().GetFileVersionText().GetString());
  return KHOST_EXIT_OK;
}

int printInfo(CHostApp& app, int argc, char** argv) {
  KCommandLine line("info", kInfoUsage);
  if (int status = line.parse(argc, argv); status >= 0) return status;
  app.startUp();
  KHostFacts facts = KCollectHostFacts(app.getUILanguage());
  printf("UI language: %u\n", static_cast<unsigned>(facts.uiLanguage));
  printf("Resource libraries: %s\n", facts.libraries.GetString());
  printf("Settings: %s\n", facts.settingsFile.GetString());
  printf("Registry key: %s\n", facts.registryKey.GetString());
  return KHOST_EXIT_OK;
}

int runModule(CHostApp& app, int argc, char** argv) {
  std::vector<const char*> paths;
  KCommandLine line("--module", kModuleUsage);
  line.positionals(&paths, 1, 1, "--module takes one path");
  if (int status = line.parse(argc, argv); status >= 0) return status;
  const char* path = paths[0];
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
  if (argc <= 1 || startsDialogOption(argv[1])) return runDialog(app, argc, argv);
  const char* command = argv[1];
  if (strcmp(command, "workbench") == 0) return runDialog(app, argc - 1, argv + 1);
  // Each command parses argv from its own word on.
  const int n = argc - 1;
  char** args = argv + 1;
  if (strcmp(command, "--module") == 0) return runModule(app, n, args);
  // The other commands run unattended: no dialog or message box of theirs
  // waits for a user.
  KUnattendedRun unattended;
  if (strcmp(command, "eval") == 0) return KRunEvalCommand(app, n, args);
  if (strcmp(command, "format") == 0) return KRunFormatCommand(app, n, args);
  if (strcmp(command, "options") == 0) return KRunOptionsCommand(app, n, args);
  if (strcmp(command, "script") == 0) return KRunScriptCommand(app, n, args);
  if (strcmp(command, "dump") == 0) return KRunDumpCommand(n, args);
  if (strcmp(command, "convert") == 0) return KRunConvertCommand(n, args);
  if (strcmp(command, "--version") == 0) return printVersion(n, args);
  if (strcmp(command, "info") == 0) return printInfo(app, n, args);
  if (strcmp(command, "--help") == 0) {
    if (argc > 2) return usageError("--help takes no arguments");
    fputs(kUsage, stdout);
    return KHOST_EXIT_OK;
  }
  KString reason;
  reason.Format("unknown command '%s'", command);
  return usageError(reason);
}
