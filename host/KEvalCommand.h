// quelmhost eval "EXPR" [--set NAME=VALUE]... [--feet | --inches]
//   Evaluates an expression as an entry field would and prints the value with
//   15 significant digits ("N/A" for the undefined value). Each --set defines a
//   named value (its VALUE is itself an expression over the names set before
//   it). --feet and --inches read feet-and-inches lengths in that unit.
//   Exit status 0 with the value on standard output; 1 with the error message
//   on standard error; 2 for wrong usage.
#pragma once

class CHostApp;

// argv[0] is "eval"; answers the exit status.
int KRunEvalCommand(CHostApp& app, int argc, char** argv);
