// The commands of quelmhost:
//   (none)          start up, run the main dialog, end when it closes: the
//                   workbench on a window system, else the terminal summary
//   [workbench] [--open FILE] [--close-after SECONDS]
//                   the same, browsing FILE at once, closing by itself
//   --version       the file version text, one line
//   --help          usage
//   info            start up, then the UI language, the resource libraries
//                   (first searched first), the settings file and the
//                   registry key, one "Label: value" line each
//   --module PATH   start up, load the plug-in module PATH, call its
//                   QuelmModuleMain(KApplicationAbstract*) and report the result
//   dump, convert   the object file commands (KObjectFileCommands.h)
//   eval "EXPR"     evaluate an expression (see KEvalCommand.h)
//   format VALUE    show a value as an entry field would (KEvalCommand.h)
//   options MODEL list|get|set|script
//                   the options of a model file (KOptionsCommand.h)
//   script FILE|- [ARGS]... [--model MODEL]
//                   run a Python script (KScriptCommand.h)
// Every command parses its arguments with KCommandLine: COMMAND --help prints
// its usage, "--" ends its options (KCommandLine.h). The commands other than
// the main dialog and --module run with dialogs suppressed, so that none
// waits for a user.
// Exit status: 0 success, 1 failure (the reason on standard error), 2 wrong
// usage (with the usage text on standard error).
#pragma once

enum : int { KHOST_EXIT_OK = 0, KHOST_EXIT_FAILED = 1, KHOST_EXIT_USAGE = 2 };

// Entry of a plug-in module: answers 0 on success.
class KApplicationAbstract;
typedef int (*KQuelmModuleMain)(KApplicationAbstract* app);

// Runs the command that argv names; answers the exit status.
int KRunHostCommand(int argc, char** argv);
