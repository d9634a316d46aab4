// quelmhost script FILE|- [ARGS]... [--model MODEL]
//   Runs a Python script (FILE, or standard input for "-") in the embedded
//   interpreter with module `quelm` built in; sys.argv is [FILE, ARGS...]
//   (arguments that begin with "--" follow a "--"). With --model the options
//   of MODEL are bound as the global `options`, and the model is saved
//   (crash-safe: the old file is replaced only by a complete new one) when
//   the script ends without error; a script that fails leaves it untouched.
//   Exit status: the script's (0, or its sys.exit status), 1 when it raised
//   (traceback on standard error) or the model cannot be read or written,
//   2 for wrong usage.
#pragma once

class CHostApp;

// argv[0] is "script"; answers the exit status.
int KRunScriptCommand(CHostApp& app, int argc, char** argv);
